#include "app/main_commands.h"

#include "app/prehled_sortimentu.h"
#include "app/stock_commands.h"
#include "data/data_module.h"
#include "screens/card_commands.h"
#include "screens/code_list_commands.h"
#include "screens/search_dialog.h"
#include "screens/variant_commands.h"
#include "controls/db_grid.h"

void ConnectMainCommands(TPrehledSortimentu& window, TData& data) {
  window.RefreshTable = [](TDbfTable& table) { table.RefreshTable(); };
  window.SetCommand(TMainCommand::RebuildIndexes, [&data] { data.index(); });
  ConnectStockCommands(window, data);
  window.SetCommand(TMainCommand::NewCard, [&data, &window] {
    NewCardCommand(data, &window);
    window.DBGrid1->setFocus(Qt::OtherFocusReason);
  });
  window.SetCommand(TMainCommand::EditCard, [&data, &window] {
    EditCardCommand(data, &window);
    window.DBGrid1->setFocus(Qt::OtherFocusReason);
  });
  window.SetCommand(TMainCommand::Search, [&data, &window] {
    SearchCommand(data, &window);
    window.DBGrid1->setFocus(Qt::OtherFocusReason);
  });
  window.SetCommand(TMainCommand::Variants, [&data, &window] {
    ShowCardVariants(data, &window);
    window.DBGrid1->setFocus(Qt::OtherFocusReason);
  });
  window.SetCommand(TMainCommand::KindsList, [&data, &window] { KindsListCommand(data, &window); });
  window.SetCommand(TMainCommand::GroupsList, [&data, &window] { GroupsListCommand(data, &window); });
}
