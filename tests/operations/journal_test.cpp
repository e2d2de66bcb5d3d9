// Journal entries and card reconstruction on a store's real files.

#include "operations/journal.h"

#include <gtest/gtest.h>

#include "chain_fixture.h"
#include "support/fake_platform.h"
#include "support/lock_holder.h"
#include "support/recording_ui.h"

using namespace chain;

namespace {

TTimeSettings FixedTime(int h, int m, int s, std::string format = "H:mm:ss") {
  TTimeSettings t;
  t.LongTimeFormat = std::move(format);
  t.Now = [=] { return TClockReading{XbDate{2026, 12, 10}, h, m, s}; };
  return t;
}

class JournalTest : public ::testing::Test {
 protected:
  // One store card 000100 with the given variants and journal rows.
  void Make(std::vector<Row> variants, std::vector<Row> journal, int cisDen = 40) {
    chain_->Master({Card("000100", {10, 10, 10, 10, 10})}, {});
    Store s;
    s.cards = {Card("000100", {10, 10, 10, 10, 10}, 21, {{"SOR_STA", 99}})};
    s.variants = std::move(variants);
    s.journal = std::move(journal);
    s.cisDen = cisDen;
    chain_->AddStore(s);
    chain_->StoreList();
    chain_->Bind(data_);
    chain_->OpenStore(data_, "0001");
  }
  std::vector<ReadRow> Rows(const char* object) { return ReadTable(chain_->StoreFile("0001", object)); }
  ReadRow VariantRow(const std::string& ind) { return Where(Rows("Sklad"), "SKL_IND", ind).at(0); }

