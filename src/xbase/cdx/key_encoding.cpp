#include "xbase/cdx/key_encoding.h"

#include <cstdint>
#include <cstring>

#include "xbase/date.h"
#include "xbase/field_codec.h"

namespace cdx {
namespace {

std::string_view TrimPad(std::string_view key, char pad) {
  size_t n = key.size();
  while (n > 0 && key[n - 1] == pad) --n;
  return key.substr(0, n);
}

}  // namespace

std::string EncodeTextKey(std::string_view oem) { return std::string(TrimPad(oem, ' ')); }

std::string EncodeNumberKey(double value) {
  value += 0.0;  // -0 becomes +0, so that both give one key
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  bits = (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
  std::string key(8, '\0');
  for (int i = 0; i < 8; ++i) key[i] = static_cast<char>(bits >> (56 - 8 * i));
  return std::string(TrimPad(key, '\0'));
}

std::string EncodeDateKey(long dayNumber) { return EncodeNumberKey(static_cast<double>(dayNumber)); }

double DecodeNumberKey(std::string_view key) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i)
    bits = bits << 8 | (i < static_cast<int>(key.size()) ? static_cast<uint8_t>(key[i]) : 0);
  bits = (bits >> 63) ? bits & ~(uint64_t{1} << 63) : ~bits;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string_view NormalizedKeyView(std::string_view key, const KeyFormat& format) {
  if (key.size() > static_cast<size_t>(format.length)) key = key.substr(0, format.length);
  return TrimPad(key, format.Pad());
}

std::string NormalizeKey(std::string_view key, const KeyFormat& format) {
  return std::string(NormalizedKeyView(key, format));
}

std::string PadKey(std::string_view key, const KeyFormat& format) {
  std::string padded(key.substr(0, format.length));
  padded.resize(format.length, format.Pad());
  return padded;
}

std::optional<std::string> SearchKeyFromText(std::string_view text, XbKeyType type, char decimalSeparator) {
  switch (type) {
    case XbKeyType::Character:
      return EncodeTextKey(text);
    case XbKeyType::Numeric: {
      std::string t(text);
      for (char& c : t)
        if (c == decimalSeparator) c = '.';
      std::optional<double> v = codec::ParseNumber(t);
      if (!v) return std::nullopt;
      return EncodeNumberKey(*v);
    }
    case XbKeyType::Date: {
      std::string_view t = codec::Trim(text);
      if (t.empty()) return EncodeDateKey(0);
      std::optional<XbDate> d = XbDate::FromDtos(t);
      if (!d) return std::nullopt;
      return EncodeDateKey(d->ToJulian());
    }
  }
  return std::nullopt;
}

}  // namespace cdx
