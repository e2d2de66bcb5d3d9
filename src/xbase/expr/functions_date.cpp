// Date functions of the library. Dates are day numbers; the empty date is 0.

#include "xbase/expr/functions.h"
#include "xbase/expr/short_date.h"

namespace {

// DTOS(date): "yyyymmdd", 8 blanks for the empty date, so that undated
// records sort before every dated one.
XbValue Dtos(const XbExpCall& c) {
  std::optional<XbDate> d = DateOfDay(c.Day(0));
  return XbValue::OfText(d ? d->ToDtos() : std::string(8, ' '));
}

XbValue Dtoc(const XbExpCall& c) { return XbValue::OfText(FormatShortDate(c.Day(0))); }

// CTOD(text): the date of a short-date text; the empty date for a text
// that is no date.
XbValue Ctod(const XbExpCall& c) { return XbValue::OfDate(ParseDateText(c.Text(0)).value_or(0)); }

XbValue Today(const XbExpCall&) { return XbValue::OfDate(DayNumber(XbDate::Today())); }

// DOW(date): 1 for Sunday to 7 for Saturday; 0 for the empty date.
XbValue Dow(const XbExpCall& c) {
  long day = c.Day(0);
  return XbValue::OfNumber(DateOfDay(day) ? static_cast<double>((day + 1) % 7 + 1) : 0);
}

// YEAR, MONTH, DAY: a part of the date; 0 for the empty date.
template <int XbDate::*Part>
XbValue DatePart(const XbExpCall& c) {
  std::optional<XbDate> d = DateOfDay(c.Day(0));
  return XbValue::OfNumber(d ? (*d).*Part : 0);
}

const XbExpFunctionDef kFunctions[] = {
    {"DTOS", 1, Dtos}, {"DTOC", 1, Dtoc},  {"CTOD", 1, Ctod},
    {"DATE", 0, Today}, {"DOW", 1, Dow},   {"YEAR", 1, DatePart<&XbDate::year>},
    {"MONTH", 1, DatePart<&XbDate::month>}, {"DAY", 1, DatePart<&XbDate::day>},
};

}  // namespace

std::span<const XbExpFunctionDef> DateFunctions() { return kFunctions; }
