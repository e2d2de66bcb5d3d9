#pragma once
// The check of an edit's text by its edit type: whether the text is a value
// of that type, and the text the control shows afterwards.

#include <QDateTime>
#include <QString>

struct TLocaleSettings;

// The kinds of value a TEditOrvet or TVEdit takes.
enum TEditType { ttString, ttInteger, ttFloat, ttDate, ttTime };

// The message of a text that is no value of its type.
inline const QString kBadFormatText = QStringLiteral(" Chybný formát dat ");

struct TTextRules {
  TEditType type = ttString;
  int floatPrecision = 0;  // 0: floats are neither checked nor formatted
  int floatDigits = 0;
  QString blankDate;
  QString blankTime;
  // Dates and times are completed (TEditOrvet) rather than reformatted in
  // the standard form (TVEdit).
  bool completeDates = true;
};

struct TTextCheck {
  bool passed = true;
  QString text;  // what the control shows after the check
};

// ttString: passes as it is. ttInteger: an empty text or an integer passes;
// the text stays. ttFloat (precision above 0, text not empty): a float
// becomes its fixed-point form, anything else fails and stays. ttDate /
// ttTime: an empty or blank text becomes the blank text; otherwise either
// completed against `now` (the date of `now`, or 0:00:00 of it for times;
// the completed text is shown, empty when completion failed) and then
// converted, or converted and shown in the locale's standard form (a failed
// text stays).
TTextCheck CheckEditText(const QString& text, const TTextRules& rules, const TLocaleSettings& locale,
                         const QDateTime& now);
