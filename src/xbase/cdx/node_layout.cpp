#include "xbase/cdx/node_layout.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "xbase/cdx/collation.h"

namespace cdx {
namespace {

int BitsFor(int value) {
  int bits = 0;
  while (value > 0) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

// Leading bytes two keys share when both are padded to the key length: the
// common part of the bytes both have, then the longer key's bytes that equal
// the pad.
int SharedPadded(const std::string& a, const std::string& b, const KeyFormat& format) {
  const std::string& longer = a.size() >= b.size() ? a : b;
  const size_t common = std::min({a.size(), b.size(), static_cast<size_t>(format.length)});
  size_t n = CommonPrefix(a.data(), b.data(), common);
  if (n < common) return static_cast<int>(n);
  const size_t end = std::min(longer.size(), static_cast<size_t>(format.length));
  const char pad = format.Pad();
  while (n < end && longer[n] == pad) ++n;
  if (n < end) return static_cast<int>(n);
  return format.length;
}

// Duplicate and trailing counts of a key after `previous`.
void Counts(const std::string* previous, const std::string& key, const KeyFormat& format, int& dup, int& trail) {
  trail = format.length - static_cast<int>(key.size());
  dup = previous ? std::min(SharedPadded(*previous, key, format), format.length - trail) : 0;
}

}  // namespace

LeafWidths LeafWidthsFor(int keyLength, uint64_t highestRecno) {
  LeafWidths w;
  int b = BitsFor(keyLength);
  w.dupBits = w.trailBits = b;
  // The counts sit in the top 2b bits of an entry and the record number
  // fills the rest, as every reader takes them: with b = 4 a five-byte entry
  // has 32 record-number bits. The mask never passes 32 bits.
  w.entryBytes = 3;
  for (;;) {
    w.recnoBits = 8 * w.entryBytes - 2 * b;
    w.recnoMask = w.recnoBits >= 32 ? 0xFFFFFFFFu : static_cast<uint32_t>((uint64_t{1} << w.recnoBits) - 1);
    if (highestRecno <= w.recnoMask || w.recnoMask == 0xFFFFFFFFu) return w;
    ++w.entryBytes;
  }
}

LeafWidths LeafWidthsFor(const KeyFormat& format, const std::vector<XbCdxEntry>& entries, uint64_t highestRecno) {
  for (const XbCdxEntry& e : entries) highestRecno = std::max<uint64_t>(highestRecno, e.recno);
  return LeafWidthsFor(format.length, highestRecno);
}

int InteriorCapacity(int keyLength) { return kInteriorArea / (keyLength + 8); }

int LeafKeyBytes(const std::string* previous, const std::string& key, const KeyFormat& format, int entryBytes) {
  int dup, trail;
  Counts(previous, key, format, dup, trail);
  return entryBytes + format.length - dup - trail;
}

int LeafUsedBytes(const std::vector<XbCdxEntry>& entries, const KeyFormat& format, int entryBytes) {
  int used = 0;
  const std::string* previous = nullptr;
  for (const XbCdxEntry& e : entries) {
    used += LeafKeyBytes(previous, e.key, format, entryBytes);
    previous = &e.key;
  }
  return used;
}

bool DecodeNode(const uint8_t* block, const KeyFormat& format, XbCdxNode& node) {
  node.attribute = static_cast<uint16_t>(Get16(block));
  int count = static_cast<int>(Get16(block + 2));
  node.left = Get32(block + 4);
  node.right = Get32(block + 8);
  node.entries.clear();
  if (node.attribute > (kLeaf | kRoot)) return false;
  const int kl = format.length;
  const char pad = format.Pad();
  if (!node.IsLeaf()) {
    if (count * (kl + 8) > kInteriorArea) return false;
    node.entries.resize(count);
    const uint8_t* p = block + 12;
    for (XbCdxEntry& e : node.entries) {
      e.key = NormalizeKey(std::string_view(reinterpret_cast<const char*>(p), kl), format);
      e.recno = Get32BE(p + kl);
      e.child = Get32BE(p + kl + 4);
      p += kl + 8;
    }
    return true;
  }
  LeafWidths& w = node.widths;
  node.storedFree = static_cast<int>(Get16(block + 12));
  w.recnoMask = Get32(block + 14);
  uint32_t dupMask = block[18], trailMask = block[19];
  w.recnoBits = block[20];
  w.dupBits = block[21];
  w.trailBits = block[22];
  w.entryBytes = block[23];
  if (w.entryBytes < 1 || w.entryBytes > 8 || w.dupBits > 8 || w.trailBits > 8 ||
      w.recnoBits + w.dupBits + w.trailBits > 8 * w.entryBytes || count * w.entryBytes > kLeafArea)
    return false;
  node.entries.resize(count);
  std::string previous(kl, pad);
  int keyEnd = static_cast<int>(kNodeSize);
  const int entriesEnd = 24 + count * w.entryBytes;
  for (int i = 0; i < count; ++i) {
    uint64_t v = 0;
    const uint8_t* p = block + 24 + i * w.entryBytes;
    for (int k = w.entryBytes - 1; k >= 0; --k) v = v << 8 | p[k];
    int dup = static_cast<int>((v >> w.recnoBits) & dupMask);
    int trail = static_cast<int>((v >> (w.recnoBits + w.dupBits)) & trailMask);
    if (dup + trail > kl || (i == 0 && dup != 0)) return false;
    int stored = kl - dup - trail;
    keyEnd -= stored;
    if (keyEnd < entriesEnd) return false;
    std::memcpy(previous.data() + dup, block + keyEnd, static_cast<size_t>(stored));
    std::fill(previous.begin() + (kl - trail), previous.end(), pad);
    XbCdxEntry& e = node.entries[i];
    e.recno = static_cast<uint32_t>(v & w.recnoMask);
    e.child = 0;
    e.key = NormalizeKey(previous, format);
  }
  return true;
}

void EncodeLeaf(const XbCdxNode& node, const KeyFormat& format, const LeafWidths& w, uint8_t* block) {
  std::memset(block, 0, kNodeSize);
  Put16(block, node.attribute);
  Put16(block + 2, static_cast<uint32_t>(node.entries.size()));
  Put32(block + 4, node.left);
  Put32(block + 8, node.right);
  Put32(block + 14, w.recnoMask);
  block[18] = static_cast<uint8_t>((1u << w.dupBits) - 1);
  block[19] = static_cast<uint8_t>((1u << w.trailBits) - 1);
  block[20] = static_cast<uint8_t>(w.recnoBits);
  block[21] = static_cast<uint8_t>(w.dupBits);
  block[22] = static_cast<uint8_t>(w.trailBits);
  block[23] = static_cast<uint8_t>(w.entryBytes);
  int keyEnd = static_cast<int>(kNodeSize);
  const int entriesEnd = 24 + static_cast<int>(node.entries.size()) * w.entryBytes;
  int used = 0;
  const std::string* previous = nullptr;
  for (size_t i = 0; i < node.entries.size(); ++i) {
    const XbCdxEntry& e = node.entries[i];
    int dup, trail;
    Counts(previous, e.key, format, dup, trail);
    int stored = format.length - dup - trail;
    keyEnd -= stored;
    if (keyEnd < entriesEnd) throw std::logic_error("index leaf overfull");
    std::memcpy(block + keyEnd, e.key.data() + dup, static_cast<size_t>(stored));
    uint64_t v = (e.recno & w.recnoMask) | static_cast<uint64_t>(dup) << w.recnoBits |
                 static_cast<uint64_t>(trail) << (w.recnoBits + w.dupBits);
    uint8_t* p = block + 24 + i * w.entryBytes;
    for (int k = 0; k < w.entryBytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
    used += w.entryBytes + stored;
    previous = &e.key;
  }
  Put16(block + 12, static_cast<uint32_t>(kLeafArea - used));
}

void EncodeInterior(const XbCdxNode& node, const KeyFormat& format, uint8_t* block) {
  std::memset(block, 0, kNodeSize);
  Put16(block, node.attribute);
  Put16(block + 2, static_cast<uint32_t>(node.entries.size()));
  Put32(block + 4, node.left);
  Put32(block + 8, node.right);
  uint8_t* p = block + 12;
  for (const XbCdxEntry& e : node.entries) {
    std::string padded = PadKey(e.key, format);
    std::memcpy(p, padded.data(), padded.size());
    Put32BE(p + format.length, e.recno);
    Put32BE(p + format.length + 4, e.child);
    p += format.length + 8;
  }
}

}  // namespace cdx
