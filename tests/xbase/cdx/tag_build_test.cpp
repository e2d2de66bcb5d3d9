// Building tags: the order, unique keys, the fill of the leaves, the header
// and directory entry, notifications, and a new index file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "cdx_test_util.h"
#include "support/temp_dir.h"
#include "test_key_source.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/node_layout.h"
#include "xbase/codepage.h"

namespace {

std::vector<FieldSpec> CardFields() {
  return {{"KAV", 'C', 6}, {"NAC", 'C', 30}, {"PC1", 'N', 12, 2}, {"DAT", 'D', 8}, {"OLD", 'L', 1}};
}

class TagBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(dir.File("CARDS.DBF"), CardFields());
    dbf.Open(dir.File("CARDS.DBF"), XbDbfFile::Options{});
  }
  std::unique_ptr<XbCdxFile> OpenIndex(const std::string& name = "CARDS.CDX") {
    return XbCdxFile::OpenOrCreate(dir.File(name), dbf, TestKeySources(dbf));
  }
  void AddCards(int count) {
    for (int i = 1; i <= count; ++i) {
      char kav[8];
      std::snprintf(kav, sizeof kav, "%06d", (i * 7919) % 100000);
      AppendRow(dbf, {{"KAV", kav}, {"NAC", "NAME " + std::to_string(i % 97)}, {"PC1", std::to_string(i % 50)}});
    }
  }

  TempDir dir;
  XbDbfFile dbf;
};

TEST_F(TagBuild, UniqueTagKeepsTheLowestRecordOfEachKey) {
  for (const char* kav : {"000500", "000200", "000123", "000900", "000100", "000300", "000700", "000123"})
    AppendRow(dbf, {{"KAV", kav}});
  auto cdx = OpenIndex();
  XbCdxTag& kav = cdx->CreateTag("KAV", "KAV", "", true, false);
  EXPECT_EQ(WalkForward(kav), (std::vector<long>{5, 3, 2, 6, 1, 7, 4}));
  EXPECT_EQ(kav.FindFirst("000123", false), 3);
  XbCdxTag& dup = cdx->CreateTag("KAVD", "KAV", "", false, false);
  EXPECT_EQ(WalkForward(dup), (std::vector<long>{5, 3, 8, 2, 6, 1, 7, 4}));
}

TEST_F(TagBuild, UpperCasedNamesFollowTheCzechAlphabet) {
  const Codepage& cp = Codepage::Instance();
  for (const char* name : {"dort", "čaj", "Cukr", "czech", "Čedar", "áda", "Adam", "zelí", "Žito"})
    AppendRow(dbf, {{"NAC", cp.Utf8ToOem(name)}});
  auto cdx = OpenIndex();
  XbCdxTag& nac = cdx->CreateTag("NAC", "UPPER(NAC)", "", false, false);
  // ADAM ÁDA CUKR CZECH ČAJ ČEDAR DORT ZELÍ ŽITO
  EXPECT_EQ(WalkForward(nac), (std::vector<long>{7, 6, 3, 4, 2, 5, 1, 8, 9}));
}

TEST_F(TagBuild, ReportsEveryStepOfTheBuild) {
  AddCards(3);
  AppendRow(dbf, {{"KAV", "1"}, {"OLD", "T"}});
  auto cdx = OpenIndex();
  std::vector<std::tuple<int, long, long>> seen;
  cdx->CreateTag("OLD", "KAV", "OLD", false, false, [&](int a, long b, long c) { seen.emplace_back(a, b, c); });
  using T = std::tuple<int, long, long>;
  EXPECT_EQ(seen, (std::vector<T>{T{-1, 1, 4}, T{1, 1, 0}, T{1, 2, 0}, T{1, 3, 0}, T{1, 4, 0}, T{0, 0, 0},
                                  T{-1, 2, 4}, T{2, 1, 0}, T{0, 0, 0}}));
}

