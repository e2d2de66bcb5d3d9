#pragma once
// The editor of one code-list entry: a labelled bound edit per field of the
// entry (the code first, with the focus when the editor opens) and the
// buttons "Zapiš" (result OK) and "Storno" (cancel). The row is put into
// append or edit state by the list before the editor opens; the edits write
// into it, the list posts or cancels it. The code edit of the groups, kinds
// and subgroups editors refuses a code that is not 3 characters long once
// blanks and control characters are cut from its ends.

#include <QDialog>
#include <memory>
#include <vector>

#include "screens/code_family.h"

class QLabel;
class QPushButton;
class TDbfTable;
class TDbFieldLink;
class TDBEditOrvet;

class TCodeEntryEditor : public QDialog {
  Q_OBJECT

 public:
  // The editor of the entries of `member`, on the current row of `table`.
  static std::unique_ptr<TCodeEntryEditor> Create(const TCodeFamilyMember& member, TDbfTable& table,
                                                  QWidget* parent);
  ~TCodeEntryEditor() override;

  // Handlers.
  void Button1Click();   // "Storno"
  void Button2Click();   // "Zapiš"
  void DBEditOrvet1Valid(QString& text, bool& isValid);

  std::vector<TDBEditOrvet*> Edits;   // DBEditOrvet1, 2, ...
  std::vector<QLabel*> Labels;
  QPushButton* Button1;   // "Storno"
  QPushButton* Button2;   // "Zapiš"

 protected:
  TCodeEntryEditor(const TCodeFamilyMember& member, TDbfTable& table, QWidget* parent);
  void showEvent(QShowEvent* event) override;

 private:
  const TCodeFamilyMember& member_;
  std::vector<std::unique_ptr<TDbFieldLink>> links_;
};

// The family's editors by their own names.
class TSortiSkupEdit : public TCodeEntryEditor {
 public:
  TSortiSkupEdit(TDbfTable& table, QWidget* parent)
      : TCodeEntryEditor(CodeFamilyMember(TCodeTable::Groups), table, parent) {}
};
class TDruhSortiEdit : public TCodeEntryEditor {
 public:
  TDruhSortiEdit(TDbfTable& table, QWidget* parent)
      : TCodeEntryEditor(CodeFamilyMember(TCodeTable::Kinds), table, parent) {}
};
class TSortiPskEdit : public TCodeEntryEditor {
 public:
  TSortiPskEdit(TDbfTable& table, QWidget* parent)
      : TCodeEntryEditor(CodeFamilyMember(TCodeTable::Subgroups), table, parent) {}
};
class TSortiVyrobceEdit : public TCodeEntryEditor {
 public:
  TSortiVyrobceEdit(TDbfTable& table, QWidget* parent)
      : TCodeEntryEditor(CodeFamilyMember(TCodeTable::Makers), table, parent) {}
};