  std::unique_ptr<Chain> chain_ = std::make_unique<Chain>();
  RecordingUi ui_;
  TData data_{ui_};
};

// The consistency rule decides whether the card is rebuilt before the row.
TEST_F(JournalTest, ConsistentStockIsTakenAsItIsAndOtherStockIsRebuiltFirst) {
  struct Case {
    const char* what;
    int poc, sta;
    std::vector<std::pair<int, double>> rows;   // DEN_KUS, DEN_ZAS
    int stockAfter;                             // SKL_STA afterwards = DEN_ZAS of the new row
    bool rebuilt;
  };
  const Case cases[] = {
      {"no rows, stock 0", 4, 0, {}, 0, false},
      {"no rows, stock 5: rebuilt to the opening stock", 3, 5, {}, 3, true},
      {"12.6 and 13 agree after rounding", 0, 13, {{10, 12.6}}, 13, false},
      {"12.5 rounds to 12 (half to even)", 0, 12, {{10, 12.5}}, 12, false},
      {"13.5 rounds to 14: rebuilt", 0, 13, {{10, 4}, {4, 13.5}}, 14, true},
      {"last row counts, not the first", 2, 7, {{5, 7}, {-1, 6}}, 6, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Row> journal;
    int rad = 1;
    for (auto [kus, zas] : c.rows) journal.push_back(Journal(rad++, "000100", "001", kus, zas));
    ui_.Clear();
    chain_ = std::make_unique<Chain>();
    Make({Variant("000100", "001", c.poc, c.sta)}, journal, 40);
    TJournal j(data_, FixedTime(14, 5, 33));
    ASSERT_TRUE(j.ZapisSleva("000100", "001", "0000000007", "010", 12.5f, 21.0f));
    EXPECT_EQ(j.cardsRebuilt, c.rebuilt ? 1 : 0);
    EXPECT_EQ(Num(VariantRow("001"), "SKL_STA"), c.stockAfter);
    std::vector<ReadRow> rows = Rows("Denik");
    ASSERT_EQ(rows.size(), c.rows.size() + 1);
    const ReadRow& row = rows.back();
    EXPECT_EQ(Num(row, "DEN_ZAS"), c.stockAfter);
    EXPECT_EQ(Num(row, "DEN_RAD"), 41);
    EXPECT_EQ(Num(Rows("Ciselnik").at(0), "CIS_DEN"), 41);
    if (c.rebuilt) {
      EXPECT_EQ(Num(Rows("Sortiment").at(0), "SOR_STA"), c.stockAfter);
      ASSERT_EQ(ui_.progressWindows.size(), 1u);
      const RecordedProgress& p = *ui_.progressWindows[0];
      EXPECT_EQ(p.caption, "Rekonstrukce skladové karty");
      EXPECT_EQ(p.description, "Název sortimentu ");
      EXPECT_EQ(p.label, "Karta 000100");
      EXPECT_TRUE(p.closed && p.destroyed);
      if (!c.rows.empty()) {
        EXPECT_EQ(p.positions.back(), 100);
      }
      EXPECT_EQ(ui_.busyCursor, (std::vector<bool>{true, false}));
    } else {
      EXPECT_TRUE(ui_.progressWindows.empty());
      EXPECT_EQ(Num(Rows("Sortiment").at(0), "SOR_STA"), 99);
    }
    EXPECT_TRUE(ui_.messages.empty());
  }
}

TEST_F(JournalTest, TheRowCarriesEveryFieldAndTheTablesComeBackAsTheyWere) {
  Make({Variant("000100", "001", 0, 0), Variant("000100", "002", 0, 0)}, {});
  data_.UserInitials = "PK";
  // Sklad stands on the second variant, Denik is closed.
  data_.Sklad.Last();
  long skladRec = data_.Sklad.RecNo();
  data_.Denik.Close();
  data_.Denik.SetIndexName("");
  TJournal j(data_, FixedTime(14, 5, 33));
  ASSERT_TRUE(j.ZapisSleva("000100", "001", "0000000007", "010", 1234567.89f, 21.0f));
  EXPECT_EQ(data_.Sklad.RecNo(), skladRec);
  EXPECT_EQ(data_.Sklad.IndexName(), "KAV");
  EXPECT_FALSE(data_.Denik.Active());
  EXPECT_EQ(data_.Denik.IndexName(), "");

  ReadRow row = Rows("Denik").at(0);
  EXPECT_EQ(row["DEN_DAT"], "10.12.2026");
  EXPECT_EQ(row["DEN_KDY"], "14:05");
  EXPECT_EQ(row["DEN_KAV"], "000100");
  EXPECT_EQ(row["DEN_IND"], "001");
  EXPECT_EQ(row["DEN_OPE"], "010");
  EXPECT_EQ(row["DEN_DOK"], "0000000007");
  EXPECT_EQ(row["DEN_REF"], "PK");
  EXPECT_EQ(Num(row, "DEN_KUS"), 0);
  EXPECT_EQ(Num(row, "DEN_HNC"), 0);
  EXPECT_EQ(Num(row, "DEN_DAN"), 21);
  // Single precision: 1234567.89 reaches the table as 1234567.875.
  EXPECT_NEAR(Num(row, "DEN_HPC"), 1234567.875, 0.0051);
  EXPECT_NE(Num(row, "DEN_HPC"), 1234567.89);

  // An hour without a leading zero: five characters end with the colon.
  TJournal early(data_, FixedTime(9, 5, 33));
  ASSERT_TRUE(early.ZapisSleva("000100", "002", "0000000007", "010", 0.0f, 21.0f));
  EXPECT_EQ(Rows("Denik").at(1)["DEN_KDY"], "9:05:");
  EXPECT_EQ(Num(Rows("Denik").at(1), "DEN_RAD"), 42);
  EXPECT_EQ(chain_->CheckIndexes(), "");
}

TEST_F(JournalTest, MissingCardOrVariantWritesNothing) {
  Make({Variant("000100", "001", 0, 0)}, {});
  TJournal j(data_, FixedTime(10, 0, 0));
  EXPECT_FALSE(j.ZapisSleva("000200", "001", "1", "010", 1, 21));
  EXPECT_FALSE(j.ZapisSleva("000100", "002", "1", "010", 1, 21));
  EXPECT_TRUE(Rows("Denik").empty());
  EXPECT_EQ(Num(Rows("Ciselnik").at(0), "CIS_DEN"), 40);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(JournalTest, AVariantIndexBeginningWithALetterIsNeitherRebuiltNorCounted) {
  Make({Variant("000100", "001", 2, 9), Variant("000100", "A1", 0, 50)}, {Journal(1, "000100", "001", 3, 5)});
  TJournal j(data_, FixedTime(10, 0, 0));
  ASSERT_TRUE(j.RekonstrukceKarty("000100"));
  EXPECT_EQ(Num(VariantRow("001"), "SKL_STA"), 5);
  EXPECT_EQ(Num(VariantRow("A1"), "SKL_STA"), 50);
  EXPECT_EQ(Num(Rows("Sortiment").at(0), "SOR_STA"), 5);
  EXPECT_FALSE(j.RekonstrukceKarty("000999"));
  EXPECT_EQ(chain_->CheckIndexes(), "");
}

// A shop program holds the counter row: no row, counter unchanged, the
// variant's and the card's locks given up.
TEST_F(JournalTest, CounterRowHeldByAShopProgram) {
  Make({Variant("000100", "001", 0, 0)}, {});
  std::string cis = chain_->StoreFile("0001", "Ciselnik");
  XbLockRegion region = ShopRecordRegion(cis, TXbLockProtocol::ClipLock, 1, false);
  LockHolder shop(cis, region.offset, region.length, -1);
  ASSERT_TRUE(shop.Locked());
  TJournal j(data_, FixedTime(10, 0, 0));
  EXPECT_FALSE(j.ZapisSleva("000100", "001", "1", "010", 1, 21));
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Nelze zamknout zaznam v tabulce Cis0001.dbf"});
  EXPECT_TRUE(Rows("Denik").empty());
  EXPECT_EQ(Num(Rows("Ciselnik").at(0), "CIS_DEN"), 40);
  for (const char* object : {"Sklad", "Sortiment"}) {
    SCOPED_TRACE(object);
    std::string path = chain_->StoreFile("0001", object);
    XbLockRegion r = ShopRecordRegion(path, TXbLockProtocol::Default, 1, true);
    EXPECT_TRUE(OtherProcessCanLock(path, r.offset, r.length));
  }
}

// A shop program holds the variant: the lock message, the card is rebuilt,
// no row.
TEST_F(JournalTest, VariantHeldByAShopProgramRebuildsTheCard) {
  Make({Variant("000100", "001", 0, 0)}, {});
  std::string skl = chain_->StoreFile("0001", "Sklad");
  XbLockRegion region = ShopRecordRegion(skl, TXbLockProtocol::Default, 1, true);
  LockHolder shop(skl, region.offset, region.length, -1);
  ASSERT_TRUE(shop.Locked());
  TJournal j(data_, FixedTime(10, 0, 0));
  EXPECT_FALSE(j.ZapisSleva("000100", "001", "1", "010", 1, 21));
  EXPECT_EQ(ui_.Texts().front(), "Nelze zamknout zaznam v tabulce Skl0001.dbf");
  EXPECT_EQ(j.cardsRebuilt, 1);
  EXPECT_EQ(Num(Rows("Sortiment").at(0), "SOR_STA"), 0);
  EXPECT_TRUE(Rows("Denik").empty());
  EXPECT_EQ(Num(Rows("Ciselnik").at(0), "CIS_DEN"), 40);
}

// A shop's point of sale on the same store, in this process: its own table
// objects, so its record locks exclude the data module's as another
// program's do. While it holds a variant, the data module's lock retries
// pause; at the first pause the shop books one movement of that variant
// (journal row, then the stock) and lets the variant go.
class ShopAtTheVariant {
 public:
  ShopAtTheVariant(const Chain& chain, int kus) : kus_(kus) {
    Open(variants_, chain, "Sklad", TXbLockProtocol::Default);
    Open(journal_, chain, "Denik", TXbLockProtocol::ClipLock);
    variants_.First();
    held_ = variants_.LockCurrentRecord();
    platform_.onPause = [this](int) {
      if (!held_) return;
      variants_.Edit();
      const int64_t stock = variants_.FieldByName("SKL_STA").AsInteger() + kus_;
      journal_.Append();
      journal_.FieldByName("DEN_RAD").SetAsInteger(900);
      journal_.FieldByName("DEN_KAV").SetAsString(variants_.FieldByName("SKL_KAV").AsString());
      journal_.FieldByName("DEN_IND").SetAsString(variants_.FieldByName("SKL_IND").AsString());
      journal_.FieldByName("DEN_OPE").SetAsString("002");
      journal_.FieldByName("DEN_KUS").SetAsInteger(kus_);
      journal_.FieldByName("DEN_ZAS").SetAsFloat(static_cast<double>(stock));
      journal_.Post();
      variants_.FieldByName("SKL_STA").SetAsInteger(stock);
      variants_.Post();
      variants_.UnlockRecords();
      held_ = false;
    };
  }
  bool Holds() const { return held_; }

 private:
  static void Open(TDbfTable& t, const Chain& chain, const char* object, TXbLockProtocol protocol) {
    const TableLayout& l = TableLayoutOf(object);
    t.SetLockProtocol(protocol);
    t.SetDatabaseName(chain.StoreDir("0001"));
    t.SetTableName(l.FileFor("0001"));
    t.Open();
    t.OpenIndexFile(chain.StoreDir("0001") + "/" + l.IndexFileFor("0001"));
  }
  FakePlatform platform_;
  TDbfTable variants_, journal_;
  int kus_;
  bool held_ = false;
};

// A movement the shop books while the journal waits for the variant's lock
// is neither undone by the rebuild nor missing from the row's stock.
TEST_F(JournalTest, AMovementBookedWhileTheLockIsAwaitedIsKept) {
  {
    SCOPED_TRACE("rebuild: opening stock 3 and no rows, stock 5; the shop sells 1 meanwhile");
    Make({Variant("000100", "001", 3, 5)}, {});
    ShopAtTheVariant shop(*chain_, -1);
    ASSERT_TRUE(shop.Holds());
    TJournal j(data_, FixedTime(10, 0, 0));
    EXPECT_TRUE(j.RekonstrukceKarty("000100"));
    EXPECT_FALSE(shop.Holds());
    EXPECT_EQ(Num(VariantRow("001"), "SKL_STA"), 2);  // 3 - 1: the journal's own sum
    EXPECT_EQ(Num(Rows("Sortiment").at(0), "SOR_STA"), 2);
  }
  chain_ = std::make_unique<Chain>();
  {
    SCOPED_TRACE("journal row: stock 0 agrees; the shop receives 5 meanwhile");
    Make({Variant("000100", "001", 0, 0)}, {});
    ShopAtTheVariant shop(*chain_, 5);
    TJournal j(data_, FixedTime(10, 0, 0));
    ASSERT_TRUE(j.ZapisSleva("000100", "001", "0000000001", "010", 0, 21));
    std::vector<ReadRow> rows = Rows("Denik");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Num(rows.at(1), "DEN_ZAS"), 5);  // the stock after the shop's receipt
    EXPECT_EQ(Num(VariantRow("001"), "SKL_STA"), 5);
  }
  EXPECT_EQ(chain_->CheckIndexes(), "");
}

TEST(TimeStampTest, FirstFiveCharactersOfTheLongTimeFormat) {
  struct Case { const char* format; int h, m, s; const char* text; };
  const Case cases[] = {{"H:mm:ss", 14, 5, 33, "14:05"}, {"H:mm:ss", 9, 5, 33, "9:05:"},
                        {"HH:mm:ss", 9, 5, 33, "09:05"}, {"h:mm:ss AP", 21, 5, 0, "9:05:"},
                        {"HH.mm.ss", 7, 30, 0, "07.30"}};
  for (const Case& c : cases) {
    TTimeSettings t;
    t.LongTimeFormat = c.format;
    EXPECT_EQ(TimeStamp5(t, {XbDate{2026, 1, 1}, c.h, c.m, c.s}), c.text) << c.format;
  }
}

}  // namespace
