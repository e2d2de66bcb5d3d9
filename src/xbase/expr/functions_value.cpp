// Functions of the library that take values of any kind: the choice IIF,
// the reversed order DESCEND, EMPTY and the comparisons MAX, MIN, BETWEEN
// and INLIST.

#include "xbase/expr/expr_errors.h"
#include "xbase/expr/functions.h"

namespace {

// IIF(logical, a, b): only the branch taken is evaluated.
XbValue Iif(const XbExpCall& c) { return c.Value(c.Logical(0) ? 1 : 2); }

// DESCEND(value): a value that sorts in the reverse order of its argument.
XbValue Descend(const XbExpCall& c) {
  XbValue v = c.Value(0);
  switch (v.kind) {
    case XbValueKind::Text:
    case XbValueKind::Memo:
      for (char& ch : v.text) ch = static_cast<char>(256 - static_cast<uint8_t>(ch));  // 0 stays 0
      return v;
    case XbValueKind::Date:
    case XbValueKind::DateTime:
      return XbValue::OfDate(5231808 - v.date);
    case XbValueKind::Boolean:
      return XbValue::OfBoolean(!v.boolean);
    default:
      return XbValue::OfNumber(-v.number);
  }
}

// EMPTY(value): a text of blanks and control characters only, the number
// 0, the empty date, false.
XbValue Empty(const XbExpCall& c) {
  XbValue v = c.Has(0) ? c.Value(0) : XbValue();
  switch (v.kind) {
    case XbValueKind::Text:
    case XbValueKind::Memo:
      for (char ch : v.text)
        if (static_cast<uint8_t>(ch) > 32) return XbValue::OfBoolean(false);
      return XbValue::OfBoolean(true);
    case XbValueKind::Date:
    case XbValueKind::DateTime:
      return XbValue::OfBoolean(v.date == 0);
    case XbValueKind::Boolean:
      return XbValue::OfBoolean(!v.boolean);
    case XbValueKind::Empty:
      return XbValue::OfBoolean(true);
    default:
      return XbValue::OfBoolean(v.number == 0);
  }
}

// Argument i, which must compare with `first` (argument 0).
XbValue Comparable(const XbExpCall& c, int i, const XbValue& first) {
  XbValue v = c.Value(i);
  bool fits = (IsText(first.kind) && IsText(v.kind)) || (IsNumeric(first.kind) && IsNumeric(v.kind)) ||
              first.kind == v.kind;
  if (!fits) c.Needed(first.kind, i);
  return v;
}

XbValue Max(const XbExpCall& c) {
  XbValue a = c.Value(0), b = Comparable(c, 1, a);
  return CompareValues(a, b) >= 0 ? a : b;
}

XbValue Min(const XbExpCall& c) {
  XbValue a = c.Value(0), b = Comparable(c, 1, a);
  return CompareValues(a, b) <= 0 ? a : b;
}

XbValue Between(const XbExpCall& c) {
  XbValue v = c.Value(0);
  return XbValue::OfBoolean(CompareValues(v, Comparable(c, 1, v)) >= 0 &&
                            CompareValues(v, Comparable(c, 2, v)) <= 0);
}

XbValue Inlist(const XbExpCall& c) {
  XbValue v = c.Value(0);
  for (int i = 1; i < c.Count(); ++i)
    if (ValuesEqual(v, Comparable(c, i, v))) return XbValue::OfBoolean(true);
  return XbValue::OfBoolean(false);
}

const XbExpFunctionDef kFunctions[] = {
    {"IIF", 3, Iif}, {"DESCEND", 1, Descend}, {"EMPTY", 1, Empty},       {"MAX", 2, Max},
    {"MIN", 2, Min}, {"BETWEEN", 3, Between}, {"INLIST", -1, Inlist},
};

}  // namespace

std::span<const XbExpFunctionDef> ValueFunctions() { return kFunctions; }
