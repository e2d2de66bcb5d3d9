#include "app/login_form.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "controls/edit_orvet.h"

namespace {

// The password edit shows every character as "*", whatever the style's own
// mask character.
class StarPasswordStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

TLoginForm::TLoginForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QStringLiteral("Přihlašovací dialog uživatele"));
  setModal(true);

  auto* notice = new QLabel(QStringLiteral("Přihlašovací jméno z Windows není v seznamu uživatelů systému"), this);
  auto* nameLabel = new QLabel(QStringLiteral("Přístupové jméno uživatele "), this);
  EditOrvet1 = new TEditOrvet(this);
  EditOrvet1->setObjectName(QStringLiteral("EditOrvet1"));
  auto* passwordLabel = new QLabel(QStringLiteral("Přístupové heslo uživatele"), this);
  EditOrvet2 = new TEditOrvet(this);
  EditOrvet2->setObjectName(QStringLiteral("EditOrvet2"));
  auto* style = new StarPasswordStyle;
  style->setParent(this);
  EditOrvet2->setStyle(style);
  EditOrvet2->setEchoMode(QLineEdit::Password);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  OKButton = new QPushButton(QStringLiteral("OK"), panel);
  StornoButton = new QPushButton(QStringLiteral("Storno"), panel);
  for (QPushButton* b : {OKButton, StornoButton}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  auto* buttons = new QHBoxLayout(panel);
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  buttons->addWidget(StornoButton);
  buttons->addStretch(1);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(StornoButton, &QPushButton::clicked, this, &QDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->addWidget(notice);
  column->addSpacing(8);
  column->addWidget(nameLabel);
  column->addWidget(EditOrvet1);
  column->addWidget(passwordLabel);
  column->addWidget(EditOrvet2);
  column->addSpacing(8);
  column->addWidget(panel);
  column->setSizeConstraint(QLayout::SetFixedSize);
  setTabOrder(EditOrvet1, EditOrvet2);
  setTabOrder(EditOrvet2, OKButton);
  setTabOrder(OKButton, StornoButton);
}

// Enter and Esc reach no button: QDialog would click a default button on
// Enter and reject on Esc.
void TLoginForm::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void TLoginForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
  EditOrvet1->setFocus(Qt::OtherFocusReason);
}

std::optional<LoginInput> RunLoginForm() {
  TLoginForm form;
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return LoginInput{form.EditOrvet1->text().toStdString(), form.EditOrvet2->text().toStdString()};
}
