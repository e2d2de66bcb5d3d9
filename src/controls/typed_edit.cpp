#include "controls/typed_edit.h"

#include "controls/control_feedback.h"
#include "controls/form_focus.h"
#include "controls/key_translation.h"
#include "controls/locale_settings.h"
#include "controls/value_text.h"

#include <QKeyEvent>

#include <utility>

TTypedEdit::TTypedEdit(QWidget* parent) : QLineEdit(parent) {}

void TTypedEdit::SetText(const QString& text) {
  setText(text);
  if (!CheckText()) ShowFormatError();
}

void TTypedEdit::SetBlankDate(const QString& blank) {
  if (rules_.type == ttDate && (text().isEmpty() || text() == rules_.blankDate)) setText(blank);
  rules_.blankDate = blank;
}

void TTypedEdit::SetBlankTime(const QString& blank) {
  if (rules_.type == ttTime && (text().isEmpty() || text() == rules_.blankTime)) setText(blank);
  rules_.blankTime = blank;
}

void TTypedEdit::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  ShowAlignment();
}

int TTypedEdit::GetIntegerValue() {
  if (const auto value = ParseInteger(text())) return *value;
  ShowFormatError();
  return 0;
}

double TTypedEdit::GetFloatValue() {
  if (const auto value = ParseFloat(text(), LocaleSettings())) return *value;
  ShowFormatError();
  return 0;
}

void TTypedEdit::SetFloatValue(double value) { SetText(FormatFloatGeneral(value, LocaleSettings())); }

bool TTypedEdit::CheckText() {
  const TTextCheck check = CheckEditText(text(), rules_, LocaleSettings(), ControlsNow());
  if (check.text != text()) setText(check.text);
  passed_ = check.passed;
  return passed_;
}

void TTypedEdit::ShowFormatError() { ShowControlMessage(this, TMessageKind::Error, kBadFormatText); }

void TTypedEdit::ShowAlignment() {
  const bool standard = entry_.IsIn() || !(alignment_ & (Qt::AlignRight | Qt::AlignHCenter));
  setAlignment((standard ? Qt::AlignLeft : alignment_ & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
}

// Key down, before the edit's own handling: the modifiers are kept for
// OnTabExit, Enter may become Tab, Tab leaves through the form's own focus
// order (marked as an exit by Tab) and the space bar may fire OnClickSpace.
bool TTypedEdit::event(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QLineEdit::event(event);
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  shift_ = keyEvent->modifiers();
  const bool plain = IsPlainKey(*keyEvent);
  int key = keyEvent->key();
  if (plain && enterIsTab_ && IsEnterKey(key)) key = Qt::Key_Tab;
  if (OnKeyDown) {
    OnKeyDown(this, key, shift_);
    if (key == 0) return true;
  }
  if (plain && IsTabKey(key)) {
    const bool backwards = key == Qt::Key_Backtab || (shift_ & Qt::ShiftModifier);
    leftByTab_ = true;
    focusNextPrevChild(!backwards);
    leftByTab_ = false;
    return true;
  }
  if (plain && key == Qt::Key_Space && OnClickSpace) OnClickSpace(this);
  return QLineEdit::event(event);
}

QChar TTypedEdit::FilterCharacter(QChar c, QKeyEvent* event) {
  if (c == ' ' && OnClickSpace) return {};
  const bool numeric = rules_.type == ttFloat || rules_.type == ttDate || rules_.type == ttTime;
  if (convertDecimalSymbol_ && numeric && c == ',') c = '.';
  if (!FiltersCharacters()) return c;

  // Enter and Esc belong to the dialog (its default and cancel buttons).
  if (c == QChar(13) || c == QChar(27)) {
    event->ignore();
    return {};
  }
  if (rules_.type == ttString) return c;
  const TLocaleSettings& locale = LocaleSettings();
  if (c == ',' || c == '.') return locale.DecimalSeparator;
  const bool accepted = c == QChar(8) || c == '+' || c == '-' || (c >= '0' && c <= '9') ||
                        c == locale.DateSeparator || c == locale.TimeSeparator;
  if (accepted) return c;
  ControlBeep();
  return {};
}

void TTypedEdit::keyPressEvent(QKeyEvent* event) {
  const QChar typed = TypedCharacter(*event);
  if (typed.isNull()) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  event->accept();
  const QChar c = FilterCharacter(typed, event);
  if (c.isNull()) return;
  DeliverTyped(event, c, [this](QKeyEvent* e) { QLineEdit::keyPressEvent(e); });
}

void TTypedEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (!entry_.Entered()) return;
  ShowAlignment();
  if (SelectsAllOnEntry()) selectAll();
  if (OnEnter) OnEnter(this);
}

// The exit: the text check runs (and reformats the text). A failed check
// keeps the focus in the edit and then shows the error box; a passed one
// fires OnExit and, after an exit by Tab, OnTabExit.
void TTypedEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (!entry_.Left(*event)) return;
  const bool byTab = std::exchange(leftByTab_, false);
  if (!CheckText()) {
    KeepFocus(this);
    ShowFormatError();
    return;
  }
  ShowAlignment();
  if (OnExit) OnExit(this);
  if (byTab && OnTabExit) OnTabExit(this, shift_);
}

void TTypedEdit::hideEvent(QHideEvent* event) {
  QLineEdit::hideEvent(event);
  entry_.Hidden(*event);
  ShowAlignment();
}
