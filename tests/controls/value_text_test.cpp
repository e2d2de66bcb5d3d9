// Reading and writing typed values by the locale's conventions.

#include "controls/locale_settings.h"
#include "controls/value_text.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

const TLocaleSettings kCzech = TLocaleSettings::Czech();

TEST(ValueText, FixedPointKeepsPrecisionAndDigits) {
  struct Case {
    double value;
    int precision;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {12.5, 10, 2, "12,50"},     {2.675, 10, 2, "2,68"},     {-2.675, 10, 2, "-2,68"},
      {0.004, 10, 2, "0,00"},     {-0.004, 10, 2, "0,00"},    {0.005, 10, 2, "0,01"},
      {999.999, 10, 2, "1000,00"}, {1.23456, 3, 4, "1,2300"},  {7, 10, 0, "7"},
      {0, 10, 2, "0,00"},         {123456, 3, 0, "123456"},   {0.1 + 0.2, 15, 3, "0,300"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFloatFixed(c.value, c.precision, c.digits, kCzech), c.text) << c.value;
  }
}

TEST(ValueText, ReadsNumbersWithTheLocalesSeparator) {
  EXPECT_EQ(ParseFloat(" -12,5 ", kCzech), -12.5);
  EXPECT_EQ(ParseFloat(",5", kCzech), 0.5);
  EXPECT_EQ(ParseFloat("1,5e2", kCzech), 150.0);
  for (const char* bad : {"", "1.5", "1,2,3", "-", ",", "1 2", "e5", "inf"}) {
    EXPECT_FALSE(ParseFloat(bad, kCzech).has_value()) << bad;
  }
  EXPECT_EQ(ParseInteger("+7"), 7);
  EXPECT_EQ(ParseInteger("-2147483648"), -2147483648LL);
  for (const char* bad : {"", "-", "2147483648", "1,0", "0x10"}) {
    EXPECT_FALSE(ParseInteger(bad).has_value()) << bad;
  }
}

TEST(ValueText, ReadsDatesInTheShortDateOrder) {
  const QDate today(2004, 5, 7);
  struct Case {
    const char* text;
    QDate date;
  };
  const Case cases[] = {
      {"7.5.2004", {2004, 5, 7}}, {"07.05.03", {2003, 5, 7}}, {"1.1.53", {2053, 1, 1}},
      {"1.1.54", {1954, 1, 1}},   {"7.5", {2004, 5, 7}},      {"29.2.2004", {2004, 2, 29}},
      {"29.2.2003", {}},          {"7.5.2004.", {}},          {"7", {}},
      {"a.5.2004", {}},
  };
  for (const Case& c : cases) {
    const auto date = ParseDate(c.text, kCzech, today);
    EXPECT_EQ(date.value_or(QDate()), c.date) << c.text;
  }
  TLocaleSettings iso = kCzech;
  iso.ShortDateFormat = "yyyy-MM-dd";
  iso.DateSeparator = '-';
  EXPECT_EQ(ParseDate("2004-05-07", iso, today), QDate(2004, 5, 7));
}

TEST(ValueText, SettingsFromTheCzechLocale) {
  const TLocaleSettings s = TLocaleSettings::FromQLocale(QLocale(QLocale::Czech, QLocale::Czechia));
  EXPECT_EQ(s.DecimalSeparator, ',');
  EXPECT_EQ(s.DateSeparator, '.');
  EXPECT_EQ(s.TimeSeparator, ':');
  EXPECT_EQ(FormatDate(QDate(2004, 5, 7), s), "07.05.2004");
  EXPECT_EQ(FormatTime(QTime(7, 5, 3), s), "7:05:03");
}

}  // namespace
