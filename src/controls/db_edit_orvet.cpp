#include "controls/db_edit_orvet.h"

#include "controls/control_feedback.h"
#include "controls/date_completion.h"
#include "controls/field_link.h"
#include "controls/key_translation.h"
#include "controls/locale_settings.h"

#include <QKeyEvent>

TDBEditOrvet::TDBEditOrvet(QWidget* parent)
    : QLineEdit(parent), TEditButtonOwner(this), referenceDateTime_(ControlsNow()) {
  SetColorDisable(palette().color(QPalette::Active, QPalette::Base));
}

TDBEditOrvet::~TDBEditOrvet() { SetField(nullptr); }

void TDBEditOrvet::SetField(TFieldLink* field) {
  if (TFieldLink* old = Field()) old->RemoveChangeListener(listenerId_);
  field_ = field;
  fieldLifetime_ = field ? field->Lifetime() : std::weak_ptr<const void>();
  listenerId_ = 0;
  if (!field) return;
  listenerId_ = field->AddChangeListener([this] { LoadFromField(); });
  LoadFromField();
}

void TDBEditOrvet::LoadFromField() {
  TFieldLink* field = Field();
  if (!field) return;
  setReadOnly(field->ReadOnly());
  if (field->MaxLength() > 0) setMaxLength(field->MaxLength());
  setText(field->Text());
}

// The disabled colour group of the palette is what the style paints with
// while the edit (or a parent) is disabled.
void TDBEditOrvet::SetColorDisable(const QColor& color) {
  colorDisable_ = color;
  QPalette p = palette();
  p.setColor(QPalette::Disabled, QPalette::Base, color);
  setPalette(p);
}

bool TDBEditOrvet::ValidateText() {
  QString text = this->text();
  bool valid = true;
  const QDateTime reference = dateTimeType_ == sdtNow ? ControlsNow() : referenceDateTime_;
  if (editType_ == setDate) valid = CompleteDate(text, reference, LocaleSettings());
  if (editType_ == setTime) valid = CompleteTime(text, reference, LocaleSettings());
  if (OnValid) OnValid(this, text, valid);
  if (text != this->text()) {
    setText(text);
    setModified(true);
  }
  return valid;
}

bool TDBEditOrvet::ShouldValidate() const {
  switch (whenValid_) {
    case swvAlways:
      return true;
    case swvWhenEdit:
      return Field() && Field()->Editing();
    case swvWhenChange:
      return text() != (Field() ? Field()->Text() : QString());
    case swvNone:
      return false;
  }
  return false;
}

void TDBEditOrvet::ShowFieldError(const std::exception& error) {
  ShowControlMessage(this, TMessageKind::Error, QString::fromUtf8(error.what()));
}

bool TDBEditOrvet::BeginEdit() {
  TFieldLink* field = Field();
  if (!field || field->Editing()) return true;
  try {
    return field->Edit();
  } catch (const std::exception& error) {
    ShowFieldError(error);
    return false;
  }
}

bool TDBEditOrvet::StoreIntoField() {
  TFieldLink* field = Field();
  if (!field || !isModified()) return true;
  try {
    if (BeginEdit()) field->SetText(text());
    LoadFromField();  // the field's own form of the value
    return true;
  } catch (const std::exception& error) {
    selectAll();
    KeepFocus(this);
    ShowFieldError(error);
    return false;
  }
}

// Key down: Enter may act as Tab (through the form's own focus order).
bool TDBEditOrvet::event(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QLineEdit::event(event);
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  int key = keyEvent->key();
  const bool plain = IsPlainKey(*keyEvent);
  if (plain && enterIsTab_ && IsEnterKey(key)) key = Qt::Key_Tab;
  if (OnKeyDown) {
    OnKeyDown(this, key, keyEvent->modifiers());
    if (key == 0) return true;
  }
  if (plain && IsTabKey(key)) {
    focusNextPrevChild(!(key == Qt::Key_Backtab || (keyEvent->modifiers() & Qt::ShiftModifier)));
    return true;
  }
  return QLineEdit::event(event);
}

// Typed characters: Enter and Esc go to the dialog; ',' and '.' are the
// decimal separator in a float edit or field; the field's own filter beeps
// at what cannot be part of its value. A change puts the record into
// editing first.
void TDBEditOrvet::keyPressEvent(QKeyEvent* event) {
  TFieldLink* field = Field();
  QChar c = TypedCharacter(*event);
  if (c == QChar(13) || c == QChar(27)) {
    event->ignore();
    return;
  }
  const bool floatField = field && field->Kind() == TLinkKind::Float;
  if ((c == ',' || c == '.') && (editType_ == setFloat || floatField)) c = LocaleSettings().DecimalSeparator;
  if (field && c >= QChar(' ') && !field->IsValidChar(c)) {
    event->accept();
    ControlBeep();
    return;
  }
  const bool changes = c >= QChar(' ') || c == QChar(8) || event->key() == Qt::Key_Delete ||
                       event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
                       event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
  if (field && !field->ReadOnly() && changes && !BeginEdit()) {
    event->accept();
    ControlBeep();
    return;
  }
  if (c.isNull()) {
    QLineEdit::keyPressEvent(event);
  } else {
    DeliverTyped(event, c, [this](QKeyEvent* e) { QLineEdit::keyPressEvent(e); });
  }
}

void TDBEditOrvet::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (!entry_.Entered()) return;
  selectAll();
  if (OnEnter) OnEnter(this);
}

// The exit: the check (when WhenValid asks for it), then the text goes into
// the field. A refused text keeps the focus; then OnError fires, or else
// ErrorString is shown.
void TDBEditOrvet::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (!entry_.Left(*event)) return;
  if (ShouldValidate() && !ValidateText()) {
    KeepFocus(this);
    if (OnError) {
      OnError(this);
    } else if (!errorString_.isEmpty()) {
      ShowControlMessage(this, TMessageKind::Plain, errorString_);
    }
    return;
  }
  if (!StoreIntoField()) return;
  if (OnExit) OnExit(this);
}

void TDBEditOrvet::hideEvent(QHideEvent* event) {
  QLineEdit::hideEvent(event);
  entry_.Hidden(*event);
}
