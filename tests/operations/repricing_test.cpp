// Repricing documents on a store's real files: numbering, header, items,
// journal rows, the card's new prices.

#include "operations/repricing.h"

#include <gtest/gtest.h>

#include "chain_fixture.h"
#include "operations/journal.h"
#include "support/lock_holder.h"
#include "support/recording_ui.h"
#include "xbase/errors.h"

using namespace chain;

namespace {

class RepricingTest : public ::testing::Test {
 protected:
  void Make(Store s) {
    chain_.Master({}, {});
    chain_.AddStore(s);
    chain_.StoreList();
    chain_.Bind(data_);
    chain_.OpenStore(data_, s.code);
    time_.Now = [] { return TClockReading{XbDate{2026, 12, 10}, 14, 5, 33}; };
  }
  std::vector<ReadRow> Rows(const char* object) { return ReadTable(chain_.StoreFile("0001", object)); }

  Chain chain_;
  RecordingUi ui_;
  TData data_{ui_};
  TTimeSettings time_;
};

// Three variants agreeing with their journal; price 1 from 100 to 110.
Store ThreeVariants() {
  Store s;
  s.cards = {Card("000100", {100, 90, 80, 70, 60}, 21, {{"SOR_SKL", false}}),
             Card("000200", {5, 5, 5, 5, 5}, 15)};
  s.variants = {Variant("000100", "001", 0, 10), Variant("000100", "002", 0, 0), Variant("000100", "003", 0, -2),
                Variant("000200", "001", 0, 3)};
  s.journal = {Journal(1, "000100", "001", 10, 10), Journal(2, "000100", "003", -2, -2),
               Journal(3, "000200", "001", 3, 3)};
  s.cisDen = 3;
  s.cisPrc = "0000000125";
  return s;
}

TEST_F(RepricingTest, OneDocumentWithItemsAndJournalRowsPerVariant) {
  Make(ThreeVariants());
  TJournal journal(data_, time_);
  TRepricing repricing(data_, journal);
  ASSERT_TRUE(repricing.OpenDocument());
  EXPECT_EQ(repricing.DocumentNumber(), "0000000126");
  EXPECT_EQ(Rows("Ciselnik").at(0)["CIS_PRC"], "126");
  EXPECT_TRUE(repricing.PrecenKartu("0000000126", "000100", 110, 90, 80, 70, 60));
  // A second card in the same document: only price 3 differs.
  repricing.ResumeDocument();
  EXPECT_TRUE(repricing.PrecenKartu("0000000126", "000200", 5, 5, 4.5, 5, 5));

  std::vector<ReadRow> items = Rows("PrecPol");
  ASSERT_EQ(items.size(), 4u);
  const double zpc[] = {100, 0, -20, 0};
  const double kus[] = {10, 0, -2, 3};
  const char* ind[] = {"001", "002", "003", "001"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items[i]["PRP_DO1"], "0000000126");
    EXPECT_EQ(items[i]["PRP_KAV"], i < 3 ? "000100" : "000200");
    EXPECT_EQ(items[i]["PRP_IND"], ind[i]);
    EXPECT_EQ(Num(items[i], "PRP_ZPC"), zpc[i]);
    EXPECT_EQ(Num(items[i], "PRP_KUS"), kus[i]);
    EXPECT_EQ(items[i]["PRP_DAT"], "10.12.2026");
    EXPECT_EQ(items[i]["PRP_KDY"], "14:05");
    EXPECT_EQ(items[i]["PRP_OPE"], "");
  }
  EXPECT_EQ(Num(items[0], "PRP_PS1"), 100);
  EXPECT_EQ(Num(items[0], "PRP_PC1"), 110);
  EXPECT_EQ(Num(items[0], "PRP_PS5"), 60);
  EXPECT_EQ(Num(items[0], "PRP_DPH"), 21);
  EXPECT_EQ(Num(items[3], "PRP_PS3"), 5);
  EXPECT_EQ(Num(items[3], "PRP_PC3"), 4.5);
  EXPECT_EQ(Num(items[3], "PRP_DPH"), 15);

  std::vector<ReadRow> journalRows = Rows("Denik");
  ASSERT_EQ(journalRows.size(), 7u);
  for (int i = 0; i < 4; ++i) {
    ReadRow& r = journalRows[3 + i];
    EXPECT_EQ(r["DEN_OPE"], "010");
    EXPECT_EQ(r["DEN_DOK"], "0000000126");
    EXPECT_EQ(Num(r, "DEN_HPC"), zpc[i]);
    EXPECT_EQ(Num(r, "DEN_RAD"), 4 + i);
  }
  std::vector<ReadRow> headers = Rows("PrecHlav");
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_EQ(headers[0]["PRH_DO1"], "0000000126");
  EXPECT_EQ(headers[0]["PRH_DAT"], "10.12.2026");
  EXPECT_EQ(Num(headers[0], "PRH_ZPC"), 80);
  EXPECT_EQ(headers[0]["PRH_KDY"], "");

