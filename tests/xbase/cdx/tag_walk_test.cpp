// Seeking and walking a tag: the prefix rules, ranges, descending tags, and
// a walk that goes on across key upkeep.
#include <gtest/gtest.h>

#include "cdx_test_util.h"
#include "support/temp_dir.h"
#include "test_key_source.h"
#include "xbase/cdx/index_set.h"

namespace {

class TagWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(dir.File("V.DBF"), {{"KAV", 'C', 6}, {"IND", 'C', 3}, {"PC1", 'N', 12, 4}});
    dbf.Open(dir.File("V.DBF"), XbDbfFile::Options{});
    // Records 1..7.
    const std::pair<const char*, const char*> rows[] = {{"000123", "01"}, {"000123", "A1"}, {"000122", "99"},
                                                        {"000123", "000"}, {"000124", "00"}, {"000123", "999"},
                                                        {"000123", "01"}};
    const char* prices[] = {"12.0625", "-2.5", "0", "-2", "1.25", "12.0625", "100"};
    for (size_t i = 0; i < std::size(rows); ++i)
      AppendRow(dbf, {{"KAV", rows[i].first}, {"IND", rows[i].second}, {"PC1", prices[i]}});
    set = std::make_unique<XbIndexSet>(dbf, TestKeySources(dbf));
    cdx = &set->OpenOrCreate("V");
    kav = &cdx->CreateTag("KAV", "KAV+IND", "", false, false);
    pc1 = &cdx->CreateTag("PC1", "PC1", "", false, false);
    desc = &cdx->CreateTag("DESC", "KAV+IND", "", false, true);
  }

  TempDir dir;
  XbDbfFile dbf;
  std::unique_ptr<XbIndexSet> set;
  XbCdxFile* cdx = nullptr;
  XbCdxTag *kav = nullptr, *pc1 = nullptr, *desc = nullptr;
};

TEST_F(TagWalk, FindWithThePrefixRules) {
  // Order: 000122 99 (3), 000123 000 (4), 01 (1), 01 (7), 999 (6), A1 (2), 000124 00 (5).
  EXPECT_EQ(WalkForward(*kav), (std::vector<long>{3, 4, 1, 7, 6, 2, 5}));
  EXPECT_EQ(kav->FindFirst("00012301 ", false), 1);  // trailing blanks do not count
  EXPECT_EQ(kav->FindLast("00012301", false), 7);
  EXPECT_EQ(kav->FindFirst("0001230", true), 4);
  EXPECT_EQ(kav->FindLast("0001230", true), 7);
  EXPECT_EQ(kav->FindLast("0001230", false), 0);  // no key equals it exactly
  EXPECT_TRUE(kav->Eof());
  EXPECT_EQ(kav->FindFirst("0001239A", false), 2);  // the first key above
  EXPECT_EQ(kav->FindFirst("9", false), 0);
  EXPECT_TRUE(kav->Eof());
  EXPECT_EQ(kav->Previous(), 5);  // from the end the walk goes back to the last key

  EXPECT_EQ(WalkForward(*pc1), (std::vector<long>{2, 4, 3, 5, 1, 6, 7}));
  std::string twelve = *cdx::SearchKeyFromText("12", XbKeyType::Numeric);
  EXPECT_EQ(pc1->FindFirst(twelve, true), 1);  // 12.0625 begins with the key of 12
  EXPECT_EQ(pc1->FindLast(twelve, true), 6);
  EXPECT_EQ(pc1->FindLast(twelve, false), 0);
}

TEST_F(TagWalk, RangesKeepTheWalkInside) {
  EXPECT_TRUE(kav->SetRange("000123000", "000123999"));
  EXPECT_EQ(kav->Current(), 4);
  EXPECT_EQ(WalkForward(*kav), (std::vector<long>{4, 1, 7, 6}));  // A1 lies outside
  EXPECT_TRUE(kav->Eof());
  EXPECT_EQ(WalkBackward(*kav), (std::vector<long>{6, 7, 1, 4}));
  EXPECT_TRUE(kav->Bof());
  EXPECT_FALSE(kav->SetRange("000123000", "000123999"));  // the same bounds: nothing happens
  EXPECT_EQ(kav->FindFirst("000122", true), 0);  // found, but outside the range
  EXPECT_TRUE(kav->Eof());
  EXPECT_EQ(kav->FindFirst("00012301", false), 1);

  // A card number as both bounds on longer keys: the low bound takes the
  // keys that begin with it, the exact high bound puts them above.
  kav->SetRange("000123", "000123");
  EXPECT_EQ(kav->First(), 0);
  kav->SetRange("000123", "000123", true, true, cdx::PrefixRule::Partial);
  EXPECT_EQ(WalkForward(*kav).size(), 5u);
  kav->SetRange("00012301", std::nullopt, false);  // low bound excluded
  EXPECT_EQ(WalkForward(*kav), (std::vector<long>{6, 2, 5}));
  kav->ClearRange();
  EXPECT_EQ(WalkForward(*kav).size(), 7u);
}

TEST_F(TagWalk, DescendingTagWalksInReverse) {
  EXPECT_EQ(WalkForward(*desc), (std::vector<long>{5, 2, 6, 7, 1, 4, 3}));
  EXPECT_EQ(desc->FindFirst("00012301", false), 7);   // first in the reverse order
  EXPECT_EQ(desc->FindLast("00012301", false), 1);
  EXPECT_EQ(desc->FindFirst("0001239A", false), 6);   // the next key below
  EXPECT_EQ(desc->Next(), 7);
  desc->SetRange("000123", "000123999");
  EXPECT_EQ(WalkForward(*desc), (std::vector<long>{6, 7, 1, 4}));
  EXPECT_TRUE(desc->Eof());
}

TEST_F(TagWalk, WalkGoesOnAcrossKeyUpkeep) {
  ASSERT_TRUE(kav->GoToKey("00012301", 1));
  UpdateRow(dbf, 1, {{"IND", "B"}});    // the current entry moves away
  EXPECT_EQ(kav->Next(), 7);
  AppendRow(dbf, {{"KAV", "000123"}, {"IND", "02"}});  // record 8 right after the current entry
  EXPECT_EQ(kav->Next(), 8);
  EXPECT_EQ(kav->Next(), 6);
  EXPECT_EQ(kav->Previous(), 8);
  dbf.GoTo(2);
  ASSERT_TRUE(kav->GoToRecord(dbf.Buffer(), 2));
  EXPECT_EQ(kav->CurrentKey(), "000123A1");
  EXPECT_EQ(kav->Next(), 1);
  EXPECT_EQ(kav->Next(), 5);
}

}  // namespace
