// Key upkeep after appends and updates, through the table's index set.
#include <gtest/gtest.h>

#include <cstring>

#include "cdx_test_util.h"
#include "support/temp_dir.h"
#include "test_key_source.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/index_set.h"

namespace {

void ExpectSound(XbCdxFile& cdx) {
  for (const XbTagReport& r : CheckIndexFile(cdx)) {
    EXPECT_TRUE(r.Sound()) << r.tag << ": " << r.problems.front();
    if (!r.tag.empty()) {
      EXPECT_TRUE(r.contentChecked) << r.tag << ": " << r.note;
    }
  }
}

class KeyUpkeep : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(dir.File("CARDS.DBF"), {{"KAV", 'C', 6}, {"NAC", 'C', 30}, {"PC1", 'N', 12, 2}, {"OLD", 'L', 1}});
    dbf.Open(dir.File("CARDS.DBF"), XbDbfFile::Options{});
  }
  // Builds the tags over what the table holds, then keeps them current.
  XbCdxFile& Index(const std::vector<std::tuple<const char*, const char*, const char*, bool>>& tags) {
    set = std::make_unique<XbIndexSet>(dbf, TestKeySources(dbf));
    XbCdxFile& cdx = set->OpenOrCreate("CARDS");
    for (const auto& [name, key, filter, unique] : tags) cdx.CreateTag(name, key, filter, unique, false);
    return cdx;
  }

  TempDir dir;
  XbDbfFile dbf;
  std::unique_ptr<XbIndexSet> set;
};

TEST_F(KeyUpkeep, UniqueTagKeepsItsEntryUntilRebuilt) {
  for (const char* kav : {"000500", "000200", "000123", "000900", "000100", "000300", "000700", "000123"})
    AppendRow(dbf, {{"KAV", kav}});
  XbCdxFile& cdx = Index({{"KAV", "KAV", "", true}});
  XbCdxTag& kav = *cdx.FindTag("KAV");
  UpdateRow(dbf, 3, {{"KAV", "000124"}});
  EXPECT_EQ(kav.FindFirst("000124", false), 3);
  EXPECT_EQ(kav.FindFirst("000123", false), 3);  // the first key not below: 000124
  EXPECT_EQ(kav.FindLast("000123", false), 0);    // record 8 stays out
  // A record taking a key already present stays out as well.
  UpdateRow(dbf, 1, {{"KAV", "000100"}});
  EXPECT_EQ(kav.FindLast("000100", false), 5);
  AppendRow(dbf, {{"KAV", "000555"}});
  EXPECT_EQ(kav.FindFirst("000555", false), 9);
  std::vector<XbTagReport> reports = CheckIndexFile(cdx);
  EXPECT_TRUE(reports[1].Sound()) << reports[1].problems.front();
  EXPECT_EQ(reports[1].differences.size(), 2u);  // 000123 (record 8), 000100 (record 1)
}

TEST_F(KeyUpkeep, UpdateWithoutKeyChangeWritesNothing) {
  for (int i = 0; i < 50; ++i) AppendRow(dbf, {{"KAV", std::to_string(100000 + i)}, {"NAC", "X"}, {"PC1", "1"}});
  XbCdxFile& cdx = Index({{"KAV", "KAV", "", true}, {"NAC", "UPPER(NAC)", "", false}, {"PC1", "PC1", "", false}});
  std::string before = ReadFile(cdx.FileName());
  uint32_t counter = cdx.ChangeCounter();
  UpdateRow(dbf, 7, {{"OLD", "T"}, {"NAC", "x"}});  // UPPER(NAC) is the same
  EXPECT_EQ(ReadFile(cdx.FileName()), before);
  UpdateRow(dbf, 7, {{"PC1", "2"}});
  EXPECT_EQ(cdx.ChangeCounter(), counter + 1);
  EXPECT_EQ(cdx.FindTag("PC1")->Last(), 7);
  ExpectSound(cdx);
}

