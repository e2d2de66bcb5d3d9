#include "controls/value_text.h"

#include "controls/locale_settings.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

bool AllDigits(const QString& s) {
  return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

// Splits a trimmed text at `separator` into 2 or 3 numbers (blanks around
// each allowed). Empty list for anything else.
QList<int> SplitNumbers(const QString& text, QChar separator, QList<int>* widths = nullptr) {
  const QStringList parts = text.trimmed().split(separator);
  if (parts.size() < 2 || parts.size() > 3) return {};
  QList<int> numbers;
  for (const QString& part : parts) {
    const QString p = part.trimmed();
    if (!AllDigits(p) || p.size() > 9) return {};
    numbers.append(p.toInt());
    if (widths) widths->append(p.size());
  }
  return numbers;
}

// Decimal digits of a non-negative value with the exponent of the first one:
// value = 0.d1d2d3... * 10^(exponent + 1).
struct Digits {
  QString digits;  // no leading zeros; empty for 0
  int exponent = 0;
};

Digits ShortestDigits(double value) {
  // Shortest round-trip form in scientific notation, e.g. "2.675e+00".
  const QString s = QString::number(value, 'e', QLocale::FloatingPointShortest);
  const int e = s.indexOf('e');
  Digits d;
  d.digits = s.left(e).remove('.');
  d.exponent = s.mid(e + 1).toInt();
  while (d.digits.endsWith('0')) d.digits.chop(1);
  if (d.digits.isEmpty()) d.exponent = 0;
  return d;
}

// Keeps the first `keep` digits, rounding half up (the sign is handled by
// the caller, so this is half away from zero).
void RoundTo(Digits& d, int keep) {
  if (d.digits.size() <= keep) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[keep] >= '5';
  d.digits.truncate(keep);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      d.digits[i] = QChar(d.digits[i].unicode() + 1);
    } else {
      d.digits.prepend('1');
      d.exponent += 1;
    }
  }
  while (d.digits.endsWith('0')) d.digits.chop(1);
}

}  // namespace

std::optional<int> ParseInteger(const QString& text) {
  static const QRegularExpression pattern(R"(^[+-]?\d+$)");
  const QString t = text.trimmed();
  if (!pattern.match(t).hasMatch()) return std::nullopt;
  bool ok = false;
  const int value = t.toInt(&ok);
  if (!ok) return std::nullopt;
  return value;
}

std::optional<double> ParseFloat(const QString& text, const TLocaleSettings& locale) {
  const QString sep = QRegularExpression::escape(QString(locale.DecimalSeparator));
  const QRegularExpression pattern(
      QString(R"(^[+-]?(\d+(%1\d*)?|%1\d+)([eE][+-]?\d+)?$)").arg(sep));
  QString t = text.trimmed();
  if (!pattern.match(t).hasMatch()) return std::nullopt;
  t.replace(locale.DecimalSeparator, '.');
  bool ok = false;
  const double value = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<QDate> ParseDate(const QString& text, const TLocaleSettings& locale,
                               const QDate& today) {
  QList<int> widths;
  const QList<int> numbers = SplitNumbers(text, locale.DateSeparator, &widths);
  if (numbers.isEmpty()) return std::nullopt;

  // The order of day, month and year in the short date form.
  const QString& f = locale.ShortDateFormat;
  struct Slot { int position; char kind; };
  Slot order[] = {{int(f.indexOf('d')), 'd'}, {int(f.indexOf('M')), 'M'}, {int(f.indexOf('y')), 'y'}};
  std::sort(std::begin(order), std::end(order),
            [](const Slot& a, const Slot& b) { return a.position < b.position; });

  int day = 0, month = 0, year = today.year();
  bool shortYear = false;
  int i = 0;
  for (const Slot& slot : order) {
    if (slot.kind == 'y' && numbers.size() == 2) continue;  // day and month only
    if (i >= numbers.size()) break;
    const int n = numbers[i];
    if (slot.kind == 'd') day = n;
    if (slot.kind == 'M') month = n;
    if (slot.kind == 'y') {
      year = n;
      shortYear = widths[i] <= 2;
    }
    ++i;
  }
  if (shortYear) {
    const int first = today.year() - 50;
    year += first / 100 * 100;
    if (year < first) year += 100;
  }
  const QDate date(year, month, day);
  if (!date.isValid()) return std::nullopt;
  return date;
}

std::optional<QTime> ParseTime(const QString& text, const TLocaleSettings& locale) {
  const QList<int> numbers = SplitNumbers(text, locale.TimeSeparator);
  if (numbers.isEmpty()) return std::nullopt;
  const QTime time(numbers[0], numbers[1], numbers.size() > 2 ? numbers[2] : 0);
  if (!time.isValid()) return std::nullopt;
  return time;
}

QString FormatDate(const QDate& date, const TLocaleSettings& locale) {
  return date.toString(locale.ShortDateFormat);
}

QString FormatTime(const QTime& time, const TLocaleSettings& locale) {
  return time.toString(locale.LongTimeFormat);
}

QString FormatFloatGeneral(double value, const TLocaleSettings& locale) {
  QString s = QString::number(value, 'g', 15);
  s.replace('.', locale.DecimalSeparator);
  return s;
}

QString FormatFloatFixed(double value, int precision, int digits, const TLocaleSettings& locale) {
  precision = std::clamp(precision, 1, 17);
  digits = std::clamp(digits, 0, 18);
  Digits d = ShortestDigits(std::fabs(value));
  if (!d.digits.isEmpty()) {
    RoundTo(d, std::min(precision, d.exponent + 1 + digits));
    if (!d.digits.isEmpty() && d.exponent + 1 > precision) return FormatFloatGeneral(value, locale);
  }

  // Lay the digits out around the decimal point.
  QString integer, fraction;
  for (int pos = std::max(d.exponent, 0); pos >= -digits; --pos) {
    const int index = d.exponent - pos;
    const QChar c = (index >= 0 && index < d.digits.size()) ? d.digits[index] : QChar('0');
    (pos >= 0 ? integer : fraction).append(c);
  }
  if (d.digits.isEmpty()) integer = "0";
  QString s = integer;
  if (digits > 0) s += locale.DecimalSeparator + fraction;
  if (value < 0 && !d.digits.isEmpty()) s.prepend('-');
  return s;
}
