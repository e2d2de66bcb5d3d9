#include "controls/text_check.h"

#include "controls/date_completion.h"
#include "controls/locale_settings.h"
#include "controls/value_text.h"

namespace {

TTextCheck CheckDateOrTime(const QString& text, const TTextRules& rules, const TLocaleSettings& locale,
                           const QDateTime& now) {
  const bool date = rules.type == ttDate;
  const QString& blank = date ? rules.blankDate : rules.blankTime;
  if (text.isEmpty() || text == blank) return {true, blank};

  if (rules.completeDates) {
    QString completed = text;
    bool passed = date ? CompleteDate(completed, now, locale)
                       : CompleteTime(completed, QDateTime(now.date(), QTime(0, 0)), locale);
    passed = passed && (date ? ParseDate(completed, locale, now.date()).has_value()
                             : ParseTime(completed, locale).has_value());
    return {passed, completed};
  }
  if (date) {
    if (auto value = ParseDate(text, locale, now.date())) return {true, FormatDate(*value, locale)};
  } else if (auto value = ParseTime(text, locale)) {
    return {true, FormatTime(*value, locale)};
  }
  return {false, text};
}

}  // namespace

TTextCheck CheckEditText(const QString& text, const TTextRules& rules, const TLocaleSettings& locale,
                         const QDateTime& now) {
  switch (rules.type) {
    case ttString:
      return {true, text};
    case ttInteger:
      return {text.isEmpty() || ParseInteger(text).has_value(), text};
    case ttFloat: {
      if (rules.floatPrecision <= 0 || text.isEmpty()) return {true, text};
      const auto value = ParseFloat(text, locale);
      if (!value) return {false, text};
      return {true, FormatFloatFixed(*value, rules.floatPrecision, rules.floatDigits, locale)};
    }
    case ttDate:
    case ttTime:
      return CheckDateOrTime(text, rules, locale, now);
  }
  return {true, text};
}
