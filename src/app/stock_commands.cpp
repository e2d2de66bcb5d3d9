#include "app/stock_commands.h"

#include <QLocale>

#include "app/prehled_sortimentu.h"
#include "controls/db_grid.h"
#include "data/data_module.h"
#include "operations/import_variants.h"
#include "operations/stock_report_command.h"

TStockReportCommand::TStockReportCommand(QWidget* window) : QObject(window), System(window) {}

void ConnectStockCommands(TPrehledSortimentu& window, TData& data) {
  window.SetCommand(TMainCommand::ImportVariants, [&window, &data] {
    ImportNewVariants(data);
    window.DBGrid1->setFocus(Qt::OtherFocusReason);
  });

  auto* report = new TStockReportCommand(&window);
  window.SetCommand(TMainCommand::StockReport, [&window, &data, report] {
    TDataSestavy& module = report->Module;
    module.DecimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
    StockReportCommand(data, module.Sor0000, module.Skl0000, [&] { report->System.Execute(module.Sestavy); });
    window.DBGrid1->setFocus(Qt::OtherFocusReason);
  });
}
