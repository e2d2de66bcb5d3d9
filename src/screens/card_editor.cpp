#include "screens/card_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "controls/edit_orvet.h"
#include "controls/key_translation.h"
#include "data/data_module.h"
#include "data/text_functions.h"
#include "screens/code_family.h"
#include "screens/code_list_commands.h"
#include "screens/dialog_look.h"
#include "screens/key_preview.h"
#include "screens/variant_commands.h"

namespace {

constexpr int kLabelLeft = 12;
constexpr int kEditLeft = 228;
constexpr int kRowTop = 12;
constexpr int kRowHeight = 28;

// Check boxes take Enter as Tab.
class EnterAsTab : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!IsEnterKey(key->key()) || !IsPlainKey(*key)) return false;
    // The widget's own Tab handling moves through the dialog's order.
    const bool back = key->modifiers() & Qt::ShiftModifier;
    QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab, key->modifiers());
    QApplication::sendEvent(watched, &tab);
    return true;
  }
};

}  // namespace

TSorEdit::TSorEdit(TData& data, QWidget* parent) : QDialog(parent, BareDialogFlags()), data_(data) {
  setObjectName(QStringLiteral("TSorEdit"));
  setWindowTitle(QStringLiteral("Editace položky sortimentu"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 0);
  column->setSpacing(0);

  // The button panel is created first: it comes first in the Tab order.
  auto* panel = new QFrame;
  panel->setFixedHeight(41);
  StornoButton = new QPushButton(QStringLiteral("Storno"), panel);
  StornoButton->setObjectName(QStringLiteral("Storno"));
  ZapisButton = new QPushButton(QStringLiteral("Zapiš"), panel);
  ZapisButton->setObjectName(QStringLiteral("Zapis"));
  for (QPushButton* b : {StornoButton, ZapisButton}) b->setAutoDefault(true);
  connect(StornoButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(ZapisButton, &QPushButton::clicked, this, &QDialog::accept);

  PageControl1 = new QTabWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->tabBar()->setFocusPolicy(Qt::NoFocus);
  auto* basic = new QWidget;
  auto* other = new QWidget;
  auto* prices = new QWidget;
  PageControl1->addTab(basic, QStringLiteral("Základní údaje"));
  PageControl1->addTab(other, QStringLiteral("Ostatní údaje"));
  PageControl1->addTab(prices, QStringLiteral("Ceny"));
  column->addWidget(PageControl1, 1);
  column->addWidget(panel);

  // Page "Základní údaje".
  AddField(basic, 1, 0, "Císlo položky skladu ( 6 čísel ) ", ttString, 6, 65, "");
  AddField(basic, 3, 1, "Název", ttString, 30, 217, "");
  AddField(basic, 2, 2, "Výrobce", ttString, 3, 57, "");
  AddField(basic, 5, 3, "Sazba DPH", ttInteger, 0, 41, "19");
  AddField(basic, 6, 4, "Měrná jednotka", ttString, 2, 57, "ks");
  AddField(basic, 7, 5, "Objem v m3", ttFloat, 0, 89, "0");
  AddField(basic, 8, 6, "Hmotnost v kg", ttFloat, 0, 89, "0");
  AddField(basic, 20, 7, "Minimální zásoba na skladě", ttInteger, 0, 65, "0");
  AddField(basic, 4, 8, "Počet kusů v základním balení", ttInteger, 0, 65, "1");

  // Page "Ostatní údaje".
  AddField(other, 9, 0, "Druh sortimentu", ttString, 3, 57, "000");
  AddField(other, 10, 1, "Skupina sortimentu", ttString, 3, 57, "000");
  AddField(other, 11, 2, "Podskupina", ttString, 3, 57, "000");
  AddField(other, 19, 3, "EAN", ttString, 13, 113, "");
  SkladovaPolozka = AddCheck(other, "CheckBox1", 4, "Skladová položka");
  SkladovaPolozka->setChecked(true);
  SkladovaPolozka->setEnabled(false);
  Vyrazeno = AddCheck(other, "CheckBox2", 5, "Vyřazeno z prodeje");
  Komisni = AddCheck(other, "CheckBox3", 6, "Komisní zboží");
  AddField(other, 22, 7, "Kód dodavatele", ttString, 10, 97, "");
  AddField(other, 23, 8, "Kód výrobce", ttString, 10, 97, "");
  AddField(other, 24, 9, "Přepoč. koef. dod na obch.bal.", ttString, 0, 89, "");
  AddField(other, 12, 10, "Pozn.", ttString, 30, 217, "");

  // Page "Ceny": the purchase price of a new card and "Varianty NC " of an
  // existing one share their place.
  Button1 = new QPushButton(QStringLiteral("Varianty NC "), prices);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(kEditLeft, kRowTop - 2, 89, 25);
  Button1->setAutoDefault(false);
  Button1->hide();
  connect(Button1, &QPushButton::clicked, this, &TSorEdit::Button1Click);
  AddField(prices, 13, 0, "Nákupní cena", ttFloat, 0, 89, "");
  AddField(prices, 14, 1, "Prodejní cena A", ttFloat, 0, 89, "0");
  AddField(prices, 15, 2, "Prodejní cena B", ttFloat, 0, 89, "0");
  AddField(prices, 16, 3, "Cena 3", ttFloat, 0, 89, "0");
  AddField(prices, 17, 4, "Cena 4", ttFloat, 0, 89, "0");
  AddField(prices, 18, 5, "Cena 5", ttFloat, 0, 89, "0");
  AddField(prices, 21, 6, "Max.sleva v % od ceník. ceny", ttString, 0, 65, "99.99");

  // The Tab order of the window.
  const int order[] = {1, 3, 2, 5, 6, 7, 8, 20, 4, 9, 10, 11, 19, -1, -2, -3, 22, 23, 24, 12, -4, 13, 14, 15, 16, 17, 18, 21};
  QWidget* previous = ZapisButton;
  setTabOrder(StornoButton, ZapisButton);
  for (int n : order) {
    QWidget* w = n == -1 ? static_cast<QWidget*>(SkladovaPolozka)
                 : n == -2 ? static_cast<QWidget*>(Vyrazeno)
                 : n == -3 ? static_cast<QWidget*>(Komisni)
                 : n == -4 ? static_cast<QWidget*>(Button1)
                           : static_cast<QWidget*>(Edit(n));
    setTabOrder(previous, w);
    previous = w;
  }
  auto* enterAsTab = new EnterAsTab(this);
  for (QCheckBox* c : {SkladovaPolozka, Vyrazeno, Komisni}) c->installEventFilter(enterAsTab);

  // The code fields: a three-dot button and the lookups.
  for (int n : {2, 6, 9, 10, 11}) {
    TEditOrvet* field = Edit(n);
    field->SetButtonVisible(true);
    field->OnClickButton = [this, field](QObject*) { CodeClickButton(field); };
    field->OnTabExit = [this, field](QObject*, Qt::KeyboardModifiers) { CodeTabExit(field); };
  }
  Edit(1)->OnExit = [this](QObject*) { EditOrvet1Exit(); };
  Edit(4)->OnExit = [this](QObject*) { EditOrvet4Exit(); };
  Edit(12)->OnExit = [this](QObject*) { EditOrvet12Exit(); };

  const int pageHeight = kRowTop + 11 * kRowHeight + 8;
  basic->setMinimumHeight(pageHeight);
  setFixedSize(kEditLeft + 217 + 40, pageHeight + PageControl1->tabBar()->sizeHint().height() + 41 + 16);
  StornoButton->setGeometry(width() - 2 * 83 - 4, 8, 75, 25);
  ZapisButton->setGeometry(width() - 83 - 4, 8, 75, 25);
  PageControl1->setCurrentIndex(0);

  preview_ = new TKeyPreview(this, [this](int key, Qt::KeyboardModifiers shift) { return FormKeyDown(key, shift); });
}

TSorEdit::~TSorEdit() { delete preview_; }

TEditOrvet* TSorEdit::AddField(QWidget* page, int n, int row, const char* label, int type, int maxLength, int width,
                               const char* text) {
  const int top = kRowTop + row * kRowHeight;
  auto* caption = new QLabel(QString::fromUtf8(label), page);
  caption->move(kLabelLeft, top + 3);
  caption->adjustSize();
  auto* edit = new TEditOrvet(page);
  edit->setObjectName(QStringLiteral("EditOrvet%1").arg(n));
  edit->SetEditType(static_cast<TEditType>(type));
  if (maxLength > 0) edit->setMaxLength(maxLength);
  edit->setGeometry(kEditLeft, top, width, 21);
  edit->setText(QString::fromUtf8(text));
  caption->setBuddy(edit);
  captions_.at(n) = caption;
  edits_.at(n) = edit;
  return edit;
}

QCheckBox* TSorEdit::AddCheck(QWidget* page, const char* name, int row, const char* caption) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), page);
  box->setObjectName(QString::fromLatin1(name));
  box->move(kLabelLeft, kRowTop + row * kRowHeight);
  box->adjustSize();
  return box;
}

