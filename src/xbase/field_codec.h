#pragma once
// How field values are written as text in a record and read back. These are
// the encodings of the table files: right-aligned ASCII numbers with "."
// as decimal point, logicals as one letter, dates as "yyyymmdd".

#include <optional>
#include <string>
#include <string_view>

namespace codec {

// The number in fixed point with exactly `decimals` places (no point when 0),
// rounded half away from zero on its shortest decimal form. Not right-aligned.
std::string FormatNumber(double value, int decimals);

// Reads a stored or typed number: leading blanks, an optional sign, digits,
// an optional "." with digits, an optional exponent; trailing blanks are
// removed first and an empty text is 0. No value for any other text.
std::optional<double> ParseNumber(std::string_view text);

// True for the letters a logical field stores for true: T t Y y J j.
inline bool IsTrueLetter(char c) {
  return c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == 'J' || c == 'j';
}
inline bool IsFalseLetter(char c) {
  return c == 'F' || c == 'f' || c == 'N' || c == 'n';
}

// Text with trailing blanks removed / leading and trailing blanks removed.
std::string_view TrimRight(std::string_view text);
std::string_view Trim(std::string_view text);

}  // namespace codec