TEST_F(KeyUpkeep, FilteredTagTakesAndLosesRecords) {
  for (int i = 1; i <= 6; ++i) AppendRow(dbf, {{"KAV", std::to_string(i)}, {"OLD", i % 2 ? "T" : "F"}});
  XbCdxFile& cdx = Index({{"OLD", "KAV", "OLD", false}});
  XbCdxTag& old = *cdx.FindTag("OLD");
  EXPECT_EQ(WalkForward(old), (std::vector<long>{1, 3, 5}));
  UpdateRow(dbf, 2, {{"OLD", "T"}});
  UpdateRow(dbf, 3, {{"OLD", "F"}});
  AppendRow(dbf, {{"KAV", "0"}, {"OLD", "T"}});
  AppendRow(dbf, {{"KAV", "9"}, {"OLD", "F"}});
  EXPECT_EQ(WalkForward(old), (std::vector<long>{7, 1, 2, 5}));
  ExpectSound(cdx);
}

// A root leaf that overflows keeps its offset and becomes an interior root
// over the two halves.
TEST_F(KeyUpkeep, RootSplitKeepsTheRootOffset) {
  XbCdxFile& cdx = Index({{"NAC", "NAC", "", false}});
  XbCdxTag& nac = *cdx.FindTag("NAC");
  uint32_t root = nac.RootOffset();
  int appended = 0;
  while (cdx.ReadNode(root, nac.Format()).IsLeaf()) {
    AppendRow(dbf, {{"NAC", "NAME NUMBER " + std::to_string(1000 - appended)}});
    ++appended;
  }
  cdx::XbCdxNode top = cdx.ReadNode(root, nac.Format());
  EXPECT_EQ(top.attribute, cdx::kRoot);
  ASSERT_EQ(top.entries.size(), 2u);
  // The keys from the start of the leaf, while their running size stays
  // below 250 bytes, went to the left half.
  cdx::XbCdxNode left = cdx.ReadNode(top.entries[0].child, nac.Format());
  cdx::XbCdxNode right = cdx.ReadNode(top.entries[1].child, nac.Format());
  int entry = left.widths.entryBytes;
  int leftBytes = cdx::LeafUsedBytes(left.entries, nac.Format(), entry);
  EXPECT_LT(leftBytes, 250);
  EXPECT_GE(leftBytes + cdx::LeafKeyBytes(&left.entries.back().key, right.entries.front().key, nac.Format(), entry), 250);
  EXPECT_EQ(left.right, right.offset);
  EXPECT_EQ(right.left, left.offset);
  std::string file = ReadFile(cdx.FileName());
  EXPECT_EQ(cdx::Get32(reinterpret_cast<const uint8_t*>(file.data()) + nac.HeaderOffset()), root);
  EXPECT_EQ(static_cast<int>(WalkForward(nac).size()), appended);
  ExpectSound(cdx);
}

// Leaves written by other programs may be full to the last byte; the first
// insert splits them.
TEST_F(KeyUpkeep, FullLeafOfAnotherProgramSplitsOnFirstInsert) {
  XbDbfFile big;
  big.Open(CopyInto(dir.Path(), PeerFile("BIG.DBF"), "BIG.DBF"), XbDbfFile::Options{});
  CopyInto(dir.Path(), PeerFile("BIG.CDX"), "BIG.CDX");
  XbIndexSet bigSet(big, TestKeySources(big));
  XbCdxFile& cdx = bigSet.Open("BIG");
  XbCdxTag& key = *cdx.FindTag("KEY");
  cdx::XbCdxNode node = cdx.ReadNode(key.RootOffset(), key.Format());
  while (!node.IsLeaf()) node = cdx.ReadNode(node.entries.front().child, key.Format());
  while (node.storedFree != 0) node = cdx.ReadNode(node.right, key.Format());
  std::string full = node.entries[1].key;
  uint32_t fullOffset = node.offset;
  AppendRow(big, {{"KEY", full}, {"NUM", "0"}});
  EXPECT_EQ(key.FindLast(full, false), 70001);
  EXPECT_LT(cdx.ReadNode(fullOffset, key.Format()).entries.size(), node.entries.size());
  ExpectSound(cdx);
}

