#pragma once
// What the operators of the expression language do with their operands:
// arithmetic on numbers and dates, concatenation of texts, comparisons and
// the logical operators.

#include "xbase/expr/expression.h"

enum class XbOp {
  Power, Multiply, Divide, Add, Subtract,                              // arithmetic
  Equal, ExactEqual, NotEqual, Greater, Less, GreaterEqual, LessEqual,  // comparisons
  Contains,                                                            // "$"
  Not, And, Or,
};

// Binding level of a binary operator, 1 the most tightly binding.
int OperatorLevel(XbOp op);

// Applies a binary operator (Not is unary: see RequireLogical). Raises
// "A %s value is required but invalid".
XbValue ApplyOperator(XbOp op, const XbValue& left, const XbValue& right);
// Unary minus: the negated number.
XbValue Negate(const XbValue& operand);
// The logical a NOT, AND or OR needs.
bool RequireLogical(const XbValue& value);

// True for the kinds that stand for a number (dates as day numbers).
bool IsNumeric(XbValueKind kind);
bool IsText(XbValueKind kind);
// The number a numeric value stands for (dates: the day number).
double NumericValue(const XbValue& value);
// A number cut to a whole number that any integer type holds: the part
// before the point, at most 2^53 either way, 0 for a number that is none.
long long WholeNumber(double value);

// Orders two values of comparable kinds (texts without their trailing
// blanks, byte by byte; numbers and dates by value; false before true):
// negative, zero or positive. Raises for kinds that do not compare.
int CompareValues(const XbValue& left, const XbValue& right);
// Equality as "==": like CompareValues == 0.
bool ValuesEqual(const XbValue& left, const XbValue& right);

// Matches a text against a pattern where "*" stands for any run of
// characters and "?" for any one character.
bool WildcardMatch(std::string_view text, std::string_view pattern);
