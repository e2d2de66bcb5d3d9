#pragma once
// The list dialog of one code table: a read-only grid over the table in
// file order and, except for the units, a toolbar with "F2 Nový" and
// "F4 Oprava". In pick mode Enter and a double click close it with OK, and
// the opener reads the chosen code from the table's current row; otherwise
// they do nothing. Esc closes it with Cancel; F2 and F4 add and change an
// entry through the member's editor, posting or cancelling the row.

#include <QDialog>
#include <memory>

#include "controls/data_source.h"
#include "screens/code_family.h"

class QPushButton;
class TData;
class TDBGrid;
class TDbfTable;
class TKeyPreview;

class TCodeListDialog : public QDialog {
  Q_OBJECT

 public:
  static std::unique_ptr<TCodeListDialog> Create(TCodeTable table, TData& data, QWidget* parent);
  ~TCodeListDialog() override;

  const TCodeFamilyMember& Member() const { return member_; }
  bool PickMode = false;

  // Handlers.
  bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void DBGrid1DblClick();
  void Button1Click();   // new entry ("F2 Nový")
  void Button2Click();   // change entry ("F4 Oprava")

  TDataSource DataSource;
  TDBGrid* DBGrid1;
  QPushButton* Button1 = nullptr;   // "F2 Nový"
  QPushButton* Button2 = nullptr;   // "F4 Oprava"

 protected:
  TCodeListDialog(const TCodeFamilyMember& member, TData& data, QWidget* parent);

 private:
  // Runs the editor over the row that `start` put into append or edit state.
  void EditEntry(bool appending);

  const TCodeFamilyMember& member_;
  TData& data_;
  TDbfTable& table_;
  TKeyPreview* preview_;
};

// The family's lists by their own names.
class TPrehledSkupSorti : public TCodeListDialog {
 public:
  TPrehledSkupSorti(TData& data, QWidget* parent)
      : TCodeListDialog(CodeFamilyMember(TCodeTable::Groups), data, parent) {}
};
class TPrehledDruhSort : public TCodeListDialog {
 public:
  TPrehledDruhSort(TData& data, QWidget* parent)
      : TCodeListDialog(CodeFamilyMember(TCodeTable::Kinds), data, parent) {}
};
class TPrehledPodSkSort : public TCodeListDialog {
 public:
  TPrehledPodSkSort(TData& data, QWidget* parent)
      : TCodeListDialog(CodeFamilyMember(TCodeTable::Subgroups), data, parent) {}
};
class TPrehledVyrobci : public TCodeListDialog {
 public:
  TPrehledVyrobci(TData& data, QWidget* parent)
      : TCodeListDialog(CodeFamilyMember(TCodeTable::Makers), data, parent) {}
};
class TPrehledMje : public TCodeListDialog {
 public:
  TPrehledMje(TData& data, QWidget* parent) : TCodeListDialog(CodeFamilyMember(TCodeTable::Units), data, parent) {}
};
