// The transfer to the stores on real files: what lands in each store and in
// the master's store columns, the stores it skips, the locks of a shop
// program, and an error that ends it.

#include "operations/transfer.h"

#include <gtest/gtest.h>

#include <memory>

#include "chain_fixture.h"
#include "support/lock_holder.h"
#include "support/recording_ui.h"

using namespace chain;

namespace {

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override { time_.Now = [] { return TClockReading{XbDate{2026, 12, 10}, 14, 5, 33}; }; }

  // Master: 000100 (prices as store), 000200 and 000300 (price 1 raised),
  // 000400 (in no store). Variants of 000100: 001, 999, A1; 000200: 001;
  // 000400: 001.
  void MakeMaster() {
    chain_.Master({Card("000100", {10, 9, 8, 7, 6}, 21, {{"SOR_POZ", "nová poznámka"}, {"SOR_SKL", true}, {"SOR_S02", 11}}),
                   Card("000200", {22, 20, 20, 20, 20}), Card("000300", {33, 30, 30, 30, 30}),
                   Card("000400", {44, 40, 40, 40, 40}, 15,
                        {{"SOR_EAN", "8590000000001"}, {"SOR_S01", 11}, {"SOR_S02", 11}})},
                  {MasterVariant("000100", "001", {{"SKL_POZ", "modrá"}, {"SKL_S01", 77}}),
                   MasterVariant("000100", "999", {{"SKL_SNC", 4.5}}), MasterVariant("000100", "A1"),
                   MasterVariant("000200", "001"), MasterVariant("000400", "001", {{"SKL_SNC", 12.0}})});
  }
  // A store holding 000100, 000200 and 000300 with stock and journal.
  Store MakeStore(const std::string& code, const std::string& cisPrc) {
    Store s;
    s.code = code;
    s.name = "Prodejna " + code;
    s.cards = {Card("000100", {10, 9, 8, 7, 6}, 21, {{"SOR_STA", 5}, {"SOR_POZ", "stará"}}),
               Card("000200", {20, 20, 20, 20, 20}, 21, {{"SOR_STA", 3}}),
               Card("000300", {30, 30, 30, 30, 30}, 21, {{"SOR_STA", 0}})};
    s.variants = {Variant("000100", "001", 5, 5), Variant("000200", "001", 0, 3)};
    s.journal = {Journal(1, "000200", "001", 3, 3)};
    s.cisDen = 1;
    s.cisPrc = cisPrc;
    return s;
  }
  bool Run() {
    chain_.Bind(data_);
    TTransfer transfer(data_, time_);
    transfer.DetachBrowseView = [this] { events_.push_back("detach"); };
    transfer.AttachBrowseView = [this] { events_.push_back("attach"); };
    bool done = transfer.Button5Click();
    summaries_ = transfer.summaries;
    return done;
  }
  std::vector<ReadRow> Rows(const std::string& code, const char* object) {
    return ReadTable(chain_.StoreFile(code, object));
  }
  ReadRow StoreCard(const std::string& code, const std::string& kav) {
    return Where(Rows(code, "Sortiment"), "SOR_KAV", kav).at(0);
  }
  ReadRow MasterCard(const std::string& kav) {
    return Where(ReadTable(chain_.MasterFile("Sor0000")), "SOR_KAV", kav).at(0);
  }

  Chain chain_;
  RecordingUi ui_;
  TData data_{ui_};
  TTimeSettings time_;
  std::vector<std::string> events_;
  std::vector<TStoreSummary> summaries_;
};

