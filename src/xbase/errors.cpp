#include "xbase/errors.h"

std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string> args) {
  std::string out;
  auto next = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() &&
        (pattern[i + 1] == 's' || pattern[i + 1] == 'd') && next != args.end()) {
      out += *next++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

void ThrowDbf(std::string_view pattern, std::initializer_list<std::string> args) {
  throw EDbfError(FormatMessage(pattern, args));
}