// Leaves take keys while their free bytes stay at least
// 2 × (entry bytes + key length + 8); the levels are linked both ways.
TEST_F(TagBuild, LeavesAreFilledToTheLimitAndLinked) {
  AddCards(3000);
  auto cdx = OpenIndex();
  XbCdxTag& tag = cdx->CreateTag("NAC", "NAC+KAV", "", false, false);
  const cdx::KeyFormat& f = tag.Format();
  cdx::XbCdxNode node = cdx->ReadNode(tag.RootOffset(), f);
  ASSERT_FALSE(node.IsLeaf());
  while (!node.IsLeaf()) node = cdx->ReadNode(node.entries.front().child, f);
  EXPECT_EQ(node.left, cdx::kNoNode);
  const int floor = 2 * (node.widths.entryBytes + f.length + 8);
  int leaves = 1;
  while (node.right != cdx::kNoNode) {
    cdx::XbCdxNode next = cdx->ReadNode(node.right, f);
    EXPECT_EQ(next.left, node.offset);
    EXPECT_GE(node.storedFree, floor);
    EXPECT_LT(node.storedFree - cdx::LeafKeyBytes(&node.entries.back().key, next.entries.front().key, f,
                                                  node.widths.entryBytes),
              floor);
    node = std::move(next);
    ++leaves;
  }
  EXPECT_GT(leaves, 50);
  for (const XbTagReport& r : CheckIndexFile(*cdx)) EXPECT_TRUE(r.Sound()) << r.tag << ": " << r.problems.front();
}

TEST_F(TagBuild, ReplacingATagDropsItsDirectoryEntryAndNeverReusesBlocks) {
  AddCards(200);
  auto cdx = OpenIndex();
  uint32_t first = cdx->CreateTag("KAV", "KAV", "", false, false).HeaderOffset();
  cdx->CreateTag("NAC", "NAC", "", false, false);
  uint64_t size = cdx->Size();
  XbCdxTag& again = cdx->CreateTag("kav ", "NAC+KAV", "", true, true);
  EXPECT_GE(again.HeaderOffset(), size);
  EXPECT_NE(again.HeaderOffset(), first);
  ASSERT_EQ(cdx->Tags().size(), 2u);
  EXPECT_EQ(cdx->Tags()[0]->Name(), "KAV");
  EXPECT_EQ(cdx->Tags()[0]->KeyExpression(), "NAC+KAV");
  EXPECT_TRUE(cdx->Tags()[0]->Unique());
  EXPECT_TRUE(cdx->Tags()[0]->Descending());
  // A fresh open sees the same.
  uint32_t offset = again.HeaderOffset();
  cdx.reset();
  cdx = OpenIndex();
  ASSERT_EQ(cdx->Tags().size(), 2u);
  EXPECT_EQ(cdx->FindTag("kav")->HeaderOffset(), offset);
  for (const XbTagReport& r : CheckIndexFile(*cdx)) EXPECT_TRUE(r.Sound()) << r.tag << ": " << r.problems.front();
}

TEST_F(TagBuild, HeaderAsTheOtherProgramsReadIt) {
  AddCards(5);
  auto cdx = OpenIndex();
  XbCdxTag& tag = cdx->CreateTag("OLD", "KAV", "OLD", true, true);
  std::string file = ReadFile(dir.File("CARDS.CDX"));
  const uint8_t* h = reinterpret_cast<const uint8_t*>(file.data()) + tag.HeaderOffset();
  EXPECT_EQ(cdx::Get32(h), tag.RootOffset());
  EXPECT_EQ(cdx::Get32(h + 4), 0u);
  EXPECT_EQ(cdx::Get16(h + 12), 6u);
  EXPECT_EQ(h[14], 0x60 | 0x01 | 0x08);
  EXPECT_EQ(h[15], 1);
  EXPECT_EQ(cdx::Get16(h + 502), 1u);
  EXPECT_EQ(cdx::Get16(h + 504), 4u);
  EXPECT_EQ(cdx::Get16(h + 506), 4u);
  EXPECT_EQ(cdx::Get16(h + 510), 4u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(h) + 512, 8), std::string("KAV\0OLD\0", 8));
  for (int i = 16; i < 494; ++i) ASSERT_EQ(h[i], 0) << i;
  // The directory header of a new file and its empty root leaf.
  const uint8_t* d = reinterpret_cast<const uint8_t*>(file.data());
  EXPECT_EQ(d[14], 0xE0);
  EXPECT_EQ(cdx::Get16(d + 12), 10u);
  EXPECT_EQ(cdx::Get16(d + 504), 0u);
  EXPECT_EQ(cdx::Get16(d + 506), 1u);
  EXPECT_EQ(cdx::Get16(d + 510), 1u);
}

