#include "xbase/expr/short_date.h"

#include <cstdio>

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == '.' || c == '/' || c == '-'; }

// Reads up to `maxDigits` digits at text[i] after blanks; -1 when none.
int ReadNumber(std::string_view text, size_t& i, size_t maxDigits, size_t& digits) {
  while (i < text.size() && text[i] == ' ') ++i;
  int value = 0;
  digits = 0;
  while (i < text.size() && IsDigit(text[i]) && digits < maxDigits) value = value * 10 + (text[i++] - '0'), ++digits;
  return digits ? value : -1;
}

std::optional<long> Checked(int year, int month, int day) {
  XbDate d{year, month, day};
  if (!d.IsValid()) return std::nullopt;
  return DayNumber(d);
}
}  // namespace

long DayNumber(const XbDate& date) { return date.ToJulian(); }

std::optional<XbDate> DateOfDay(long day) {
  if (day <= 0) return std::nullopt;
  XbDate d = XbDate::FromJulian(day);
  if (!d.IsValid()) return std::nullopt;
  return d;
}

std::optional<long> ParseDateText(std::string_view text) {
  if (text.find_first_not_of(" ./-") == std::string_view::npos) return 0L;
  size_t first = text.find_first_not_of(' ');
  size_t last = text.find_last_not_of(' ');
  text = text.substr(first, last + 1 - first);
  if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos) {
    if (auto d = XbDate::FromDtos(text)) return DayNumber(*d);
    return std::nullopt;
  }
  bool yearFirst = text[0] == '^';
  size_t i = yearFirst ? 1 : 0, digits = 0;
  int parts[3];
  size_t partDigits[3];
  for (int k = 0; k < 3; ++k) {
    if (k > 0) {
      while (i < text.size() && text[i] == ' ') ++i;
      if (i >= text.size() || !IsSeparator(text[i])) return std::nullopt;
      ++i;
    }
    parts[k] = ReadNumber(text, i, 4, digits);
    partDigits[k] = digits;
    if (parts[k] < 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  if (yearFirst) return Checked(parts[0], parts[1], parts[2]);
  int year = parts[2];
  if (partDigits[2] <= 2) year += year < 30 ? 2000 : 1900;
  return Checked(year, parts[1], parts[0]);
}

std::string FormatShortDate(long day) {
  std::optional<XbDate> d = DateOfDay(day);
  if (!d) return "  .  .    ";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d->day, d->month, d->year);
  return buf;
}
