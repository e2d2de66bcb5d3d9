#include "xbase/expr/expr_errors.h"

void ThrowExpr(std::string_view pattern, std::initializer_list<std::string> args) {
  throw EDbfExpression(FormatMessage(pattern, args));
}
