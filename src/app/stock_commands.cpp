#include "app/stock_commands.h"

#include "app/prehled_sortimentu.h"
#include "controls/db_grid.h"
#include "data/data_module.h"
#include "operations/import_variants.h"

void ConnectStockCommands(TPrehledSortimentu& window, TData& data) {
  window.SetCommand(TMainCommand::ImportVariants, [&window, &data] {
    ImportNewVariants(data);
    window.DBGrid1->setFocus(Qt::OtherFocusReason);
  });
}
