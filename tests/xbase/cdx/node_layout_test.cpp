// The 512-byte nodes as laid out in the file.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "xbase/cdx/node_layout.h"

using namespace cdx;

TEST(NodeLayout, LeafWidthsFollowKeyLengthAndRecordCount) {
  struct Case {
    int keyLength;
    uint64_t records;
    int recnoBits, countBits, entryBytes;
    uint32_t mask;
  };
  const Case cases[] = {
      {6, 1000, 18, 3, 3, 0x3FFFF},       {8, 1000, 16, 4, 3, 0xFFFF},
      {10, 65535, 16, 4, 3, 0xFFFF},      {10, 70000, 24, 4, 4, 0xFFFFFF},
      {30, 1000, 14, 5, 3, 0x3FFF},       {240, 255, 8, 8, 3, 0xFF},
      {240, 256, 16, 8, 4, 0xFFFF},       {10, 0xFFFFFFFFull, 32, 4, 5, 0xFFFFFFFF},
      {10, 0x1000000, 32, 4, 5, 0xFFFFFFFF}, {240, 0x1000000, 32, 8, 6, 0xFFFFFFFF},
      {1, 0x40000000, 38, 1, 5, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    LeafWidths w = LeafWidthsFor(c.keyLength, c.records);
    EXPECT_EQ(w.recnoBits, c.recnoBits) << c.keyLength << "/" << c.records;
    EXPECT_EQ(w.dupBits, c.countBits);
    EXPECT_EQ(w.trailBits, c.countBits);
    EXPECT_EQ(w.entryBytes, c.entryBytes);
    EXPECT_EQ(w.recnoMask, c.mask);
  }
  for (auto [keyLength, capacity] : {std::pair{6, 35}, {8, 31}, {9, 29}, {10, 27}, {30, 13}})
    EXPECT_EQ(InteriorCapacity(keyLength), capacity);
}

// The duplicate count is taken between keys padded to the key length and is
// at most key length - trailing count: equal keys store no byte at all.
TEST(NodeLayout, DuplicateCountsUsePaddedKeys) {
  KeyFormat f{6, XbKeyType::Character};
  std::string ab = "AB", abc = "AB C", b = "B";
  EXPECT_EQ(LeafKeyBytes(nullptr, ab, f, 3), 3 + 2);
  EXPECT_EQ(LeafKeyBytes(&ab, ab, f, 3), 3);        // equal: nothing stored
  EXPECT_EQ(LeafKeyBytes(&ab, abc, f, 3), 3 + 1);   // "AB " shared, "C" stored
  EXPECT_EQ(LeafKeyBytes(&abc, ab, f, 3), 3);       // shares "AB" + pad, capped at 2
  EXPECT_EQ(LeafKeyBytes(&abc, b, f, 3), 3 + 1);
  std::string empty;
  EXPECT_EQ(LeafKeyBytes(&ab, empty, f, 3), 3);     // an all-blank key
  KeyFormat n{8, XbKeyType::Numeric};
  EXPECT_EQ(LeafKeyBytes(nullptr, std::string("\xBF\xF0", 2), n, 3), 3 + 2);
}

TEST(NodeLayout, LeafAndInteriorRoundTrip) {
  for (KeyFormat f : {KeyFormat{6, XbKeyType::Character}, KeyFormat{8, XbKeyType::Numeric}}) {
    XbCdxNode leaf;
    leaf.attribute = kLeaf;
    leaf.left = 0x400;
    leaf.right = kNoNode;
    const char* keys[] = {"", " A", "AB", "AB", "AB C", "AB\x01", "ABCDEF", "B"};
    uint32_t recno = 70000;
    for (const char* k : keys) leaf.entries.push_back(XbCdxEntry{NormalizeKey(k, f), recno++, 0});
    LeafWidths w = LeafWidthsFor(f.length, 70100);
    uint8_t block[kNodeSize];
    EncodeLeaf(leaf, f, w, block);
    XbCdxNode back;
    ASSERT_TRUE(DecodeNode(block, f, back));
    EXPECT_EQ(back.attribute, kLeaf);
    EXPECT_EQ(back.left, 0x400u);
    EXPECT_EQ(back.right, kNoNode);
    EXPECT_EQ(back.widths, w);
    EXPECT_EQ(back.storedFree, kLeafArea - LeafUsedBytes(leaf.entries, f, w.entryBytes));
    ASSERT_EQ(back.entries.size(), leaf.entries.size());
    for (size_t i = 0; i < leaf.entries.size(); ++i) {
      EXPECT_EQ(back.entries[i].key, leaf.entries[i].key) << i;
      EXPECT_EQ(back.entries[i].recno, leaf.entries[i].recno);
    }

    XbCdxNode interior;
    interior.attribute = kRoot;
    interior.entries = {{NormalizeKey("AB", f), 7, 0x600}, {NormalizeKey("ZZZZZZ", f), 0x12345678, 0xA00}};
    EncodeInterior(interior, f, block);
    EXPECT_EQ(Get32BE(block + 12 + f.length), 7u);  // big-endian record number and child
    ASSERT_TRUE(DecodeNode(block, f, back));
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[1].key, interior.entries[1].key);
    EXPECT_EQ(back.entries[1].recno, 0x12345678u);
    EXPECT_EQ(back.entries[1].child, 0xA00u);
  }
}

