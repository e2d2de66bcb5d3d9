#include "xbase/date.h"

#include <cstdio>
#include <ctime>

#include "xbase/platform.h"

namespace {
bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}
}  // namespace

bool XbDate::IsValid() const {
  return year >= 0 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

long XbDate::ToJulian() const {
  long a = (14 - month) / 12;
  long y = year + 4800 - a;
  long m = month + 12 * a - 3;
  return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

XbDate XbDate::FromJulian(long jd) {
  long a = jd + 32044;
  long b = (4 * a + 3) / 146097;
  long c = a - 146097 * b / 4;
  long d = (4 * c + 3) / 1461;
  long e = c - 1461 * d / 4;
  long m = (5 * e + 2) / 153;
  XbDate r;
  r.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  r.month = static_cast<int>(m + 3 - 12 * (m / 10));
  r.year = static_cast<int>(100 * b + d - 4800 + m / 10);
  return r;
}

std::string XbDate::ToDtos() const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", year, month, day);
  return buf;
}

std::optional<XbDate> XbDate::FromDtos(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  auto num = [&](size_t pos, size_t len) {
    int v = 0;
    for (size_t i = pos; i < pos + len; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  XbDate d{num(0, 4), num(4, 2), num(6, 2)};
  if (!d.IsValid()) return std::nullopt;
  return d;
}

XbDate XbDate::Today() {
  std::tm local = LocalTime(Platform().Now()).tm;
  return XbDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}
