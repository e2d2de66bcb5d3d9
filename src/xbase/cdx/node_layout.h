#pragma once
// The 512-byte nodes of a tag's tree, as held in memory and as laid out in
// the file.
//
// Common header: attribute (bit 0 root, bit 1 leaf), key count, left and
// right neighbour at the same level (kNoNode when none). Interior nodes hold
// entries of key (padded), record number and child offset, the last two
// big-endian; an entry's key and record number are those of the last entry
// of the child's subtree. Leaves are compact: a little-endian entry per key
// (record number in the low bits, above it the duplicate count, in the
// highest bits the trailing count) from offset 24 upward, and the key bytes
// that are neither shared with the previous key nor trailing pad, packed from
// the end of the node downward.

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/cdx/key_encoding.h"

namespace cdx {

inline constexpr uint32_t kNodeSize = 512;
inline constexpr uint32_t kNoNode = 0xFFFFFFFF;
inline constexpr int kLeafArea = 488;       // key area of a leaf, offsets 24..511
inline constexpr int kInteriorArea = 500;   // entry area of an interior node, offsets 12..511
inline constexpr int kMaxKeyLength = 240;   // longest key a tag header may declare

enum NodeAttribute : uint16_t { kInterior = 0, kRoot = 1, kLeaf = 2 };

// One key of a node: the key (pad bytes removed), its record number and, in
// interior nodes, the offset of the child whose last key it is.
struct XbCdxEntry {
  std::string key;
  uint32_t recno = 0;
  uint32_t child = 0;
};

// Bit widths of a leaf's key entries.
struct LeafWidths {
  int recnoBits = 16;
  int dupBits = 4;
  int trailBits = 4;
  int entryBytes = 3;
  uint32_t recnoMask = 0xFFFF;

  friend bool operator==(const LeafWidths&, const LeafWidths&) = default;
};

// Widths for a key length and the highest record number the leaf must be
// able to hold: duplicate and trailing counts get the bits needed to write
// the key length (b), the record number 24 - 2b bits in a 3-byte entry; while
// the highest record number exceeds the mask, the entry grows by one byte and
// the record number by 8 bits, up to a mask of 2^31 - 1 with 31 bits.
LeafWidths LeafWidthsFor(int keyLength, uint64_t highestRecno);

// Widths for a leaf holding `entries`: LeafWidthsFor the larger of
// `highestRecno` and the entries' highest record number.
LeafWidths LeafWidthsFor(const KeyFormat& format, const std::vector<XbCdxEntry>& entries, uint64_t highestRecno);

// Entries an interior node holds at most: 500 / (key length + 8).
int InteriorCapacity(int keyLength);

// One node in memory.
struct XbCdxNode {
  uint32_t offset = 0;
  uint16_t attribute = kLeaf | kRoot;
  uint32_t left = kNoNode;
  uint32_t right = kNoNode;
  std::vector<XbCdxEntry> entries;
  // As read from a leaf (for the checker): widths and the free-bytes field.
  LeafWidths widths;
  int storedFree = kLeafArea;

  bool IsLeaf() const { return (attribute & kLeaf) != 0; }
  bool IsRoot() const { return (attribute & kRoot) != 0; }
};

// Bytes a key takes in a leaf after `previous` (nullptr for the first key):
// its entry plus the key bytes neither shared with the previous key (both
// padded to the key length, and at most key length - trailing count) nor
// trailing pad.
int LeafKeyBytes(const std::string* previous, const std::string& key, const KeyFormat& format, int entryBytes);
// Bytes all entries of a leaf take (488 minus this are its free bytes).
int LeafUsedBytes(const std::vector<XbCdxEntry>& entries, const KeyFormat& format, int entryBytes);

// Decodes a node read from the file; false when the block is no well-formed
// node of that key format (bad attribute, counts, widths or key counts).
bool DecodeNode(const uint8_t* block, const KeyFormat& format, XbCdxNode& node);

// Lays out a leaf with the given widths; std::logic_error when its keys do
// not fit (the caller makes sure they do).
void EncodeLeaf(const XbCdxNode& node, const KeyFormat& format, const LeafWidths& widths, uint8_t* block);
// Lays out an interior node; the caller has made sure it fits.
void EncodeInterior(const XbCdxNode& node, const KeyFormat& format, uint8_t* block);

// Little- and big-endian integers in blocks.
inline uint32_t Get16(const uint8_t* p) { return p[0] | p[1] << 8; }
inline uint32_t Get32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint32_t Get32BE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
inline void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void Put32BE(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

}  // namespace cdx
