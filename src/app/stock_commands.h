#pragma once
// The menu commands of import and report: "Nastavení" / "Import nových
// variant" runs the import of new variants and gives the grid the focus
// again; "Sestavy" / "Celková sestava aktualní zásoby na skladě" runs the
// stock report command with the report module, which lives as long as the
// window.

#include <QObject>

#include "reports/report_system.h"
#include "reports/stock_report.h"

class TData;
class TPrehledSortimentu;

// The report module TDataSestavy and its report system, a child of the main
// window (found there by its type).
class TStockReportCommand : public QObject {
  Q_OBJECT

 public:
  explicit TStockReportCommand(QWidget* window);
  TDataSestavy Module;
  TReportSystem System;
};

void ConnectStockCommands(TPrehledSortimentu& window, TData& data);
