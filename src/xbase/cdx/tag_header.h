#pragma once
// The 1024-byte header of a tag (and of the tag directory, which is a tag
// whose keys are the tag names and whose record numbers are the offsets of
// the tags' headers).
//
//   0  root node offset          12  key length
//   4  free list (written 0)     14  options: 0x01 unique, 0x08 filter,
//   8  change counter                0x20 compact, 0x40 compound, 0x80 directory
//  15  signature 1               494 collation name (8 bytes)
//  502 1 when descending         504 key expression length + 1 (0: none)
//  506 filter length + 1 (1: none)   510 key expression length + 1 (1: none)
//  512 key expression, zero byte, filter expression, zero byte
//
// A header read from a file keeps its whole image, so that rewriting it (a
// new change counter) keeps the bytes other programs put there.

#include <array>
#include <cstdint>
#include <string>

namespace cdx {

inline constexpr uint32_t kHeaderSize = 1024;

enum TagOptions : uint8_t {
  kUnique = 0x01,
  kHasFilter = 0x08,
  kCompact = 0x20,
  kCompound = 0x40,
  kDirectory = 0x80,
};

struct XbCdxTagHeader {
  std::array<uint8_t, kHeaderSize> image{};

  uint32_t Root() const;
  uint32_t ChangeCounter() const;
  void SetChangeCounter(uint32_t value);
  int KeyLength() const;
  uint8_t Options() const { return image[14]; }
  bool Unique() const { return (Options() & kUnique) != 0; }
  bool HasFilter() const { return (Options() & kHasFilter) != 0; }
  bool Descending() const { return image[502] != 0 || image[503] != 0; }
  // The collation name, blanks and zero bytes at its end removed.
  std::string Collation() const;
  std::string KeyExpression() const;
  // Empty when the header has no filter expression.
  std::string FilterExpression() const;

  // True when a header read from a file of `fileSize` bytes can be used: its
  // root is non-zero, a multiple of 512 and inside the file, and its key
  // length is 1 to 240.
  bool Valid(uint64_t fileSize) const;

  // A new header as this engine writes it: every field not set here is 0.
  static XbCdxTagHeader ForTag(uint32_t root, int keyLength, bool unique, bool descending,
                               const std::string& keyExpr, const std::string& filterExpr);
  // The header of an empty tag directory.
  static XbCdxTagHeader ForDirectory(uint32_t root);
};

}  // namespace cdx
