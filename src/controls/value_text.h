#pragma once
// Reading and writing the values typed into the controls (integers, floats,
// dates, times) by the conventions of a TLocaleSettings.

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

struct TLocaleSettings;

// An optional sign and decimal digits, blanks around allowed, within the
// range of a 32-bit integer. No value for anything else, the empty text
// included.
std::optional<int> ParseInteger(const QString& text);

// An optional sign, digits with at most one decimal separator of the locale
// (at least one digit in all), an optional exponent; blanks around allowed.
std::optional<double> ParseFloat(const QString& text, const TLocaleSettings& locale);

// Day, month and year in the order of the short date form, separated by the
// date separator. A missing year is the year of `today`; a year written with
// one or two digits falls into the hundred years from 50 years before
// `today`'s year.
std::optional<QDate> ParseDate(const QString& text, const TLocaleSettings& locale,
                               const QDate& today);

// Hours and minutes, and optionally seconds, separated by the time separator.
std::optional<QTime> ParseTime(const QString& text, const TLocaleSettings& locale);

QString FormatDate(const QDate& date, const TLocaleSettings& locale);
QString FormatTime(const QTime& time, const TLocaleSettings& locale);

// The shortest general form: up to 15 significant digits without trailing
// zeros, the locale's decimal separator, an exponent only for very large or
// very small values.
QString FormatFloatGeneral(double value, const TLocaleSettings& locale);

// Fixed point: the value rounded to `precision` significant digits and shown
// with exactly `digits` decimals. Rounding is half away from zero on the
// value's shortest decimal form (2.675 to two decimals is 2.68). A value with
// more integer digits than `precision` is shown in the general form.
QString FormatFloatFixed(double value, int precision, int digits, const TLocaleSettings& locale);
