#include "app/main_commands.h"

#include "app/prehled_sortimentu.h"
#include "controls/db_grid.h"
#include "controls/locale_settings.h"
#include "data/data_module.h"
#include "operations/transfer.h"

void ConnectMainCommands(TPrehledSortimentu& window, TData& data) {
  window.RefreshTable = [](TDbfTable& table) { table.RefreshTable(); };
  window.SetCommand(TMainCommand::RebuildIndexes, [&data] { data.index(); });
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
