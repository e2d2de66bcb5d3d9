// Argument access of function calls, the lookup of functions by name, and
// the evaluation of a call node.

#include <cmath>

#include "xbase/expr/expr_errors.h"
#include "xbase/expr/functions.h"

namespace {
bool Accepts(XbValueKind needed, XbValueKind got) {
  if (got == XbValueKind::Empty) return false;
  if (needed == XbValueKind::Empty) return true;  // any kind
  if (IsNumeric(needed)) return IsNumeric(got);
  if (needed == XbValueKind::Text) return IsText(got);
  return needed == got;
}
}  // namespace

void XbExpCall::Needed(XbValueKind kind, int i) const {
  ThrowExpr(expr_msg::kArgumentKind, {KindName(kind), std::to_string(i + 1), def_.name});
}

XbValue XbExpCall::Evaluated(int i, XbValueKind needed) const {
  XbValue v = i < Count() ? args_[i]->Evaluate(ctx_) : XbValue();
  if (!Accepts(needed, v.kind)) Needed(needed == XbValueKind::Empty ? XbValueKind::Text : needed, i);
  return v;
}

XbValue XbExpCall::Value(int i) const { return Evaluated(i, XbValueKind::Empty); }
std::string XbExpCall::Text(int i) const { return Evaluated(i, XbValueKind::Text).text; }
double XbExpCall::Number(int i) const { return NumericValue(Evaluated(i, XbValueKind::Number)); }
long XbExpCall::Day(int i) const {
  // Day numbers beyond any date are no date at all: the empty date.
  long long day = WholeNumber(NumericValue(Evaluated(i, XbValueKind::Date)));
  return day > 0 && day < 100000000 ? static_cast<long>(day) : 0;
}
bool XbExpCall::Logical(int i) const { return Evaluated(i, XbValueKind::Boolean).boolean; }

size_t XbExpCall::Length(int i) const {
  double n = Number(i);
  if (!(n > 0)) return 0;
  return n >= static_cast<double>(kMaxLength) ? kMaxLength : static_cast<size_t>(n);
}

const XbExpFunctionDef* FindFunction(std::string_view upperName) {
  const std::span<const XbExpFunctionDef> groups[] = {TextFunctions(), NumberFunctions(), DateFunctions(),
                                                      ValueFunctions(), TableFunctions()};
  const XbExpFunctionDef* abbreviated = nullptr;
  int matches = 0;
  for (auto group : groups)
    for (const XbExpFunctionDef& def : group) {
      std::string_view name = def.name;
      if (name == upperName) return &def;
      if (upperName.size() >= 4 && name.starts_with(upperName)) {
        abbreviated = &def;
        ++matches;
      }
    }
  return matches == 1 ? abbreviated : nullptr;
}

XbValue XbExpFunction::Evaluate(const XbExpContext& ctx) const {
  return def_.evaluate(XbExpCall(def_, args_, ctx));
}
