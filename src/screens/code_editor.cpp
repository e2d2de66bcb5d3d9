#include "screens/code_editor.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "controls/db_edit_orvet.h"
#include "controls/db_field_link.h"
#include "screens/dialog_look.h"

namespace {
constexpr int kEditLeft = 150;
constexpr int kRowHeight = 30;
constexpr int kTop = 14;
}  // namespace

std::unique_ptr<TCodeEntryEditor> TCodeEntryEditor::Create(const TCodeFamilyMember& member, TDbfTable& table,
                                                           QWidget* parent) {
  switch (member.table) {
    case TCodeTable::Groups: return std::make_unique<TSortiSkupEdit>(table, parent);
    case TCodeTable::Kinds: return std::make_unique<TDruhSortiEdit>(table, parent);
    case TCodeTable::Subgroups: return std::make_unique<TSortiPskEdit>(table, parent);
    case TCodeTable::Makers: return std::make_unique<TSortiVyrobceEdit>(table, parent);
    case TCodeTable::Units: break;
  }
  return nullptr;
}

TCodeEntryEditor::TCodeEntryEditor(const TCodeFamilyMember& member, TDbfTable& table, QWidget* parent)
    : QDialog(parent, FixedDialogFlags()), member_(member) {
  setObjectName(QString::fromStdString(member.editorClass));
  setWindowTitle(QString::fromStdString(member.editorCaption));

  int widest = 0;
  int top = kTop;
  for (size_t i = 0; i < member.editorFields.size(); ++i) {
    const TCodeEditorField& f = member.editorFields[i];
    auto* label = new QLabel(QString::fromStdString(f.label), this);
    label->move(12, top + 3);
    label->adjustSize();
    auto* edit = new TDBEditOrvet(this);
    edit->setObjectName(QStringLiteral("DBEditOrvet%1").arg(i + 1));
    edit->setGeometry(kEditLeft, top, f.width, 21);
    edit->SetEnterIsTab(true);
    edit->SetColorDisable(palette().color(QPalette::Window));
    links_.push_back(std::make_unique<TDbFieldLink>(table, f.field));
    edit->SetField(links_.back().get());
    label->setBuddy(edit);
    Labels.push_back(label);
    Edits.push_back(edit);
    widest = std::max(widest, kEditLeft + f.width);
    top += kRowHeight;
  }
  if (member.codeCheck != TCodeCheck::None && !Edits.empty())
    Edits.front()->OnValid = [this](QObject*, QString& text, bool& valid) { DBEditOrvet1Valid(text, valid); };

  Button2 = new QPushButton(QStringLiteral("Zapiš"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(112, top + 12, 75, 25);
  Button1 = new QPushButton(QStringLiteral("Storno"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(192, top + 12, 75, 25);
  for (QPushButton* b : {Button1, Button2}) b->setAutoDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TCodeEntryEditor::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TCodeEntryEditor::Button2Click);
  setFixedSize(std::max(widest, 267) + 16, top + 12 + 25 + 12);
}

TCodeEntryEditor::~TCodeEntryEditor() = default;

void TCodeEntryEditor::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!Edits.empty()) Edits.front()->setFocus(Qt::OtherFocusReason);
}

void TCodeEntryEditor::Button1Click() { reject(); }

// A click whose press found the focus kept in an edit (its text refused)
// does not close the editor: the refused text never reached the row.
void TCodeEntryEditor::Button2Click() {
  if (QApplication::focusWidget() != Button2) return;
  accept();
}

void TCodeEntryEditor::DBEditOrvet1Valid(QString& text, bool& isValid) {
  if (member_.codeCheck == TCodeCheck::UnlessCancelling && Button1->hasFocus()) return;
  // Blanks and control characters cut from both ends; counted in letters.
  qsizetype first = 0, last = text.size();
  while (first < last && text[first] <= QChar(' ')) ++first;
  while (last > first && text[last - 1] <= QChar(' ')) --last;
  isValid = last - first == 3;
  // A refused code says why instead of only keeping the focus, except to a
  // user who is cancelling anyway.
  Edits.front()->SetErrorString(isValid || Button1->hasFocus() ? QString() : QStringLiteral("Kód musí mít 3 znaky !"));
}
