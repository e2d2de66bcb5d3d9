#include "screens/code_list_commands.h"

#include "data/data_module.h"
#include "screens/code_list.h"
#include "screens/dialog_look.h"

TCodeTableOpen::TCodeTableOpen(TData& data, TCodeTable table)
    : table_(data.Table(CodeFamilyMember(table).object)) {
  table_.Open();
}

TCodeTableOpen::~TCodeTableOpen() {
  try {
    table_.Close();
  } catch (const std::exception&) {
  }
}

std::optional<std::string> ShowCodeList(TData& data, TCodeTable table, QWidget* over, const TCodeListShow& how) {
  std::unique_ptr<TCodeListDialog> list = TCodeListDialog::Create(table, data, over);
  list->PickMode = how.pickMode;
  if (how.offset) PlaceOver(list.get(), over, how.offset->x(), how.offset->y());
  const bool ok = list->exec() == QDialog::Accepted;
  // Read before the list goes: its grid lets go of the table on the way.
  std::optional<std::string> code;
  TDbfTable& t = data.Table(CodeFamilyMember(table).object);
  if (ok && how.pickMode && !t.IsEmpty()) code = t.FieldByName(CodeFamilyMember(table).keyField).AsString();
  list.reset();
  return code;
}

void KindsListCommand(TData& data, QWidget* mainWindow) {
  TCodeTableOpen open(data, TCodeTable::Kinds);
  ShowCodeList(data, TCodeTable::Kinds, mainWindow, {true, QPoint(160, 50)});
}

void GroupsListCommand(TData& data, QWidget* mainWindow) {
  TCodeTableOpen open(data, TCodeTable::Groups);
  ShowCodeList(data, TCodeTable::Groups, mainWindow, {false, QPoint(160, 50)});
}
