#include "controls/date_completion.h"

#include "controls/locale_settings.h"
#include "controls/value_text.h"

#include <algorithm>

namespace {

bool IsSeparatorLike(QChar c) {
  return QStringView(u"*+,-./:?").contains(c);
}

// `reference` is the reference moment written out ("07.05.2004", "0:00:00");
// its parts after the first and after the second separator fill a day alone
// and a day with month.
bool Complete(QString& text, const QString& reference, QChar separator, int limit,
              const TLocaleSettings& locale) {
  QString s = text.trimmed();
  if (s.isEmpty()) return true;
  s.truncate(limit);

  int first = 0, second = 0;  // 1-based positions, 0 when absent
  for (int i = 0; i < s.size() && !second; ++i) {
    if (!IsSeparatorLike(s[i])) continue;
    s[i] = separator;
    (first ? second : first) = i + 1;
  }
  const int length = s.size();

  auto isReferenceSeparator = [&](QChar c) {
    return c == locale.DateSeparator || c == locale.TimeSeparator;
  };
  const int r1 = int(std::find_if(reference.begin(), reference.end(), isReferenceSeparator) -
                     reference.begin());
  const int r2 = int(std::find_if(reference.begin() + std::min<int>(r1 + 1, reference.size()),
                                  reference.end(), isReferenceSeparator) -
                     reference.begin());
  const QString monthAndYear = reference.mid(r1 + 1);
  const QString year = reference.mid(r2 + 1);

  const bool typedCharactersOk = std::all_of(s.begin(), s.end(), [&](QChar c) {
    return (c >= '0' && c <= '9') || c == ' ' || c == locale.DateSeparator ||
           c == locale.TimeSeparator;
  });

  bool passed = true;
  if (!first) {
    if (length == 6) {
      s = s.left(2) + separator + s.mid(2, 2) + separator + s.mid(4);
    } else if ((length == 1 || length == 2) && typedCharactersOk) {
      s += separator + monthAndYear;
    } else {
      passed = false;
    }
  } else if (first == 1) {
    s = reference;
  } else if (!typedCharactersOk) {
    passed = false;
  } else if (!second) {
    s += first < length ? separator + year : monthAndYear;
  } else if (second == first + 1) {
    passed = false;
  } else if (second == length) {
    s += year;
  }

  text = passed ? s : QString();
  return passed;
}

}  // namespace

bool CompleteDate(QString& text, const QDateTime& reference, const TLocaleSettings& locale) {
  return Complete(text, FormatDate(reference.date(), locale), locale.DateSeparator, 10, locale);
}

bool CompleteTime(QString& text, const QDateTime& reference, const TLocaleSettings& locale) {
  return Complete(text, FormatTime(reference.time(), locale), locale.TimeSeparator, 8, locale);
}
