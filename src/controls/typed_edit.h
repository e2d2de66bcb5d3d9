#pragma once
// The common part of TEditOrvet and TVEdit: a single-line edit for a typed
// value (text, integer, float, date, time) that checks its text on every
// exit and keeps the focus while the text is no value of its type, turns
// Enter into Tab, reports an exit by Tab (OnTabExit) and shows its text
// aligned while it does not have the focus.

#include "controls/control_events.h"
#include "controls/form_focus.h"
#include "controls/text_check.h"

#include <QLineEdit>

class TTypedEdit : public QLineEdit {
  Q_OBJECT

 public:
  // The text. Writing it runs the text check of the edit type (which may
  // reformat it and shows " Chybný formát dat " when it fails); QLineEdit's
  // own setText writes without a check.
  QString Text() const { return text(); }
  void SetText(const QString& text);

  TEditType EditType() const { return rules_.type; }
  void SetEditType(TEditType type) { rules_.type = type; }
  // Total significant digits of float formatting; 0 switches float
  // formatting and checking off.
  int FloatPrecision() const { return rules_.floatPrecision; }
  void SetFloatPrecision(int precision) { rules_.floatPrecision = precision; }
  // Decimals of float formatting.
  int FloatDigits() const { return rules_.floatDigits; }
  void SetFloatDigits(int digits) { rules_.floatDigits = digits; }
  // The text that stands for an empty date (time). Setting it also puts the
  // new blank text into a date (time) edit that is empty or shows the old one.
  const QString& BlankDate() const { return rules_.blankDate; }
  void SetBlankDate(const QString& blank);
  const QString& BlankTime() const { return rules_.blankTime; }
  void SetBlankTime(const QString& blank);
  // How the text is shown while the edit does not have the focus:
  // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment alignment);
  // A typed ',' becomes '.' in float, date and time edits.
  bool ConvertDecimalSymbol() const { return convertDecimalSymbol_; }
  void SetConvertDecimalSymbol(bool on) { convertDecimalSymbol_ = on; }
  // Enter acts as Tab (Shift+Enter as Shift+Tab).
  bool EnterIsTab() const { return enterIsTab_; }
  void SetEnterIsTab(bool on) { enterIsTab_ = on; }

  // The text as an integer; " Chybný formát dat " and 0 when it is none.
  int GetIntegerValue();
  // The text as a float with the locale's decimal separator; the error box
  // and 0 when it is none (the empty text included).
  double GetFloatValue();
  // Writes `value` in the shortest general form as Text (so the check runs).
  void SetFloatValue(double value);

  // Whether the last text check passed.
  bool TextCheckPassed() const { return passed_; }

  TNotifyEvent OnEnter;
  // Fired after an exit whose text check passed.
  TNotifyEvent OnExit;
  // Fired after OnExit when the edit was left with Tab, Shift+Tab or
  // Enter-as-Tab; never when it was left with the mouse.
  TTabExitEvent OnTabExit;
  // When set, the space bar fires it instead of typing a blank.
  TNotifyEvent OnClickSpace;
  TKeyEvent OnKeyDown;

 protected:
  explicit TTypedEdit(QWidget* parent);

  // TEditOrvet: only characters of a number, date or time in non-text
  // types, Enter and Esc left to the dialog. TVEdit: no filter.
  virtual bool FiltersCharacters() const = 0;
  // TEditOrvet selects its whole text whenever it receives the focus.
  virtual bool SelectsAllOnEntry() const = 0;
  // TEditOrvet completes dates and times; TVEdit reformats them.
  void SetCompletesDates(bool on) { rules_.completeDates = on; }

  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Runs the check on the present text and shows its result; no box.
  bool CheckText();
  void ShowFormatError();
  // The character a typed one becomes; null to drop it.
  QChar FilterCharacter(QChar c, QKeyEvent* event);
  void ShowAlignment();

  TTextRules rules_;
  Qt::Alignment alignment_ = Qt::AlignLeft;
  bool convertDecimalSymbol_ = false;
  bool enterIsTab_ = true;
  bool passed_ = true;
  TFormEntry entry_;
  // Set while a Tab (or Enter-as-Tab) key moves the focus out.
  bool leftByTab_ = false;
  Qt::KeyboardModifiers shift_;
};
