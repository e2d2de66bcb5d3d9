#include "screens/variant_commands.h"

#include <QWidget>

#include "data/data_module.h"
#include "data/text_functions.h"
#include "screens/variant_list.h"

void ShowCardVariants(TData& data, QWidget* over) {
  TDbfTable& skl = data.Skl0000;
  if (!skl.Active()) skl.Open();
  const std::string card = TrimBlanks(data.Sor0000.FieldByName("SOR_KAV").AsString());
  const std::string indexFile = data.DataFile("Skl" + data.StoreCode + ".cdx");
  struct LetGo {
    TDbfTable& skl;
    const std::string& file;
    ~LetGo() {
      try {
        if (skl.Active()) {
          if (skl.State() != TDataSetState::Browse) skl.Cancel();
          skl.SetKeyRange("", "");
          skl.CloseIndexFile(file);
        }
        skl.Close();
      } catch (const std::exception&) {
      }
    }
  } letGo{skl, indexFile};
  skl.OpenIndexFile(indexFile);
  skl.SelectTag("KAV");
  skl.SetKeyRange(card + "000", card + "999");
  skl.First();

  TPrehledVariant list(data, over);
  list.setWindowTitle(QString::fromStdString("Přehled variant karty " + card));
  if (over) {
    QRect frame = list.frameGeometry();
    frame.moveCenter(over->window()->frameGeometry().center());
    list.move(frame.topLeft());
  }
  list.exec();
}
