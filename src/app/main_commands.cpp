#include "app/main_commands.h"

#include "app/prehled_sortimentu.h"
#include "app/stock_commands.h"
#include "controls/db_grid.h"
#include "controls/locale_settings.h"
#include "data/data_module.h"
#include "operations/transfer.h"
#include "screens/card_commands.h"
#include "screens/code_list_commands.h"
#include "screens/search_dialog.h"
#include "screens/variant_commands.h"

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
  // "F10 Přenos": the grid leaves Sor0000 for the walk and comes back on the
  // card where the walk ended, with the focus.
  window.SetCommand(TMainCommand::Transfer, [&window, &data] {
    TTimeSettings time;
    time.LongTimeFormat = LocaleSettings().LongTimeFormat.toStdString();
    TTransfer transfer(data, time);
    transfer.DetachBrowseView = [&window] { window.DataSor0000.SetDataSet(nullptr); };
    transfer.AttachBrowseView = [&window, &data] {
      window.DataSor0000.SetDataSet(&data.Sor0000);
      window.DBGrid1->setFocus(Qt::OtherFocusReason);
    };
    transfer.Button5Click();
  });
}
