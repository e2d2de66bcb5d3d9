#pragma once
// Dates as texts outside the table files: the desktop's short date format
// (Czech: day, month and year, "dd.mm.yyyy"), used by CTOD(), DTOC(), date
// literals and date fields that hold something else than "yyyymmdd", and
// the day numbers that expressions hold dates as.

#include <optional>
#include <string>
#include <string_view>

#include "xbase/date.h"

// The day number of a date value, or the date of a day number (no date for
// the empty date 0 and for day numbers outside the years 0..9999).
long DayNumber(const XbDate& date);
std::optional<XbDate> DateOfDay(long day);

// Reads a date text: "d.m.yyyy" (also with "/" or "-", blanks after the
// separators, two-digit years taken from 1930..2029), "yyyymmdd", or
// "^yyyy-mm-dd". Gives 0 for a text of blanks and separators only (the
// empty date) and no value for a text that is no date.
std::optional<long> ParseDateText(std::string_view text);

// "dd.mm.yyyy"; the empty date gives "  .  .    ".
std::string FormatShortDate(long day);
