#include "xbase/expr/operators.h"

#include <algorithm>
#include <cmath>

#include "xbase/expr/expr_errors.h"
#include "xbase/field_codec.h"

namespace {

// The words the message "A %s value is required but invalid" names.
constexpr const char* kNumberWord = "number";
constexpr const char* kTextWord = "Char";
constexpr const char* kLogicalWord = "logical";

[[noreturn]] void Invalid(const char* word) { ThrowExpr(expr_msg::kValueInvalid, {word}); }

bool IsDate(XbValueKind kind) { return kind == XbValueKind::Date || kind == XbValueKind::DateTime; }

// The word for a value of the left operand's kind, when the right one does
// not go with it.
const char* WordFor(XbValueKind kind) {
  if (IsText(kind)) return kTextWord;
  if (kind == XbValueKind::Boolean) return kLogicalWord;
  return kNumberWord;
}

// A number of days added to or taken from a date.
long Days(double number) { return static_cast<long>(std::clamp<long long>(WholeNumber(number), -1000000000, 1000000000)); }

XbValue Add(const XbValue& a, const XbValue& b) {
  if (IsText(a.kind)) {
    if (!IsText(b.kind)) Invalid(kTextWord);
    return XbValue::OfText(a.text + b.text);
  }
  if (!IsNumeric(a.kind) || !IsNumeric(b.kind)) Invalid(kNumberWord);
  if (IsDate(a.kind) && IsDate(b.kind)) Invalid(kNumberWord);
  // A date plus a number of days is a date.
  if (IsDate(a.kind)) return XbValue::OfDate(a.date + Days(b.number));
  if (IsDate(b.kind)) return XbValue::OfDate(b.date + Days(a.number));
  return XbValue::OfNumber(a.number + b.number);
}

XbValue Subtract(const XbValue& a, const XbValue& b) {
  if (IsText(a.kind)) {
    if (!IsText(b.kind)) Invalid(kTextWord);
    // The left text's trailing blanks move behind the right text.
    std::string joined(codec::TrimRight(a.text));
    joined += b.text;
    joined.resize(a.text.size() + b.text.size(), ' ');
    return XbValue::OfText(std::move(joined));
  }
  if (!IsNumeric(a.kind) || !IsNumeric(b.kind)) Invalid(kNumberWord);
  if (IsDate(a.kind) && IsDate(b.kind)) return XbValue::OfNumber(static_cast<double>(a.date - b.date));
  if (IsDate(a.kind)) return XbValue::OfDate(a.date - Days(b.number));
  if (IsDate(b.kind)) Invalid(kNumberWord);
  return XbValue::OfNumber(a.number - b.number);
}

XbValue Arithmetic(XbOp op, const XbValue& a, const XbValue& b) {
  if (!IsNumeric(a.kind) || !IsNumeric(b.kind)) Invalid(kNumberWord);
  double x = NumericValue(a), y = NumericValue(b);
  switch (op) {
    case XbOp::Power: return XbValue::OfNumber(std::pow(x, y));
    case XbOp::Multiply: return XbValue::OfNumber(x * y);
    default: return XbValue::OfNumber(x / y);
  }
}

// "=" on texts: trailing blanks do not count, and a right side with "*" or
// "?" is a pattern.
bool TextMatches(const XbValue& a, const XbValue& b) {
  std::string_view left = codec::TrimRight(a.text), right = codec::TrimRight(b.text);
  if (right.find_first_of("*?") != std::string_view::npos) return WildcardMatch(left, right);
  return left == right;
}

bool Equal(const XbValue& a, const XbValue& b) {
  if (IsText(a.kind) && IsText(b.kind)) return TextMatches(a, b);
  return CompareValues(a, b) == 0;
}

bool Contains(const XbValue& a, const XbValue& b) {
  if (!IsText(a.kind) || !IsText(b.kind)) Invalid(kTextWord);
  std::string_view needle = codec::TrimRight(a.text);
  return !needle.empty() && b.text.find(needle) != std::string::npos;
}

}  // namespace

bool IsNumeric(XbValueKind kind) {
  return kind == XbValueKind::Number || kind == XbValueKind::Integer || IsDate(kind);
}

bool IsText(XbValueKind kind) { return kind == XbValueKind::Text || kind == XbValueKind::Memo; }

long long WholeNumber(double value) {
  constexpr double kLimit = 9007199254740992.0;  // 2^53
  if (std::isnan(value)) return 0;
  return static_cast<long long>(std::trunc(std::clamp(value, -kLimit, kLimit)));
}

double NumericValue(const XbValue& value) {
  return IsDate(value.kind) ? static_cast<double>(value.date) : value.number;
}

int OperatorLevel(XbOp op) {
  switch (op) {
    case XbOp::Power: return 1;
    case XbOp::Multiply: case XbOp::Divide: return 2;
    case XbOp::Add: case XbOp::Subtract: return 3;
    case XbOp::Not: return 5;
    case XbOp::And: return 6;
    case XbOp::Or: return 7;
    default: return 4;
  }
}

int CompareValues(const XbValue& a, const XbValue& b) {
  if (IsText(a.kind) && IsText(b.kind)) {
    int c = codec::TrimRight(a.text).compare(codec::TrimRight(b.text));
    return c < 0 ? -1 : c > 0;
  }
  if (IsNumeric(a.kind) && IsNumeric(b.kind)) {
    double x = NumericValue(a), y = NumericValue(b);
    return x < y ? -1 : x > y;
  }
  if (a.kind == XbValueKind::Boolean && b.kind == XbValueKind::Boolean) return int(a.boolean) - int(b.boolean);
  Invalid(WordFor(a.kind));
}

bool ValuesEqual(const XbValue& a, const XbValue& b) { return CompareValues(a, b) == 0; }

XbValue ApplyOperator(XbOp op, const XbValue& a, const XbValue& b) {
  switch (op) {
    case XbOp::Add: return Add(a, b);
    case XbOp::Subtract: return Subtract(a, b);
    case XbOp::Power: case XbOp::Multiply: case XbOp::Divide: return Arithmetic(op, a, b);
    case XbOp::Equal: return XbValue::OfBoolean(Equal(a, b));
    case XbOp::NotEqual: return XbValue::OfBoolean(!Equal(a, b));
    case XbOp::ExactEqual: return XbValue::OfBoolean(ValuesEqual(a, b));
    case XbOp::Greater: return XbValue::OfBoolean(CompareValues(a, b) > 0);
    case XbOp::Less: return XbValue::OfBoolean(CompareValues(a, b) < 0);
    case XbOp::GreaterEqual: return XbValue::OfBoolean(CompareValues(a, b) >= 0);
    case XbOp::LessEqual: return XbValue::OfBoolean(CompareValues(a, b) <= 0);
    case XbOp::Contains: return XbValue::OfBoolean(Contains(a, b));
    case XbOp::And: return XbValue::OfBoolean(RequireLogical(a) && RequireLogical(b));
    case XbOp::Or: case XbOp::Not: break;
  }
  return XbValue::OfBoolean(RequireLogical(a) || RequireLogical(b));
}

XbValue Negate(const XbValue& operand) {
  if (!IsNumeric(operand.kind)) Invalid(kNumberWord);
  return XbValue::OfNumber(-NumericValue(operand));
}

bool RequireLogical(const XbValue& value) {
  if (value.kind != XbValueKind::Boolean) Invalid(kLogicalWord);
  return value.boolean;
}

bool WildcardMatch(std::string_view text, std::string_view pattern) {
  // Greedy match with one backtracking point at the last "*".
  size_t t = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++t, ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}
