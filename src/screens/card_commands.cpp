#include "screens/card_commands.h"

#include <QCheckBox>
#include <QPushButton>
#include <exception>

#include "controls/edit_orvet.h"
#include "controls/locale_settings.h"
#include "data/data_module.h"
#include "data/text_functions.h"
#include "screens/card_editor.h"
#include "screens/field_text.h"

namespace {

// A save that writes nothing says so; the dialog's fields are the user's to fix.
const char* const kNameMissing = "Název položky není vyplněn, karta nebyla zapsána !";
const std::string kNotWritten = "Karta nebyla zapsána: ";

void CentreOver(QWidget* dialog, QWidget* over) {
  if (!over) return;
  QRect frame = dialog->frameGeometry();
  frame.moveCenter(over->window()->frameGeometry().center());
  dialog->move(frame.topLeft());
}

// Drops the record of a table that a failed save left in edit or insert state.
void CancelUnposted(TDbfTable& table) {
  try {
    if (table.Active() && table.State() != TDataSetState::Browse) table.Cancel();
    if (table.Active()) table.UnlockRecords();
  } catch (const std::exception&) {
  }
}

// The writes of a new card, in their order, and its first variant. The
// variant table and its index file are opened first: a store code whose
// index file is missing must not leave a card without its first variant.
void WriteNewCard(TData& data, TSorEdit& dlg, const std::string& number, const std::string& name) {
  TDbfTable& skl = data.Skl0000;
  const std::string indexFile = data.DataFile("Skl" + data.StoreCode + ".cdx");
  skl.Open();
  skl.OpenIndexFile(indexFile);
  skl.SelectTag("KAV");

  TDbfTable& sor = data.Sor0000;
  auto text = [&](const char* field, int n) { SetFieldText(sor.FieldByName(field), dlg.Edit(n)->Text()); };
  auto number_ = [&](const char* field, int n) { sor.FieldByName(field).SetAsFloat(dlg.Edit(n)->GetFloatValue()); };
  sor.Append();
  sor.FieldByName("SOR_KAV").SetAsString(number);
  sor.FieldByName("SOR_NAC").SetAsString(name);
  text("SOR_DAN", 5);
  text("SOR_VYR", 2);
  text("SOR_MJE", 6);
  text("SOR_OBJ", 7);
  text("SOR_HMO", 8);
  text("SOR_BAL", 4);
  text("SOR_DRU", 9);
  text("SOR_SKU", 10);
  text("SOR_PSK", 11);
  text("SOR_EAN", 19);
  text("SOR_POZ", 12);
  sor.FieldByName("SOR_SKL").SetAsBoolean(dlg.SkladovaPolozka->isChecked());
  sor.FieldByName("SOR_OLD").SetAsBoolean(dlg.Vyrazeno->isChecked());
  sor.FieldByName("SOR_KOM").SetAsBoolean(dlg.Komisni->isChecked());
  number_("SOR_PC1", 14);
  number_("SOR_PC2", 15);
  number_("SOR_PC3", 16);
  number_("SOR_PC4", 17);
  number_("SOR_DAN", 5);
  number_("SOR_PC5", 18);
  sor.FieldByName("SOR_MIN").SetAsInteger(dlg.Edit(20)->GetIntegerValue());
  text("SOR_SLE", 21);
  text("SOR_KDO", 22);
  text("SOR_KVY", 23);
  number_("SOR_OTV", 24);
  sor.Post();
  sor.UnlockRecords();

  if (!skl.SeekKey(number + "01", true, false)) {
    skl.Append();
    skl.FieldByName("SKL_KAV").SetAsString(number);
    skl.FieldByName("SKL_IND").SetAsString("01");
    skl.FieldByName("SKL_POC").SetAsInteger(0);
    skl.FieldByName("SKL_MEN").SetAsString("CZK");
    skl.FieldByName("SKL_KUR").SetAsFloat(1.0);
    skl.FieldByName("SKL_POZ").SetAsString("Založeno " + ControlsNow().date().toString("dd.MM.yyyy").toStdString());
    skl.FieldByName("SKL_SNC").SetAsFloat(dlg.Edit(13)->GetFloatValue());
    skl.Post();
    skl.UnlockRecords();
  }
  skl.CloseIndexFile(indexFile);
  skl.Close();
}

void WriteChangedCard(TData& data, TSorEdit& dlg) {
  TDbfTable& sor = data.Sor0000;
  auto text = [&](const char* field, int n) { SetFieldText(sor.FieldByName(field), dlg.Edit(n)->Text()); };
  sor.Edit();
  text("SOR_NAC", 3);
  text("SOR_VYR", 2);
  text("SOR_MJE", 6);
  text("SOR_OBJ", 7);
  text("SOR_HMO", 8);
  text("SOR_BAL", 4);
  text("SOR_DRU", 9);
  text("SOR_SKU", 10);
  text("SOR_PSK", 11);
  text("SOR_EAN", 19);
  text("SOR_POZ", 12);
  text("SOR_PC1", 14);
  text("SOR_PC2", 15);
  text("SOR_PC3", 16);
  text("SOR_PC4", 17);
  text("SOR_PC5", 18);
  sor.FieldByName("SOR_SKL").SetAsBoolean(dlg.SkladovaPolozka->isChecked());
  sor.FieldByName("SOR_OLD").SetAsBoolean(dlg.Vyrazeno->isChecked());
  sor.FieldByName("SOR_KOM").SetAsBoolean(dlg.Komisni->isChecked());
  text("SOR_MIN", 20);
  text("SOR_SLE", 21);
  text("SOR_KDO", 22);
  text("SOR_KVY", 23);
  text("SOR_OTV", 24);
  sor.Post();
  sor.UnlockRecords();
}

}  // namespace