void TSorEdit::SetMode(Mode mode) {
  mode_ = mode;
  const bool edit = mode == Mode::Edit;
  Edit(1)->setEnabled(!edit);
  Edit(5)->setEnabled(!edit);
  // The purchase price goes with its label: the button stands there alone.
  Edit(13)->setVisible(!edit);
  captions_.at(13)->setVisible(!edit);
  Edit(13)->setEnabled(!edit);
  Button1->setVisible(edit);
  Button1->setEnabled(edit);
}

void TSorEdit::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

// The focus goes to the number (new card) or the name (edit) while the
// first page is shown. Run when the editor is shown; the code lists it opens
// give the focus back to where the lookup left it.
void TSorEdit::FormActivate() {
  if (PageControl1->currentIndex() != 0) return;
  Edit(mode_ == Mode::NewCard ? 1 : 3)->setFocus(Qt::OtherFocusReason);
}

bool TSorEdit::FormKeyDown(int key, Qt::KeyboardModifiers) {
  if (key != Qt::Key_Escape) return false;
  reject();
  return true;
}

void TSorEdit::EditOrvet1Exit() {
  TDbfTable& cards = data_.Sor0000;
  const long recno = cards.RecNo();
  cards.SelectTag("KAV");
  // The user is cancelling: no check.
  if (StornoButton->hasFocus()) return;
  const std::string number = TrimBlanks(Edit(1)->Text().toStdString());
  if (number.size() != 6) {
    data_.ui.Error("Číslo není šestimístné !");
    Edit(1)->setFocus(Qt::OtherFocusReason);
  }
  if (cards.SeekKeyValues({TValue(number)})) {
    data_.ui.Message("Toto číslo již existuje !");
    Edit(1)->setFocus(Qt::OtherFocusReason);
  } else if (recno > 0) {
    cards.SetRecNo(recno);
  }
}