TEST_F(TransferTest, EveryStoreGetsTheCatalogueAndGivesBackItsStock) {
  MakeMaster();
  chain_.AddStore(MakeStore("0001", "0000000125"));
  chain_.AddStore(MakeStore("0002", "41"));
  chain_.StoreList();
  ASSERT_TRUE(Run());
  EXPECT_TRUE(ui_.messages.empty()) << ui_.Texts().front();
  EXPECT_EQ(events_, (std::vector<std::string>{"detach", "attach"}));

  for (const auto& [code, document, column] :
       {std::tuple{"0001", "0000000126", "01"}, std::tuple{"0002", "0000000042", "02"}}) {
    SCOPED_TRACE(code);
    // Same prices: descriptive fields only, no document entry.
    ReadRow same = StoreCard(code, "000100");
    EXPECT_EQ(same["SOR_POZ"], "nová poznámka");
    EXPECT_EQ(same["SOR_SKL"], "T");
    EXPECT_EQ(Num(same, "SOR_STA"), 5);
    // Two differing cards under one document.
    std::vector<ReadRow> items = Rows(code, "PrecPol");
    ASSERT_EQ(items.size(), 1u);  // 000300 has no variant in the store
    EXPECT_EQ(items[0]["PRP_KAV"], "000200");
    EXPECT_EQ(items[0]["PRP_DO1"], document);
    EXPECT_EQ(Num(items[0], "PRP_ZPC"), 6);
    std::vector<ReadRow> headers = Rows(code, "PrecHlav");
    ASSERT_EQ(headers.size(), 1u);
    EXPECT_EQ(headers[0]["PRH_DO1"], document);
    EXPECT_EQ(Num(headers[0], "PRH_ZPC"), 6);
    EXPECT_EQ(Num(StoreCard(code, "000200"), "SOR_PC1"), 22);
    EXPECT_EQ(Num(StoreCard(code, "000300"), "SOR_PC1"), 33);
    std::vector<ReadRow> journal = Rows(code, "Denik");
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(journal[1]["DEN_DOK"], document);
    EXPECT_EQ(Num(journal[1], "DEN_RAD"), 2);
    // The card missing in the store is created with the master's prices and VAT.
    ReadRow created = StoreCard(code, "000400");
    EXPECT_EQ(Num(created, "SOR_PC1"), 44);
    EXPECT_EQ(Num(created, "SOR_PC5"), 40);
    EXPECT_EQ(Num(created, "SOR_DAN"), 15);
    EXPECT_EQ(created["SOR_EAN"], "8590000000001");
    // Variants: present gets the note, missing ones are created, "A1" is not transferred.
    std::vector<ReadRow> variants = Rows(code, "Sklad");
    EXPECT_EQ(Where(variants, "SKL_KAV", "000100").size(), 2u);
    EXPECT_EQ(Where(variants, "SKL_IND", "A1").size(), 0u);
    EXPECT_EQ(Where(Where(variants, "SKL_KAV", "000100"), "SKL_IND", "001").at(0)["SKL_POZ"], "modrá");
    ReadRow v999 = Where(variants, "SKL_IND", "999").at(0);
    EXPECT_EQ(Num(v999, "SKL_SNC"), 4.5);
    EXPECT_EQ(v999["SKL_MEN"], "CZK");
    EXPECT_EQ(Num(Where(Where(variants, "SKL_KAV", "000400"), "SKL_IND", "001").at(0), "SKL_SNC"), 12);

    // Stock back in the master's column of the store.
    EXPECT_EQ(Num(MasterCard("000100"), std::string("SOR_S") + column), 5);
    EXPECT_EQ(Num(MasterCard("000200"), std::string("SOR_S") + column), 3);
    EXPECT_EQ(Num(MasterCard("000400"), std::string("SOR_S") + column), 11);
  }
  std::vector<ReadRow> masterVariants = ReadTable(chain_.MasterFile("Skl0000"));
  ReadRow v = Where(Where(masterVariants, "SKL_KAV", "000100"), "SKL_IND", "001").at(0);
  EXPECT_EQ(Num(v, "SKL_S01"), 5);
  EXPECT_EQ(Num(v, "SKL_S02"), 5);
  EXPECT_EQ(Rows("0001", "Ciselnik").at(0)["CIS_PRC"], "126");
  EXPECT_EQ(Rows("0002", "Ciselnik").at(0)["CIS_PRC"], "42");

  ASSERT_EQ(summaries_.size(), 2u);
  EXPECT_EQ(summaries_[0].cardsCreated, 1);
  EXPECT_EQ(summaries_[0].cardsUpdated, 3);
  EXPECT_EQ(summaries_[0].cardsRepriced, 2);
  EXPECT_EQ(summaries_[0].variantsCreated, 2);
  EXPECT_EQ(summaries_[0].journalRows, 1);
  EXPECT_EQ(summaries_[0].document, "0000000126");

  ASSERT_EQ(ui_.progressWindows.size(), 1u);
  const RecordedProgress& p = *ui_.progressWindows[0];
  EXPECT_EQ(p.caption, "Info");
  EXPECT_EQ(p.description, "Popis činnosti");
  EXPECT_EQ(p.labels, (std::vector<std::string>{"Tabulka stavů skladu", "Úpravy skladu Prodejna 0001",
                                                 "Úpravy skladu Prodejna 0002"}));
  EXPECT_EQ(p.positions, (std::vector<int>{25, 50, 75, 100, 25, 50, 75, 100}));
  EXPECT_TRUE(p.closed && p.destroyed);
  for (TDbfTable* t : {&data_.Sortiment, &data_.Sklad, &data_.Denik, &data_.PrecHlav, &data_.PrecPol,
                       &data_.Ciselnik, &data_.Skl0000, &data_.Ces0000})
    EXPECT_FALSE(t->Active());
  EXPECT_EQ(chain_.CheckIndexes(), "");

  // Nothing changed since: a second run writes no document.
  ui_.Clear();
  ASSERT_TRUE(Run());
  EXPECT_EQ(Rows("0001", "PrecHlav").size(), 1u);
  EXPECT_EQ(summaries_[0].cardsCreated, 0);
  EXPECT_EQ(summaries_[0].document, "");
  EXPECT_EQ(Num(MasterCard("000400"), "SOR_S01"), 0);  // present now: its store stock
  EXPECT_EQ(chain_.CheckIndexes(), "");
}

