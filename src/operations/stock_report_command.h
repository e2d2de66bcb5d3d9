#pragma once
// The stock report command ("Sestavy" / "Celková sestava aktualní zásoby na
// skladě"): the report reads the stores' stock from the per-store columns of
// the master tables, which only the transfer fills in, so the user is asked
// first whether the stocks were loaded. The command itself loads nothing.

#include <functional>

class TData;
class TDbfTable;

// Binds the report's own card and variant table objects to the files of the
// data module's Sor0000 and Skl0000 and opens them with the index files
// Sor + StoreCode and Skl + StoreCode in DataPath, both in tag KAV. The
// card table is closed first, so a second run binds it again. Errors of the
// table layer are raised (the tables are closed again then).
void OpenReportTables(TData& data, TDbfTable& cards, TDbfTable& variants);
// Closes both (their index files go with them).
void CloseReportTables(TDbfTable& cards, TDbfTable& variants);

// The command: opens the report tables, asks "Bylo provedeno natažení stavů
// skladů ???" with OK and Cancel at 50/50 pixels from the main window's
// corner, runs `runReport` on OK only, and closes both tables again however
// it ends (an error of the report is raised after that).
void StockReportCommand(TData& data, TDbfTable& cards, TDbfTable& variants, const std::function<void()>& runReport);
