#include "operations/time_of_day.h"

#include <ctime>

TClockReading SystemClock() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  return {XbDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

namespace {
std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }
}  // namespace

std::string FormatLongTime(const std::string& format, int hour, int minute, int second) {
  // With an AM/PM marker the hour counts 1..12.
  bool twelve = format.find("AP") != std::string::npos || format.find("ap") != std::string::npos;
  std::string out;
  for (size_t i = 0; i < format.size();) {
    char c = format[i];
    size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    if (c == '\'') {
      size_t end = format.find('\'', i + 1);
      if (end == std::string::npos) end = format.size();
      out += format.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    int value = -1;
    if (c == 'H') value = hour;
    else if (c == 'h') value = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
    else if (c == 'm') value = minute;
    else if (c == 's') value = second;
    if (value >= 0) {
      out += run >= 2 ? Two(value) : std::to_string(value);
      i += run >= 2 ? 2 : 1;
      continue;
    }
    if ((c == 'A' || c == 'a') && i + 1 < format.size() && (format[i + 1] == 'P' || format[i + 1] == 'p')) {
      std::string marker = hour < 12 ? "AM" : "PM";
      if (c == 'a') marker = hour < 12 ? "am" : "pm";
      out += marker;
      i += 2;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

std::string TimeStamp5(const TTimeSettings& settings, const TClockReading& now) {
  return FormatLongTime(settings.LongTimeFormat, now.hour, now.minute, now.second).substr(0, 5);
}
