#pragma once
// The locale conventions the input controls follow: decimal separator, date
// and time separators, short date and long time forms. One settings object
// serves the whole program; the program fills it from the desktop's locale,
// tests set it explicitly.

#include <QChar>
#include <QDateTime>
#include <QString>

#include <functional>

class QLocale;

struct TLocaleSettings {
  QChar DecimalSeparator = ',';
  QChar DateSeparator = '.';
  QChar TimeSeparator = ':';
  // Forms in Qt's notation (d, dd, M, MM, yy, yyyy; H, HH, mm, ss).
  QString ShortDateFormat = "dd.MM.yyyy";
  QString LongTimeFormat = "H:mm:ss";

  // The Czech conventions of the shops' desktops: "," "." ":" and
  // dd.MM.yyyy / H:mm:ss (also the values of a default-made object).
  static TLocaleSettings Czech();
  // The conventions of a Qt locale. A two-digit year in its short date form
  // is widened to four digits, so that dates shown keep their century; the
  // long time form is hours, minutes and seconds in 24-hour notation with
  // the locale's time separator.
  static TLocaleSettings FromQLocale(const QLocale& locale);
};

// The settings in force. Until SetLocaleSettings is called they are those of
// the system locale.
const TLocaleSettings& LocaleSettings();
void SetLocaleSettings(const TLocaleSettings& settings);

// The current date and time as the controls see it ("today" for date
// completion, the reference moment of bound edits). Tests replace the clock;
// an empty function restores the real one.
QDateTime ControlsNow();
void SetControlsClock(std::function<QDateTime()> clock);