void NewCardCommand(TData& data, QWidget* mainWindow) {
  TSorEdit dlg(data, mainWindow);
  CentreOver(&dlg, mainWindow);
  dlg.SetMode(TSorEdit::Mode::NewCard);
  dlg.Edit(1)->setText({});
  dlg.Edit(2)->setText({});
  dlg.Edit(3)->setText({});
  dlg.Edit(5)->SetText(QStringLiteral("19"));
  dlg.Edit(6)->SetText(QStringLiteral("ks"));
  dlg.Edit(20)->SetText(QStringLiteral("0"));
  dlg.Edit(21)->SetText(QStringLiteral("99"));
  dlg.Edit(24)->SetText(QStringLiteral("1"));
  if (dlg.exec() != QDialog::Accepted) return;

  TDbfTable& sor = data.Sor0000;
  sor.SelectTag("KAV");
  const std::string number = TrimBlanks(dlg.Edit(1)->Text().toStdString());
  const std::string name = TrimBlanks(dlg.Edit(3)->Text().toStdString());
  // The number was checked (with its message) when it was left.
  if (number.size() != 6 || sor.SeekKeyValues({TValue(number)})) return;
  if (name.empty()) return data.ui.Message(kNameMissing);
  try {
    WriteNewCard(data, dlg, number, name);
  } catch (const std::exception& e) {
    CancelUnposted(sor);
    CancelUnposted(data.Skl0000);
    try {
      data.Skl0000.Close();
    } catch (const std::exception&) {
    }
    data.ui.Error(kNotWritten + e.what());
  }
}

void EditCardCommand(TData& data, QWidget* mainWindow) {
  TDbfTable& sor = data.Sor0000;
  if (sor.IsEmpty()) return;
  TSorEdit dlg(data, mainWindow);
  CentreOver(&dlg, mainWindow);
  dlg.SetMode(TSorEdit::Mode::Edit);
  auto show = [&](int n, const char* field) { dlg.Edit(n)->SetText(FieldText(sor.FieldByName(field))); };
  show(1, "SOR_KAV");
  show(14, "SOR_PC1");
  show(15, "SOR_PC2");
  show(16, "SOR_PC3");
  show(17, "SOR_PC4");
  show(18, "SOR_PC5");
  show(2, "SOR_VYR");
  show(5, "SOR_DAN");
  show(6, "SOR_MJE");
  show(7, "SOR_OBJ");
  show(8, "SOR_HMO");
  show(4, "SOR_BAL");
  show(9, "SOR_DRU");
  show(10, "SOR_SKU");
  show(11, "SOR_PSK");
  show(19, "SOR_EAN");
  show(12, "SOR_POZ");
  show(20, "SOR_MIN");
  show(21, "SOR_SLE");
  show(22, "SOR_KDO");
  show(23, "SOR_KVY");
  show(3, "SOR_NAC");
  dlg.Edit(24)->SetFloatValue(sor.FieldByName("SOR_OTV").AsFloat());
  dlg.Vyrazeno->setChecked(sor.FieldByName("SOR_OLD").AsBoolean());
  dlg.Komisni->setChecked(sor.FieldByName("SOR_KOM").AsBoolean());
  if (dlg.exec() != QDialog::Accepted) return;

  // A card without a name would reach every shop that way.
  if (TrimBlanks(dlg.Edit(3)->Text().toStdString()).empty()) return data.ui.Message(kNameMissing);
  if (!data.LockRecordWithRetry(sor)) return;
  try {
    WriteChangedCard(data, dlg);
  } catch (const std::exception& e) {
    CancelUnposted(sor);
    data.ui.Error(kNotWritten + e.what());
  }
}
