#include "controls/locale_settings.h"

#include <QLocale>

#include <optional>

namespace {

std::optional<TLocaleSettings>& Current() {
  static std::optional<TLocaleSettings> settings;
  return settings;
}

std::function<QDateTime()>& Clock() {
  static std::function<QDateTime()> clock;
  return clock;
}

// The first character of a format that is not a letter or a quote: the
// separator between its fields.
QChar SeparatorOf(const QString& format, QChar fallback) {
  for (QChar c : format) {
    if (!c.isLetter() && c != '\'') return c;
  }
  return fallback;
}

}  // namespace

TLocaleSettings TLocaleSettings::Czech() { return TLocaleSettings{}; }

TLocaleSettings TLocaleSettings::FromQLocale(const QLocale& locale) {
  TLocaleSettings s;
  const QString point = locale.decimalPoint();
  if (!point.isEmpty()) s.DecimalSeparator = point.front();

  QString date = locale.dateFormat(QLocale::ShortFormat);
  if (!date.contains("yyyy")) date.replace("yy", "yyyy");
  s.ShortDateFormat = date;
  s.DateSeparator = SeparatorOf(date, '.');

  const QString time = locale.timeFormat(QLocale::ShortFormat);
  s.TimeSeparator = SeparatorOf(time, ':');
  const QString hours = time.contains("HH") || time.contains("hh") ? "HH" : "H";
  s.LongTimeFormat = hours + s.TimeSeparator + "mm" + s.TimeSeparator + "ss";
  return s;
}

const TLocaleSettings& LocaleSettings() {
  auto& current = Current();
  if (!current) current = TLocaleSettings::FromQLocale(QLocale::system());
  return *current;
}

void SetLocaleSettings(const TLocaleSettings& settings) { Current() = settings; }

QDateTime ControlsNow() {
  const auto& clock = Clock();
  return clock ? clock() : QDateTime::currentDateTime();
}

void SetControlsClock(std::function<QDateTime()> clock) { Clock() = std::move(clock); }
