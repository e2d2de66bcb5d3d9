#include "screens/search_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "controls/control_feedback.h"
#include "controls/locale_settings.h"
#include "controls/text_check.h"
#include "controls/v_edit.h"
#include "controls/value_text.h"
#include "data/data_module.h"
#include "data/text_functions.h"
#include "screens/dialog_look.h"
#include "screens/key_preview.h"
#include "xbase/codepage.h"

namespace {

// Upper case by the desktop's rules for its whole character set.
std::string LocaleUpper(const std::string& text) {
  const Codepage& cp = Codepage::Instance();
  return cp.AnsiToUtf8(Codepage::AnsiUpper(cp.Utf8ToAnsi(text)));
}

}  // namespace

TSorHle::TSorHle(TData& data, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      data_(data) {
  setObjectName(QStringLiteral("TSorHle"));
  setWindowTitle(QStringLiteral("Hledej položku databáze"));
  struct Option {
    QRadioButton*& button;
    const char* name;
    const char* caption;
  };
  const Option options[] = {
      {RadioButton1, "RadioButton1", "Hledej název položky sortimentu"},
      {RadioButton2, "RadioButton2", "Hledej dle čísla karty sortimentu"},
      {RadioButton3, "RadioButton3", "Hledej částku prodejní cenu "},
      {RadioButton4, "RadioButton4", "Hledej dle kódu dodavatele"},
      {RadioButton5, "RadioButton5", "Hledej dle kódu výrobce"},
  };
  int top = 12;
  for (const Option& o : options) {
    o.button = new QRadioButton(QString::fromUtf8(o.caption), this);
    o.button->setObjectName(QString::fromLatin1(o.name));
    o.button->move(16, top);
    o.button->adjustSize();
    o.button->installEventFilter(this);
    top += 24;
  }
  Label1 = new QLabel(QStringLiteral("Hledej tento text"), this);
  Label1->move(16, top + 8);
  Label1->adjustSize();
  VEdit1 = new TVEdit(this);
  VEdit1->setObjectName(QStringLiteral("VEdit1"));
  VEdit1->setGeometry(16, top + 26, 289, 21);
  VEdit1->SetEnterIsTab(false);
  VEdit1->SetFloatPrecision(10);
  VEdit1->SetFloatDigits(2);
  VEdit1->OnKeyDown = [this](QObject*, int& key, Qt::KeyboardModifiers) { VEdit1KeyDown(key); };
  Label1->setBuddy(VEdit1);

  BitBtn1 = new QPushButton(QStringLiteral("&Hledej"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(144, top + 62, 75, 25);
  BitBtn2 = new QPushButton(QStringLiteral("Storno"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setGeometry(230, top + 62, 75, 25);
  for (QPushButton* b : {BitBtn1, BitBtn2}) b->setAutoDefault(false);
  connect(BitBtn1, &QPushButton::clicked, this, &TSorHle::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  setFixedSize(321, top + 62 + 25 + 12);

  preview_ = new TKeyPreview(this, [this](int key, Qt::KeyboardModifiers shift) { return FormKeyDown(key, shift); });
}

TSorHle::~TSorHle() { delete preview_; }

void TSorHle::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TSorHle::FormActivate() {
  VEdit1->setText({});
  BitBtn1->setEnabled(false);
  VEdit1->SetEditType(ttString);
  RadioButton1->setChecked(true);
  RadioButton1->setFocus(Qt::OtherFocusReason);
}

bool TSorHle::FormKeyDown(int key, Qt::KeyboardModifiers) {
  if (key != Qt::Key_Escape) return false;
  reject();
  return true;
}

bool TSorHle::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && qobject_cast<QRadioButton*>(watched))
    RadioButtonKeyDown(static_cast<QKeyEvent*>(event)->key());
  return QDialog::eventFilter(watched, event);
}

void TSorHle::RadioButtonKeyDown(int key) {
  VEdit1->SetEditType(RadioButton3->isChecked() ? ttFloat : ttString);
  if (key == Qt::Key_Return || key == Qt::Key_Enter) VEdit1->setFocus(Qt::TabFocusReason);
}

void TSorHle::VEdit1KeyDown(int& key) {
  BitBtn1->setEnabled(true);
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    key = 0;
    // Enter searches without leaving the field, so without its own check.
    if (!PriceIsANumber()) return ShowControlMessage(VEdit1, TMessageKind::Error, kBadFormatText);
    BitBtn1Click();
  }
}

// A price search needs a number (or nothing): a numeric key cannot be
// sought with any other text.
bool TSorHle::PriceIsANumber() const {
  const QString text = VEdit1->text().trimmed();
  return !RadioButton3->isChecked() || text.isEmpty() || ParseFloat(text, LocaleSettings()).has_value();
}

void TSorHle::BitBtn1Click() {
  if (!PriceIsANumber()) {
    // A click that took the focus from the field has had the field's own
    // message already; the field keeps the focus.
    if (!VEdit1->hasFocus()) ShowControlMessage(VEdit1, TMessageKind::Error, kBadFormatText);
    VEdit1->setFocus(Qt::OtherFocusReason);
    return;
  }
  setResult(QDialog::Accepted);
  struct Key {
    QRadioButton* option;
    const char* tag;
    bool upper;
  };
  const Key keys[] = {{RadioButton1, "NAC", true},
                      {RadioButton2, "KAV", false},
                      {RadioButton3, "PC1", false},
                      {RadioButton4, "KDO", true},
                      {RadioButton5, "KVY", true}};
  try {
    for (const Key& k : keys) {
      if (!k.option->isChecked()) continue;
      TDbfTable& cards = data_.Sor0000;
      cards.SetIndexName(k.tag);
      std::string text = TrimBlanks(VEdit1->Text().toStdString());
      if (k.upper) text = LocaleUpper(text);
      cards.SeekKey(text, false, true);
    }
  } catch (const std::exception& e) {
    data_.ui.Error(e.what());
  }
  accept();
}

void SearchCommand(TData& data, QWidget* mainWindow) {
  TSorHle dialog(data, mainWindow);
  if (mainWindow) {
    QRect frame = dialog.frameGeometry();
    frame.moveCenter(mainWindow->window()->frameGeometry().center());
    dialog.move(frame.topLeft());
  }
  dialog.exec();
}