void TSorEdit::EditOrvet4Exit() {
  PageControl1->setCurrentIndex(1);
  Edit(9)->setFocus(Qt::OtherFocusReason);
}

void TSorEdit::EditOrvet12Exit() {
  PageControl1->setCurrentIndex(2);
  if (mode_ == Mode::NewCard) {
    Button1->hide();
    Button1->setEnabled(false);
    Edit(13)->setFocus(Qt::OtherFocusReason);
  } else {
    Edit(13)->setEnabled(false);
    Edit(14)->setFocus(Qt::OtherFocusReason);
  }
}

TCodeTable TSorEdit::CodeTableOf(TEditOrvet* field) const {
  if (field == Edit(2)) return TCodeTable::Makers;
  if (field == Edit(6)) return TCodeTable::Units;
  if (field == Edit(9)) return TCodeTable::Kinds;
  if (field == Edit(10)) return TCodeTable::Groups;
  return TCodeTable::Subgroups;
}

bool TSorEdit::IsUnit(TEditOrvet* field) const { return field == Edit(6); }

void TSorEdit::CodeClickButton(TEditOrvet* field) {
  const TCodeTable table = CodeTableOf(field);
  TCodeTableOpen open(data_, table);
  // The unit is looked up as typed, the other codes trimmed.
  const std::string text = field->Text().toStdString();
  const std::string code = IsUnit(field) ? text : TrimBlanks(text);
  if (!open.Table().Locate(CodeFamilyMember(table).keyField, {TValue(code)})) open.Table().First();
  if (std::optional<std::string> picked = ShowCodeList(data_, table, this, {true, QPoint(160, 80)})) {
    field->SetText(QString::fromStdString(*picked));
    if (IsUnit(field)) Edit(7)->setFocus(Qt::OtherFocusReason);
  }
}

void TSorEdit::CodeTabExit(TEditOrvet* field) {
  const TCodeTable table = CodeTableOf(field);
  TCodeTableOpen open(data_, table);
  const std::string text = field->Text().toStdString();
  const std::string code = IsUnit(field) ? text : TrimBlanks(text);
  if (!TrimBlanks(text).empty() && open.Table().Locate(CodeFamilyMember(table).keyField, {TValue(code)})) return;
  if (std::optional<std::string> picked = ShowCodeList(data_, table, this, {true, std::nullopt}))
    field->SetText(QString::fromStdString(*picked));
  else
    field->setFocus(Qt::OtherFocusReason);
}

void TSorEdit::Button1Click() { ShowCardVariants(data_, this); }
