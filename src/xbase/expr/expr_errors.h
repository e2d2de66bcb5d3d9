#pragma once
// Message texts of the expression evaluator; every one is raised as
// EDbfExpression.

#include <initializer_list>
#include <string>
#include <string_view>

#include "xbase/errors.h"

namespace expr_msg {
inline constexpr const char* kSyntaxError = "Syntax Error in expression \"%s\"";
inline constexpr const char* kNoFunction = "There is no function for %s";
inline constexpr const char* kArgumentKind = "%s needed for Argument %d of %s";
inline constexpr const char* kMissingParenthesis = "Missing closing parentheses";
inline constexpr const char* kMissingPeriod = "Missing closing period";
inline constexpr const char* kExpectingLogical = "Expecting \".T.\" or \".F.\"";
inline constexpr const char* kMissingDelimiter = "Missing closing \"%s\" on literal";
inline constexpr const char* kCannotEvaluate = "Expression cannot be evaluated";
inline constexpr const char* kValueInvalid = "A %s value is required but invalid";
}  // namespace expr_msg

// Raises EDbfExpression with a filled message text.
[[noreturn]] void ThrowExpr(std::string_view pattern, std::initializer_list<std::string> args = {});