// Five-byte entries: the record number takes 32 bits and the counts the top
// eight, as every reader of the format takes them; a leaf written with a
// 31-bit record number (as older files may hold) still reads.
TEST(NodeLayout, FiveByteEntriesPutTheCountsInTheTopBits) {
  KeyFormat f{10, XbKeyType::Character};
  XbCdxNode leaf;
  leaf.attribute = kLeaf | kRoot;
  leaf.left = leaf.right = kNoNode;
  leaf.entries = {{"ALPHA", 0x01234567, 0}, {"ALPINE", 0xFEDCBA98, 0}};
  LeafWidths w = LeafWidthsFor(10, 0x1000000);  // a directory of a file past 16 MB
  uint8_t block[kNodeSize];
  EncodeLeaf(leaf, f, w, block);
  const uint8_t header[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x0F, 32, 4, 4, 5};
  EXPECT_EQ(0, std::memcmp(block + 14, header, sizeof header));
  // ALPHA: record 0x01234567, no duplicate bytes, 5 trailing blanks.
  // ALPINE: record 0xFEDCBA98, "ALP" shared, 4 trailing blanks.
  const uint8_t entries[] = {0x67, 0x45, 0x23, 0x01, 0x50, 0x98, 0xBA, 0xDC, 0xFE, 0x43};
  EXPECT_EQ(0, std::memcmp(block + 24, entries, sizeof entries));
  EXPECT_EQ(0, std::memcmp(block + kNodeSize - 8, "INEALPHA", 8));
  XbCdxNode back;
  ASSERT_TRUE(DecodeNode(block, f, back));
  ASSERT_EQ(back.entries.size(), 2u);
  EXPECT_EQ(back.entries[1].key, "ALPINE");
  EXPECT_EQ(back.entries[1].recno, 0xFEDCBA98u);

  LeafWidths old = w;
  old.recnoBits = 31;
  old.recnoMask = 0x7FFFFFFF;
  leaf.entries[1].recno = 0x7EDCBA98;
  EncodeLeaf(leaf, f, old, block);
  ASSERT_TRUE(DecodeNode(block, f, back));
  EXPECT_EQ(back.widths, old);
  EXPECT_EQ(back.entries[1].key, "ALPINE");
  EXPECT_EQ(back.entries[1].recno, 0x7EDCBA98u);
}

TEST(NodeLayout, MalformedNodesAreRejected) {
  KeyFormat f{10, XbKeyType::Character};
  XbCdxNode leaf;
  leaf.attribute = kLeaf | kRoot;
  leaf.entries = {{"ALPHA", 1, 0}, {"BETA", 2, 0}};
  uint8_t good[kNodeSize];
  EncodeLeaf(leaf, f, LeafWidthsFor(10, 2), good);
  XbCdxNode out;
  ASSERT_TRUE(DecodeNode(good, f, out));

  struct Damage {
    const char* what;
    std::function<void(uint8_t*)> apply;
  };
  const Damage damages[] = {
      {"attribute beyond root and leaf", [](uint8_t* b) { b[0] = 4; }},
      {"more entries than the key area holds", [](uint8_t* b) { Put16(b + 2, 200); }},
      {"entries running into the key bytes", [](uint8_t* b) { Put16(b + 2, 150); }},
      {"no bytes per entry", [](uint8_t* b) { b[23] = 0; }},
      {"widths wider than the entry", [](uint8_t* b) { b[20] = 30; }},
      {"first key shares bytes with nothing", [](uint8_t* b) { b[26] |= 0x01; }},
      {"duplicate and trailing counts beyond the key", [](uint8_t* b) { b[26] = 0xFF; }},
      {"interior node over its capacity", [](uint8_t* b) { Put16(b, kRoot); Put16(b + 2, 28); }},
  };
  for (const Damage& d : damages) {
    uint8_t block[kNodeSize];
    std::memcpy(block, good, kNodeSize);
    d.apply(block);
    EXPECT_FALSE(DecodeNode(block, f, out)) << d.what;
  }
}
