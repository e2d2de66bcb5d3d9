#include "screens/variant_editor.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "controls/db_edit_orvet.h"
#include "controls/db_field_link.h"
#include "controls/edit_orvet.h"
#include "data/data_module.h"
#include "screens/dialog_look.h"

namespace {
constexpr int kEditLeft = 180;
constexpr int kRow = 30;

// The index as the unique variant tag sees it: trailing blanks do not count.
std::string WithoutTrailingBlanks(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// An index the card's list can show: digits only, within "000" to "999".
// Letters, blanks in front, and "0" or "00" (padded with blanks they come
// before "000") fall outside the key range of the card's variants, so such
// a variant would be written where no list shows it.
bool ListableIndex(const std::string& key) {
  if (key.empty() || key.size() > 3 || key.find_first_not_of("0123456789") != std::string::npos) return false;
  return key.size() == 3 || key.find_first_not_of('0') != std::string::npos;
}
}  // namespace

TEditaceVarianta::TEditaceVarianta(TData& data, std::set<std::string> existing, QWidget* parent)
    : QDialog(parent, FixedDialogFlags()), data_(data), existing_(std::move(existing)) {
  setObjectName(QStringLiteral("TEditaceVarianta"));
  setWindowTitle(QStringLiteral("EditaceVarianta"));

  auto* label = new QLabel(QStringLiteral("Varianta skladové ceny "), this);
  label->move(12, 17);
  label->adjustSize();
  EditOrvet1 = new TEditOrvet(this);
  EditOrvet1->setObjectName(QStringLiteral("EditOrvet1"));
  EditOrvet1->setGeometry(kEditLeft, 14, 41, 21);
  EditOrvet1->setMaxLength(3);
  label->setBuddy(EditOrvet1);

  DBEditOrvet2 = BoundEdit("DBEditOrvet2", "Skladová cena varianty", "SKL_SNC", 14 + kRow, 89);
  DBEditOrvet3 = BoundEdit("DBEditOrvet3", "Pořizovací měna karty", "SKL_MEN", 14 + 2 * kRow, 57);
  DBEditOrvet4 = BoundEdit("DBEditOrvet4", "Kurz měny ", "SKL_KUR", 14 + 3 * kRow, 73);
  DBEditOrvet5 = BoundEdit("DBEditOrvet5", "Počáteční skladová zásoba", "SKL_POC", 14 + 4 * kRow, 73);
  DBEditOrvet6 = BoundEdit("DBEditOrvet6", "Pozn.", "SKL_POZ", 14 + 5 * kRow, 217);
  DBEditOrvet3->SetButtonWidth(17);
  DBEditOrvet3->SetButtonVisible(true);
  for (TDBEditOrvet* e : {DBEditOrvet3, DBEditOrvet4, DBEditOrvet5}) e->setEnabled(false);
  DBEditOrvet6->SetEditType(setFloat);

  const int panelTop = 14 + 6 * kRow + 4;
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setGeometry(0, panelTop, kEditLeft + 217 + 12, 41);
  Button1 = new QPushButton(QStringLiteral("Storno"), panel);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(panel->width() - 2 * 83, 8, 75, 25);
  Button2 = new QPushButton(QStringLiteral("Zapiš"), panel);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(panel->width() - 83, 8, 75, 25);
  connect(Button1, &QPushButton::clicked, this, &TEditaceVarianta::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TEditaceVarianta::Button2Click);
  setFixedSize(panel->width(), panelTop + 41);
}

TEditaceVarianta::~TEditaceVarianta() = default;

TDBEditOrvet* TEditaceVarianta::BoundEdit(const char* name, const char* text, const char* field, int top, int width) {
  auto* label = new QLabel(QString::fromUtf8(text), this);
  label->move(12, top + 3);
  label->adjustSize();
  auto* edit = new TDBEditOrvet(this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(kEditLeft, top, width, 21);
  edit->SetEnterIsTab(true);
  edit->SetColorDisable(palette().color(QPalette::Window));
  edit->SetWhenValid(swvAlways);
  links_.push_back(std::make_unique<TDbFieldLink>(data_.Skl0000, field));
  edit->SetField(links_.back().get());
  label->setBuddy(edit);
  return edit;
}

void TEditaceVarianta::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  EditOrvet1->setFocus(Qt::OtherFocusReason);
}

void TEditaceVarianta::Button1Click() { reject(); }

void TEditaceVarianta::Button2Click() {
  // A click whose press found the focus kept in an edit (its text refused,
  // with its message) writes nothing: the refused text never reached the row.
  if (QApplication::focusWidget() != Button2) return;
  const std::string index = EditOrvet1->Text().toStdString();
  const std::string key = WithoutTrailingBlanks(index);
  if (key.find_first_not_of(' ') == std::string::npos) {
    data_.ui.Message("Varianta skladové ceny není vyplněna !");
    EditOrvet1->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (!ListableIndex(key)) {
    data_.ui.Message("Varianta skladové ceny musí být číslo 000 až 999 !");
    EditOrvet1->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (existing_.count(key)) {
    data_.ui.Message("Varianta " + key + " již u této karty existuje !");
    EditOrvet1->setFocus(Qt::OtherFocusReason);
    return;
  }
  data_.Skl0000.FieldByName("SKL_IND").SetAsString(index);
  accept();
}