// When the table grows past what a leaf's record-number field can hold, the
// leaves written from then on get wider entries.
TEST_F(KeyUpkeep, RecordNumberFieldWidensPastTheMask) {
  CreateTable(dir.File("MANY.DBF"), {{"NAC", 'C', 30}});
  {
    // 16383 records: the mask of a 30-byte key with 3-byte entries.
    std::ofstream out(dir.File("MANY.DBF"), std::ios::binary | std::ios::app);
    std::string record(31, ' ');
    for (int i = 1; i <= 16383; ++i) {
      std::snprintf(record.data() + 1, 30, "%029d", i % 1000);
      record[30] = ' ';
      out.write(record.data(), 31);
    }
  }
  XbDbfFile many;
  many.Open(dir.File("MANY.DBF"), XbDbfFile::Options{});
  XbIndexSet manySet(many, TestKeySources(many));
  XbCdxFile& cdx = manySet.OpenOrCreate("MANY");
  XbCdxTag& nac = cdx.CreateTag("NAC", "NAC", "", false, false);
  AppendRow(many, {{"NAC", "00000000000000000000000000999"}});
  ASSERT_EQ(nac.FindLast("00000000000000000000000000999", false), 16384);
  cdx::XbCdxNode root = cdx.ReadNode(nac.RootOffset(), nac.Format());
  cdx::XbCdxNode leaf = root;
  while (!leaf.IsLeaf()) leaf = cdx.ReadNode(leaf.entries.back().child, nac.Format());
  EXPECT_EQ(leaf.widths.entryBytes, 4);
  EXPECT_EQ(leaf.widths.recnoBits, 22);
  ExpectSound(cdx);
}

// A tag whose keys this engine cannot reproduce is read but never written:
// a write that would change it is refused before anything is written.
TEST_F(KeyUpkeep, TagOfForeignCollationRefusesWritesThatWouldChangeIt) {
  XbDbfFile sor;
  sor.Open(CopyInto(dir.Path(), PeerFile("SOR0000.DBF"), "SOR0000.DBF"), XbDbfFile::Options{});
  std::string cdxPath = CopyInto(dir.Path(), PeerFile("SOR0000.CDX"), "SOR0000.CDX");
  uint32_t nacHeader;
  {
    XbDbfFile probe;
    probe.Open(dir.File("SOR0000.DBF"), XbDbfFile::Options{});
    nacHeader = XbCdxFile::Open(cdxPath, probe, TestKeySources(probe))->FindTag("NAC")->HeaderOffset();
  }
  {
    std::fstream f(cdxPath, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(nacHeader + 494);
    f.write("GENERAL", 7);
  }
  XbIndexSet sorSet(sor, TestKeySources(sor));
  XbCdxFile& cdx = sorSet.Open("SOR0000");
  XbCdxTag& nac = *cdx.FindTag("NAC");
  EXPECT_FALSE(nac.Maintainable());
  EXPECT_EQ(WalkForward(nac), ReadManifest(PeerFile("SOR0000.NAC.txt")));

  UpdateRow(sor, 10, {{"SOR_PC2", "12.5"}});  // NAC keeps its key: allowed
  std::string before = ReadFile(dir.File("SOR0000.DBF"));
  std::string message = DbfErrorOf([&] { UpdateRow(sor, 10, {{"SOR_NAC", "ANOTHER NAME"}}); });
  EXPECT_EQ(message, "Index tag NAC of file " + cdxPath + " cannot be updated: its keys use the collation GENERAL");
  EXPECT_NE(DbfErrorOf([&] { AppendRow(sor, {{"SOR_KAV", "999999"}}); }), "");
  EXPECT_EQ(ReadFile(dir.File("SOR0000.DBF")), before);
}

}  // namespace
