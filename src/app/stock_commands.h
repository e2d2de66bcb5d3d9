#pragma once
// The menu commands of import and report: "Nastavení" / "Import nových
// variant" runs the import of new variants and gives the grid the focus
// again; "Sestavy" / "Celková sestava aktualní zásoby na skladě" runs the
// stock report command with the report module, which lives as long as the
// window.

class TData;
class TPrehledSortimentu;

void ConnectStockCommands(TPrehledSortimentu& window, TData& data);