TEST_F(TransferTest, StoresWithoutTheirTablesAreSkipped) {
  MakeMaster();
  Store noCards = MakeStore("0001", "1");
  noCards.cardTable = false;
  Store noVariants = MakeStore("0002", "1");
  noVariants.variantTable = false;
  Store noSeparator = MakeStore("0003", "1");
  chain_.AddStore(noCards);
  chain_.AddStore(noVariants);
  noSeparator.sorCes = chain_.StoreDir("0003");
  chain_.AddStore(noSeparator);
  chain_.AddStore(MakeStore("0004", "1"));
  chain_.StoreList();
  ASSERT_TRUE(Run());
  std::string dir1 = chain_.StoreDir("0001") + "/";
  EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{"Soubor " + dir1 + "Sor0001dbf  nebyl nalezen ! ",
                                                   "Soubor " + chain_.StoreDir("0003") + "Sor0003dbf  nebyl nalezen ! "}));
  EXPECT_TRUE(Rows("0002", "PrecHlav").empty());
  EXPECT_TRUE(Rows("0003", "PrecHlav").empty());
  EXPECT_EQ(Rows("0004", "PrecHlav").size(), 1u);
  EXPECT_EQ(Num(MasterCard("000100"), "SOR_S04"), 5);
  EXPECT_EQ(Num(MasterCard("000100"), "SOR_S02"), 11);
  EXPECT_EQ(ui_.progressWindows[0]->labels.size(), 5u);
  EXPECT_EQ(chain_.CheckIndexes(), "");
}

