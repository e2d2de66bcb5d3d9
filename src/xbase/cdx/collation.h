#pragma once
// The order of index keys. Character keys are compared through the Czech
// collation weights of code page 852: each capital before its small letter,
// each plain letter before its accented forms (A a Á á Ä ä B b C c Č č ...),
// then every other byte in ascending order. Numeric and date keys are
// compared by raw byte value. The weights are fixed: they do not depend on
// the collation name a tag header may carry.
//
// Keys are held with their trailing pad bytes removed (blanks for character
// keys, zero bytes for the others); where one key is a prefix of the other,
// the shorter one comes first.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace cdx {

// Leading bytes that a and b have in common of their first n, compared
// eight at a time.
inline size_t CommonPrefix(const char* a, const char* b, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) {
      const uint64_t d = x ^ y;
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(d) : std::countl_zero(d);
      return i + static_cast<size_t>(bit / 8);
    }
  }
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// Weight of every byte in character-key order; a one-to-one mapping of
// 0x00..0xFF onto itself (bytes 0x00..0x40 weigh their own value).
const std::array<uint8_t, 256>& CollationWeights();
// The byte of each weight (the inverse of CollationWeights).
const std::array<uint8_t, 256>& CollationBytes();

// Three-way comparison of two keys: negative when a comes first.
int CompareKeys(std::string_view a, std::string_view b, bool character);

// How a search key that is a prefix of a longer index key compares with it.
// Partial (a search asking for a partial match, the low bound of a range):
// the index key counts as equal. Exact (an exact search, the high bound of a
// range): the index key counts as greater.
enum class PrefixRule { Exact, Partial };

// Compares a search key with an index key under a prefix rule: negative when
// the search key comes first, 0 when they count as equal.
int CompareSearch(std::string_view search, std::string_view key, bool character, PrefixRule rule);

}  // namespace cdx
