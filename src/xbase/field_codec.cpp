#include "xbase/field_codec.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace codec {

std::string_view TrimRight(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view Trim(std::string_view text) {
  text = TrimRight(text);
  size_t start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string FormatNumber(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  bool negative = std::signbit(value);
  double magnitude = std::fabs(value);
  // 15 significant digits: the decimal the user meant (2.675, not 2.67499...).
  // (to_chars writes what "%.14e" prints, without the cost of printf.)
  char buf[64];
  *std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 14).ptr = '\0';
  std::string digits;
  digits += buf[0];
  const char* p = buf + 2;
  while (*p && *p != 'e') digits += *p++;
  int exponent = std::atoi(p + 1);
  // digits d0 d1 ... d14 stand for d0.d1...d14 x 10^exponent; keep the
  // digits up to the wanted place and round on the next one.
  long keep = static_cast<long>(exponent) + 1 + decimals;
  std::string whole;  // the value times 10^decimals, as decimal digits
  if (magnitude == 0 || keep < 0) {
    whole = "0";
  } else if (keep == 0) {
    whole = digits[0] >= '5' ? "1" : "0";
  } else if (keep >= static_cast<long>(digits.size())) {
    whole = digits + std::string(keep - digits.size(), '0');
  } else {
    whole = digits.substr(0, keep);
    if (digits[keep] >= '5') {
      int i = static_cast<int>(whole.size()) - 1;
      while (i >= 0 && whole[i] == '9') whole[i--] = '0';
      if (i < 0) whole.insert(whole.begin(), '1');
      else ++whole[i];
    }
  }
  size_t first = whole.find_first_not_of('0');
  whole = first == std::string::npos ? "0" : whole.substr(first);
  bool zero = whole == "0";
  if (static_cast<int>(whole.size()) < decimals + 1) whole.insert(0, decimals + 1 - whole.size(), '0');
  if (decimals > 0) whole.insert(whole.size() - decimals, ".");
  if (negative && !zero) whole.insert(whole.begin(), '-');
  return whole;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return 0.0;
  size_t i = 0;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  std::string_view body = text.substr(i);
  // Check the shape first: from_chars is too lenient about what may follow.
  size_t j = 0;
  int digits = 0, decimals = 0;
  uint64_t mantissa = 0;  // the digits as a whole number, while it is exact
  auto digit = [&] {
    if (digits < 19) mantissa = mantissa * 10 + static_cast<uint64_t>(body[j] - '0');
    ++j, ++digits;
  };
  while (j < body.size() && body[j] >= '0' && body[j] <= '9') digit();
  if (j < body.size() && body[j] == '.') {
    ++j;
    while (j < body.size() && body[j] >= '0' && body[j] <= '9') digit(), ++decimals;
  }
  if (digits == 0) return std::nullopt;
  // Up to 15 digits the mantissa and the power of ten are exact doubles, and
  // one division rounds as from_chars does: the common field contents skip it.
  static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (j == body.size() && digits <= 15) {
    double value = static_cast<double>(mantissa) / kPowers[decimals];
    return negative ? -value : value;
  }
  if (j < body.size() && (body[j] == 'e' || body[j] == 'E')) {
    size_t k = j + 1;
    if (k < body.size() && (body[k] == '+' || body[k] == '-')) ++k;
    size_t expDigits = 0;
    while (k < body.size() && body[k] >= '0' && body[k] <= '9') ++k, ++expDigits;
    if (expDigits == 0) return std::nullopt;
    j = k;
  }
  if (j != body.size()) return std::nullopt;
  double value = 0;
  auto result = std::from_chars(body.data(), body.data() + body.size(), value);
  if (result.ec != std::errc() && result.ec != std::errc::result_out_of_range) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace codec