TEST_F(TransferTest, AnEmptyCatalogueOpensAndClosesEveryStore) {
  chain_.Master({}, {});
  chain_.AddStore(MakeStore("0001", "7"));
  chain_.StoreList();
  ASSERT_TRUE(Run());
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(Rows("0001", "Sortiment").size(), 3u);
  EXPECT_TRUE(Rows("0001", "PrecHlav").empty());
  EXPECT_EQ(Rows("0001", "Ciselnik").at(0)["CIS_PRC"], "7");
  EXPECT_EQ(ui_.progressWindows[0]->labels.back(), "Úpravy skladu Prodejna 0001");
  EXPECT_TRUE(ui_.progressWindows[0]->positions.empty());
}

// The shop program holds the counter while the first differing card comes:
// that card keeps its prices, the next differing card opens the document.
TEST_F(TransferTest, CounterHeldByTheShopDefersTheDocumentToTheNextCard) {
  MakeMaster();
  chain_.AddStore(MakeStore("0001", "9"));
  chain_.StoreList();
  std::string cis = chain_.StoreFile("0001", "Ciselnik");
  XbLockRegion region = ShopRecordRegion(cis, TXbLockProtocol::ClipLock, 1, false);
  auto shop = std::make_unique<LockHolder>(cis, region.offset, region.length, -1);
  ASSERT_TRUE(shop->Locked());
  // The shop lets go once the lock message was shown.
  ui_.onProcessEvents = [&] {
    if (!ui_.messages.empty()) shop.reset();
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Nelze zamknout zaznam v tabulce Cis0001.dbf"});
  EXPECT_EQ(Num(StoreCard("0001", "000200"), "SOR_PC1"), 20);
  EXPECT_EQ(Num(StoreCard("0001", "000300"), "SOR_PC1"), 33);
  ASSERT_EQ(Rows("0001", "PrecHlav").size(), 1u);
  EXPECT_EQ(Rows("0001", "PrecHlav").at(0)["PRH_DO1"], "0000000010");
  EXPECT_EQ(Rows("0001", "Ciselnik").at(0)["CIS_PRC"], "10");
  EXPECT_EQ(chain_.CheckIndexes(), "");
}

// The shop program holds a store card: the table layer's lock error ends
// the transfer; the window goes and the browse view comes back; what was
// posted stays.
TEST_F(TransferTest, AStoreCardHeldByTheShopEndsTheTransfer) {
  MakeMaster();
  chain_.AddStore(MakeStore("0001", "9"));
  chain_.AddStore(MakeStore("0002", "9"));
  chain_.StoreList();
  std::string sor = chain_.StoreFile("0001", "Sortiment");
  XbLockRegion region = ShopRecordRegion(sor, TXbLockProtocol::Default, 2, true);
  LockHolder shop(sor, region.offset, region.length, -1);
  ASSERT_TRUE(shop.Locked());
  EXPECT_FALSE(Run());
  EXPECT_EQ(ui_.messages, (std::vector<RecordedMessage>{{RecordedMessage::Error, "Record is locked by another user"}}));
  EXPECT_EQ(events_, (std::vector<std::string>{"detach", "attach"}));
  EXPECT_TRUE(ui_.progressWindows[0]->closed);
  EXPECT_TRUE(ui_.progressWindows[0]->destroyed);
  EXPECT_EQ(StoreCard("0001", "000100")["SOR_POZ"], "nová poznámka");   // posted before the error
  EXPECT_EQ(Num(MasterCard("000100"), "SOR_S01"), 5);
  EXPECT_EQ(Num(StoreCard("0001", "000200"), "SOR_PC1"), 20);
  EXPECT_EQ(StoreCard("0002", "000100")["SOR_POZ"], "stará");           // the next store was not reached
  for (TDbfTable* t : {&data_.Sortiment, &data_.Sklad, &data_.Denik, &data_.PrecHlav, &data_.PrecPol,
                       &data_.Ciselnik, &data_.Skl0000, &data_.Ces0000})
    EXPECT_FALSE(t->Active());
  EXPECT_EQ(data_.Sor0000.State(), TDataSetState::Browse);
  EXPECT_EQ(chain_.CheckIndexes(), "");
}

}  // namespace
