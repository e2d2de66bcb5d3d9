#pragma once
// The moment an operation stamps on the rows it writes (date and time of
// day) and the desktop's long time format that the time text follows. The
// program hands the desktop's settings over as plain values; tests set
// their own clock and format.

#include <functional>
#include <string>

#include "xbase/date.h"

struct TClockReading {
  XbDate date;
  int hour = 0, minute = 0, second = 0;
};

// The local clock.
TClockReading SystemClock();

struct TTimeSettings {
  // Long time format in Qt's notation (H, HH, h, hh, m, mm, s, ss, AP/ap,
  // text in single quotes); the shops' desktops show "H:mm:ss".
  std::string LongTimeFormat = "H:mm:ss";
  std::function<TClockReading()> Now = &SystemClock;
};

// The time of day in `format`.
std::string FormatLongTime(const std::string& format, int hour, int minute, int second);

// The first five characters of the current time in the long time format,
// as the journal and repricing rows keep it ("14:05", "9:05:").
std::string TimeStamp5(const TTimeSettings& settings, const TClockReading& now);
