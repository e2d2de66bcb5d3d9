#pragma once
// TDBEditOrvet: an edit bound to a field of a table, with an optional small
// button inside its right edge, a validity check with a hook for the screen
// (OnValid), and a colour of its own while it cannot take the focus. The
// text is stored into the field when the edit is left; a text refused by the
// check (or by the field) keeps the focus in the edit.

#include "controls/control_events.h"
#include "controls/edit_button_owner.h"
#include "controls/form_focus.h"

#include <QColor>
#include <QDateTime>
#include <QLineEdit>

#include <exception>
#include <memory>

class TFieldLink;

// What the check completes: nothing, a date, a time; setFloat makes typed
// ',' and '.' the decimal separator.
enum TOvEditType { setStandard, setDate, setTime, setFloat };
// The reference moment of completion: now, or ReferenceDateTime.
enum TOvDateTimeType { sdtNow, sdtUser };
// When leaving the edit runs the check: always, while the record is being
// edited, when the text differs from the field's value, never.
enum TWhenValid { swvAlways, swvWhenEdit, swvWhenChange, swvNone };

class TDBEditOrvet : public QLineEdit, public TEditButtonOwner {
  Q_OBJECT

 public:
  explicit TDBEditOrvet(QWidget* parent = nullptr);
  ~TDBEditOrvet() override;

  // The bound field (the data source and field of the edit); null unbinds.
  // A field destroyed while bound unbinds the edit.
  TFieldLink* Field() const { return fieldLifetime_.expired() ? nullptr : field_; }
  void SetField(TFieldLink* field);

  // The background while the edit cannot take the focus (it or a parent is
  // disabled). At creation the edit's own background colour.
  const QColor& ColorDisable() const { return colorDisable_; }
  void SetColorDisable(const QColor& color);
  // Enter acts as Tab (off unless set).
  bool EnterIsTab() const { return enterIsTab_; }
  void SetEnterIsTab(bool on) { enterIsTab_ = on; }
  TOvEditType EditType() const { return editType_; }
  void SetEditType(TOvEditType type) { editType_ = type; }
  TOvDateTimeType DateTimeType() const { return dateTimeType_; }
  void SetDateTimeType(TOvDateTimeType type) { dateTimeType_ = type; }
  // The reference moment for sdtUser; the moment of creation unless set.
  const QDateTime& ReferenceDateTime() const { return referenceDateTime_; }
  void SetReferenceDateTime(const QDateTime& moment) { referenceDateTime_ = moment; }
  TWhenValid WhenValid() const { return whenValid_; }
  void SetWhenValid(TWhenValid when) { whenValid_ = when; }
  // Shown in a message box when the check fails and OnError is not set.
  const QString& ErrorString() const { return errorString_; }
  void SetErrorString(const QString& text) { errorString_ = text; }

  // The validity check: completes a date (time) against the reference
  // moment, lets OnValid change the text and the verdict, puts the text back
  // into the edit and returns the verdict.
  bool ValidateText();

  TOvValidEvent OnValid;
  TOvErrorEvent OnError;
  TNotifyEvent OnEnter;
  // Fired after the text was stored into the field on leaving the edit.
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Shows the field's value and read-only state.
  void LoadFromField();
  bool ShouldValidate() const;
  // Puts the record into editing before the first change; false (after a
  // message when the field said why) when it cannot be changed.
  bool BeginEdit();
  // Stores a changed text into the field; false (focus kept, message shown)
  // when the field refuses it.
  bool StoreIntoField();
  void ShowFieldError(const std::exception& error);

  TFieldLink* field_ = nullptr;
  std::weak_ptr<const void> fieldLifetime_;
  int listenerId_ = 0;
  QColor colorDisable_;
  bool enterIsTab_ = false;
  TOvEditType editType_ = setStandard;
  TOvDateTimeType dateTimeType_ = sdtNow;
  QDateTime referenceDateTime_;
  TWhenValid whenValid_ = swvAlways;
  QString errorString_;
  TFormEntry entry_;
};
