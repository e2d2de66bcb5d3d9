#pragma once
// The function library of the expression language: one table of functions,
// each evaluated through an XbExpCall that gives it its arguments in the
// kinds it needs.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/expr/nodes.h"

// The arguments of one call, evaluated when the function asks for them (so
// IIF evaluates only the branch it takes). Each accessor checks the kind and
// raises "%s needed for Argument %d of %s"; Number, Integer, Date and
// DateTime are accepted for one another. Indexes count from 0.
class XbExpCall {
 public:
  XbExpCall(const XbExpFunctionDef& def, const std::vector<XbExpNodePtr>& args, const XbExpContext& ctx)
      : def_(def), args_(args), ctx_(ctx) {}

  const XbExpContext& Context() const { return ctx_; }
  int Count() const { return static_cast<int>(args_.size()); }
  // True when argument i was given (not left out).
  bool Has(int i) const { return i < Count() && !args_[i]->IsAbsent(); }

  XbValue Value(int i) const;          // any kind
  std::string Text(int i) const;       // Text, Memo
  double Number(int i) const;          // Number, Integer, Date (day number), DateTime
  double NumberOr(int i, double fallback) const { return Has(i) ? Number(i) : fallback; }
  long Day(int i) const;               // a date as its day number
  bool Logical(int i) const;
  // Argument i as a count of characters: the number, truncated, at least 0
  // and at most kMaxLength.
  size_t Length(int i) const;
  size_t LengthOr(int i, size_t fallback) const { return Has(i) ? Length(i) : fallback; }

  // Raises "%s needed for Argument %d of %s" for argument i.
  [[noreturn]] void Needed(XbValueKind kind, int i) const;

  // Longest text a function builds: far above any key or field, and a bound
  // on what an odd argument can make the evaluator allocate.
  static constexpr size_t kMaxLength = 65535;

 private:
  XbValue Evaluated(int i, XbValueKind needed) const;

  const XbExpFunctionDef& def_;
  const std::vector<XbExpNodePtr>& args_;
  const XbExpContext& ctx_;
};

struct XbExpFunctionDef {
  const char* name;
  int maxArgs;  // -1: any number
  XbValue (*evaluate)(const XbExpCall& call);
};

// The function of that name (upper case): the exact name, or else the one
// function whose name begins with it when it has four letters or more
// ("SUBS" for SUBSTR). nullptr when there is none.
const XbExpFunctionDef* FindFunction(std::string_view upperName);

// The groups of the library.
std::span<const XbExpFunctionDef> TextFunctions();
std::span<const XbExpFunctionDef> NumberFunctions();
std::span<const XbExpFunctionDef> DateFunctions();
std::span<const XbExpFunctionDef> ValueFunctions();
std::span<const XbExpFunctionDef> TableFunctions();

// Text forms of values shared by several functions.
std::string ValueAsText(const XbValue& value);  // numbers without needless decimals, dates as DTOC
std::string UpperText(std::string_view oem, const XbDbfFile& table);
std::string LowerText(std::string_view oem, const XbDbfFile& table);