TEST_F(TagBuild, NewFileGetsAnEmptyDirectory) {
  { std::ofstream(dir.File("CARDS.CDX")).put('x'); }  // 1 byte: new
  auto cdx = XbCdxFile::Open(dir.File("CARDS.CDX"), dbf, TestKeySources(dbf));
  EXPECT_TRUE(cdx->Tags().empty());
  EXPECT_EQ(cdx->Size(), 1536u);
  cdx::XbCdxNode root = cdx->ReadNode(1024, cdx->Directory().Format());
  EXPECT_EQ(root.attribute, cdx::kLeaf | cdx::kRoot);
  EXPECT_EQ(root.storedFree, 488);
  EXPECT_EQ(root.widths, cdx::LeafWidthsFor(10, 1536));
  EXPECT_EQ(root.left, cdx::kNoNode);
  EXPECT_EQ(root.right, cdx::kNoNode);
  // An empty table gives an empty root leaf.
  XbCdxTag& tag = cdx->CreateTag("KAV", "KAV", "", false, false);
  EXPECT_EQ(cdx->ReadNode(tag.RootOffset(), tag.Format()).attribute, cdx::kLeaf | cdx::kRoot);
  EXPECT_EQ(tag.First(), 0);
  EXPECT_TRUE(tag.Eof());
}

TEST_F(TagBuild, StructuralIndexFlagIsSetForTheSameNamedFile) {
  OpenIndex("OTHER.CDX");
  EXPECT_EQ(ReadFile(dir.File("CARDS.DBF"))[28], 0);
  OpenIndex("cards.cdx");
  EXPECT_EQ(ReadFile(dir.File("CARDS.DBF"))[28], 1);
}

TEST_F(TagBuild, RefusesWhatItCannotBuild) {
  CreateTable(dir.File("WIDE.DBF"), {{"TXT", 'C', 241}});
  XbDbfFile wide;
  wide.Open(dir.File("WIDE.DBF"), XbDbfFile::Options{});
  auto cdx = XbCdxFile::OpenOrCreate(dir.File("WIDE.CDX"), wide, TestKeySources(wide));
  EXPECT_EQ(DbfErrorOf([&] { cdx->CreateTag("TXT", "TXT", "", false, false); }),
            "Sort key length must be 1-240 bytes, is 241");
  EXPECT_EQ(DbfErrorOf([&] { cdx->CreateTag("  ", "TXT", "", false, false); }), "Cannot find index tag   ");
  EXPECT_TRUE(cdx->Tags().empty());
}

