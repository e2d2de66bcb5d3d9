#pragma once
// How values become index keys, and how keys are held.
//
// Character keys are the key expression's text in OEM bytes with trailing
// blanks removed. Numeric keys are the value as an 8-byte IEEE double turned
// into a byte string whose byte order is the numeric order (most significant
// byte first; the sign bit set for a value with the sign bit clear, every bit
// inverted for a negative value) with trailing zero bytes removed. Date keys
// are the day number (1 January 1980 = 2444240, an empty date 0) encoded as
// a numeric key. In the nodes a key is padded to the tag's key length with
// blanks (character keys) or zero bytes (the others).

#include <optional>
#include <string>
#include <string_view>

enum class XbKeyType { Character, Numeric, Date };

namespace cdx {

// The layout facts of one tag's keys.
struct KeyFormat {
  int length = 10;
  XbKeyType type = XbKeyType::Character;

  bool Character() const { return type == XbKeyType::Character; }
  // The byte that pads a key to its full length.
  char Pad() const { return Character() ? ' ' : '\0'; }
};

// Key of a text (OEM bytes): trailing blanks removed.
std::string EncodeTextKey(std::string_view oem);
// Key of a number; -0 gives the key of 0.
std::string EncodeNumberKey(double value);
// Key of a day number (0 for an empty date).
std::string EncodeDateKey(long dayNumber);
// The number a numeric or date key stands for.
double DecodeNumberKey(std::string_view key);

// A key as held: cut to the format's length, trailing pad bytes removed.
std::string NormalizeKey(std::string_view key, const KeyFormat& format);
// The same key as a view into `key`, without a copy.
std::string_view NormalizedKeyView(std::string_view key, const KeyFormat& format);
// A held key padded to the full key length.
std::string PadKey(std::string_view key, const KeyFormat& format);

// The key a search text stands for on a tag of the given type: character
// text with trailing blanks removed; for numeric tags the text read as a
// number (with `decimalSeparator` as the decimal point); for date tags the
// text "yyyymmdd" (blank: the empty date). No key when the text is no
// number or date.
std::optional<std::string> SearchKeyFromText(std::string_view text, XbKeyType type, char decimalSeparator = '.');

}  // namespace cdx