  std::vector<ReadRow> cards = Rows("Sortiment");
  EXPECT_EQ(Num(cards[0], "SOR_PC1"), 110);
  EXPECT_EQ(cards[0]["SOR_SKL"], "T");
  EXPECT_EQ(Num(cards[1], "SOR_PC3"), 4.5);
  EXPECT_TRUE(ui_.messages.empty());

  // The header stays locked for the store while the document is open.
  std::string prh = chain_.StoreFile("0001", "PrecHlav");
  XbLockRegion header = ShopRecordRegion(prh, TXbLockProtocol::ClipLock, 1, true);
  EXPECT_FALSE(OtherProcessCanLock(prh, header.offset, header.length));
  data_.PrecHlav.Close();
  EXPECT_TRUE(OtherProcessCanLock(prh, header.offset, header.length));
  data_.Sortiment.Close();
  data_.Sklad.Close();
  data_.Denik.Close();
  data_.PrecPol.Close();
  EXPECT_EQ(chain_.CheckIndexes(), "");
}

TEST_F(RepricingTest, ACardWithoutVariantsGetsItsPricesAndNoItem) {
  Store s;
  s.cards = {Card("000100", {10, 10, 10, 10, 10})};
  Make(s);
  TJournal journal(data_, time_);
  TRepricing repricing(data_, journal);
  ASSERT_TRUE(repricing.OpenDocument());
  EXPECT_EQ(repricing.DocumentNumber(), "0000000001");
  EXPECT_TRUE(repricing.PrecenKartu(repricing.DocumentNumber(), "000100", 12, 11, 10, 10, 10));
  EXPECT_TRUE(Rows("PrecPol").empty());
  EXPECT_TRUE(Rows("Denik").empty());
  EXPECT_EQ(Num(Rows("PrecHlav").at(0), "PRH_ZPC"), 0);
  EXPECT_EQ(Num(Rows("Sortiment").at(0), "SOR_PC1"), 12);
  EXPECT_EQ(Num(Rows("Sortiment").at(0), "SOR_PC2"), 11);
  EXPECT_EQ(Rows("Sortiment").at(0)["SOR_SKL"], "T");
  // A card that is not in the store changes nothing.
  EXPECT_TRUE(repricing.PrecenKartu(repricing.DocumentNumber(), "000999", 1, 1, 1, 1, 1));
  EXPECT_EQ(Rows("Sortiment").size(), 1u);
}

TEST_F(RepricingTest, CounterHeldByAShopProgramOpensNoDocument) {
  Make(ThreeVariants());
  std::string cis = chain_.StoreFile("0001", "Ciselnik");
  XbLockRegion region = ShopRecordRegion(cis, TXbLockProtocol::ClipLock, 1, false);
  {
    LockHolder shop(cis, region.offset, region.length, -1);
    ASSERT_TRUE(shop.Locked());
    TJournal journal(data_, time_);
    TRepricing repricing(data_, journal);
    EXPECT_FALSE(repricing.OpenDocument());
    EXPECT_FALSE(repricing.DocumentOpen());
    EXPECT_FALSE(data_.Ciselnik.Active());
  }
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Nelze zamknout zaznam v tabulce Cis0001.dbf"});
  EXPECT_EQ(Rows("Ciselnik").at(0)["CIS_PRC"], "0000000125");
  EXPECT_TRUE(Rows("PrecHlav").empty());
}

TEST_F(RepricingTest, ACounterThatHoldsNoNumberEndsWithTheConversionError) {
  Store s = ThreeVariants();
  s.cisPrc = "";
  Make(s);
  TJournal journal(data_, time_);
  TRepricing repricing(data_, journal);
  try {
    repricing.OpenDocument();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
  EXPECT_FALSE(data_.Ciselnik.Active());
  EXPECT_TRUE(Rows("PrecHlav").empty());
  std::string cis = chain_.StoreFile("0001", "Ciselnik");
  XbLockRegion region = ShopRecordRegion(cis, TXbLockProtocol::ClipLock, 1, false);
  EXPECT_TRUE(OtherProcessCanLock(cis, region.offset, region.length));
}

}  // namespace