// A table this big is read and sorted in two halves at once; the tag must be
// the one a single reader builds: equal keys in record order across the
// halves, the lowest record of each key in a unique tag, the filter applied,
// the progress rising to the record count, and a failure in either half
// failing the build with its own message.
TEST_F(TagBuild, ABigTableBuildsAsIfReadInOnePiece) {
  constexpr int kRecords = 60000;
  for (int i = 1; i <= kRecords; ++i)
    AppendRow(dbf, {{"NAC", "NAME " + std::to_string((kRecords - i) % 97)}, {"OLD", i % 3 == 0 ? "T" : "F"}});
  std::vector<long> expected(kRecords);
  for (int i = 0; i < kRecords; ++i) expected[i] = i + 1;
  auto name = [&](long recno) { return "NAME " + std::to_string((kRecords - recno) % 97); };
  std::stable_sort(expected.begin(), expected.end(), [&](long a, long b) { return name(a) < name(b); });

  auto cdx = OpenIndex();
  long last = 0;
  bool rising = true;
  XbCdxTag& all = cdx->CreateTag("NAC", "NAC", "", false, false, [&](int stage, long n, long) {
    if (stage != 1) return;
    rising = rising && n >= last;
    last = n;
  });
  EXPECT_EQ(WalkForward(all), expected);
  EXPECT_TRUE(rising);
  EXPECT_EQ(last, kRecords);

  std::vector<long> firsts, filtered;
  for (long r : expected) {
    if (firsts.empty() || name(firsts.back()) != name(r)) firsts.push_back(r);
    if (r % 3 == 0) filtered.push_back(r);
  }
  EXPECT_EQ(WalkForward(cdx->CreateTag("NACU", "NAC", "", true, false)), firsts);
  EXPECT_EQ(WalkForward(cdx->CreateTag("NACO", "NAC", "OLD", false, false)), filtered);
  for (const XbTagReport& r : CheckIndexFile(*cdx)) EXPECT_TRUE(r.Sound()) << r.tag;

  // A key source that fails at one record.
  class FailingAt : public XbKeySource {
   public:
    explicit FailingAt(long recno) : recno_(recno) {}
    XbKeyType Type() const override { return XbKeyType::Character; }
    int Length() const override { return 4; }
    bool HasFilter() const override { return false; }
    std::string Key(const char*, long recno) const override {
      if (recno == recno_) ThrowDbf("Key of record %s", {std::to_string(recno)});
      return "KEY";
    }
    bool Includes(const char*, long) const override { return true; }

   private:
    long recno_;
  };
  for (long failing : {long{kRecords - 10}, 10L}) {
    auto failingIndex = XbCdxFile::OpenOrCreate(dir.File("FAIL.CDX"), dbf, [&](const std::string&, const std::string&) {
      return std::make_unique<FailingAt>(failing);
    });
    EXPECT_EQ(DbfErrorOf([&] { failingIndex->CreateTag("F", "X", "", false, false); }),
              "Key of record " + std::to_string(failing));
  }
}

// The directory's entries widen with the index file: past 16 MB they take
// five bytes, with the record number in 32 bits and the counts above it.
TEST(TagBuildLarge, DirectoryOfAFilePast16MegabytesUsesFiveByteEntries) {
  TempDir dir;
  CreateTable(dir.File("TEXTS.DBF"), {{"TXT", 'C', 240}, {"KAV", 'C', 6}});
  XbDbfFile dbf;
  dbf.Open(dir.File("TEXTS.DBF"), XbDbfFile::Options{});
  uint64_t seed = 88172645463325252ull;
  for (int i = 0; i < 70000; ++i) {
    std::string text(240, ' ');
    for (char& c : text) {
      seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17;
      c = static_cast<char>('A' + seed % 26);
    }
    AppendRow(dbf, {{"TXT", text}});
  }
  auto cdx = XbCdxFile::OpenOrCreate(dir.File("TEXTS.CDX"), dbf, TestKeySources(dbf));
  cdx->CreateTag("TXT", "TXT", "", false, false);
  cdx->CreateTag("KAV", "KAV", "", false, false);  // the directory is written again, now past 16 MB
  ASSERT_GT(cdx->Size(), 16u << 20);
  // The directory header's first four bytes point at its root, a leaf.
  std::ifstream in(dir.File("TEXTS.CDX"), std::ios::binary);
  uint8_t head[4], leaf[512];
  in.read(reinterpret_cast<char*>(head), 4);
  in.seekg(cdx::Get32(head));
  in.read(reinterpret_cast<char*>(leaf), 512);
  ASSERT_TRUE(in);
  EXPECT_EQ(leaf[0] & cdx::kLeaf, cdx::kLeaf);
  EXPECT_EQ(cdx::Get32(leaf + 14), 0xFFFFFFFFu);  // record-number mask
  EXPECT_EQ(leaf[20], 32);                         // record-number bits
  EXPECT_EQ(leaf[21] + leaf[22], 8);               // duplicate + trailing bits
  EXPECT_EQ(leaf[23], 5);                          // bytes per entry
  // "KAV" then "TXT": each entry's top byte holds its trailing and duplicate counts.
  EXPECT_EQ(leaf[24 + 4], 7 << 4 | 0);
  EXPECT_EQ(leaf[29 + 4], 7 << 4 | 0);
  for (const XbTagReport& r : CheckIndexFile(*cdx)) EXPECT_TRUE(r.Sound()) << r.tag;
}

}  // namespace
