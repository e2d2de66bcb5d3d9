#include "app/main_commands.h"

#include "app/prehled_sortimentu.h"
#include "app/stock_commands.h"
#include "data/data_module.h"

void ConnectMainCommands(TPrehledSortimentu& window, TData& data) {
  window.RefreshTable = [](TDbfTable& table) { table.RefreshTable(); };
  window.SetCommand(TMainCommand::RebuildIndexes, [&data] { data.index(); });
  ConnectStockCommands(window, data);
}
