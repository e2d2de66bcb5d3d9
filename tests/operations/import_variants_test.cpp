// The import of new variants on real files: which master cards take the
// import prices, which variants are appended, the progress window, the one
// message of every failure, and a master card held locked by another
// process.

#include "operations/import_variants.h"

#include <gtest/gtest.h>

#include <map>

#include "operations_fixture.h"
#include "support/lock_holder.h"
#include "xbase/lock_protocol.h"

namespace {

struct MasterVariant {
  double purchase;
  std::string note;
  friend bool operator==(const MasterVariant&, const MasterVariant&) = default;
};
std::ostream& operator<<(std::ostream& os, const MasterVariant& v) { return os << v.purchase << " '" << v.note << "'"; }

class ImportVariantsTest : public ::testing::Test, public OperationsFixture {
 protected:
  // The master: cards 000001 (prices 10..14), 000002 (20..24), 000003
  // (30..34); variants 000001/000, 000001/001, 000002/000.
  void SetUp() override {
    WriteMaster({{"000001", 10}, {"000002", 20}, {"000003", 30}},
                {{"000001", "000", 5, {}, "stará"}, {"000001", "001", 6}, {"000002", "000", 7}});
  }

  // Card number -> the five prices, read from the file.
  std::map<std::string, std::vector<double>> MasterPrices() {
    TDbfTable t;
    t.SetDatabaseName(data_.DataPath);
    t.SetTableName("SOR0000");
    t.Open();
    std::map<std::string, std::vector<double>> prices;
    for (t.First(); !t.Eof(); t.Next())
      for (int k = 1; k <= 5; ++k)
        prices[t.FieldByName("SOR_KAV").AsString()].push_back(t.FieldByName("SOR_PC" + std::to_string(k)).AsFloat());
    return prices;
  }
  // Variant key -> purchase price and note, read from the file in file order.
  std::map<std::string, MasterVariant> MasterVariants(std::vector<std::string>* order = nullptr) {
    TDbfTable t;
    t.SetDatabaseName(data_.DataPath);
    t.SetTableName("SKL0000");
    t.Open();
    std::map<std::string, MasterVariant> variants;
    for (t.First(); !t.Eof(); t.Next()) {
      std::string key = t.FieldByName("SKL_KAV").AsString() + "/" + t.FieldByName("SKL_IND").AsString();
      variants[key] = {t.FieldByName("SKL_SNC").AsFloat(), t.FieldByName("SKL_POZ").AsString()};
      if (order) order->push_back(key);
    }
    return variants;
  }
  static std::vector<double> Prices(double first) { return {first, first + 1, first + 2, first + 3, first + 4}; }
};

// Three import variants of card 1 (one new), a variant the master already
// has (card 2), a card missing in the master (9), a variant whose card is
// missing in the import card table (3), and a variant index shorter than its
// field ("0", which is not card 2's "000", though "0000020" begins "000002000"); shop
// programs have the master files open all the while.
TEST_F(ImportVariantsTest, TakesPricesOfCardsInBothTablesAndAppendsOnlyNewVariants) {
  WriteImport({{"000001", 110}, {"000002", 120}, {"000009", 190}},
              {{"000001", "000", 55, {}, "import"},
               {"000001", "001", 56},
               {"000001", "002", 57, {}, "Nová dodávka"},
               {"000002", "000", 77, {}, "import"},
               {"000009", "000", 99},
               {"000003", "000", 33},
               {"000002", "0", 71, {}, "krátký index"}});
  StartUp();
  // Shop programs have the master files open meanwhile.
  SharedOpenHolder cardsOpen(DataFile("SOR0000.DBF")), variantsOpen(DataFile("SKL0000.DBF"));
  ASSERT_TRUE(cardsOpen.Open() && variantsOpen.Open());
  ImportNewVariants(data_);

  EXPECT_EQ(ui_.messages, std::vector<RecordedMessage>{});
  std::map<std::string, std::vector<double>> prices = MasterPrices();
  EXPECT_EQ(prices.size(), 3u) << "no card is created";
  EXPECT_EQ(prices["000001"], Prices(110));
  EXPECT_EQ(prices["000002"], Prices(120));
  EXPECT_EQ(prices["000003"], Prices(30)) << "its card is not in the import card table";

  std::vector<std::string> order;
  std::map<std::string, MasterVariant> variants = MasterVariants(&order);
  EXPECT_EQ(order, (std::vector<std::string>{"000001/000", "000001/001", "000002/000", "000001/002", "000002/0"}));
  EXPECT_EQ(variants["000001/000"], (MasterVariant{5, "stará"})) << "a variant the master has stays as it was";
  EXPECT_EQ(variants["000002/000"], (MasterVariant{7, ""}));
  EXPECT_EQ(variants["000001/002"], (MasterVariant{57, "Nová dodávka"}));
  EXPECT_EQ(variants["000002/0"], (MasterVariant{71, "krátký index"}));

  // The new variants are in the master's index file too.
  data_.Skl0000.Open();
  data_.Skl0000.OpenIndexFile(data_.DataFile("Skl0000"));
  data_.Skl0000.SelectTag("KAV");
  EXPECT_TRUE(data_.Skl0000.SeekKey("000001002"));
  EXPECT_TRUE(data_.Skl0000.SeekKey("0000020  "));
  data_.Skl0000.Close();

  ASSERT_EQ(ui_.progressWindows.size(), 1u);
  const RecordedProgress& p = *ui_.progressWindows[0];
  EXPECT_EQ(p.caption, "Info");
  EXPECT_EQ(p.description, "Popis činnosti");
  EXPECT_EQ(p.label, "Import nových variant sortimentu");
  EXPECT_EQ(p.positions, (std::vector<int>{14, 29, 43, 57, 71, 86, 100}));
  EXPECT_EQ(p.shows, 7);
  EXPECT_TRUE(p.closed && p.destroyed);

  // Afterwards: Sor0000 in tag KAV, Skl0000 and the import tables closed,
  // the import tables still pointed at the import set.
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "KAV");
  EXPECT_FALSE(data_.Sor0000.ControlsDisabled());
  EXPECT_FALSE(data_.Skl0000.Active());
  EXPECT_FALSE(data_.Sklad.Active());
  EXPECT_FALSE(data_.Sortiment.Active());
  EXPECT_EQ(data_.Sklad.TableName().substr(0, 7), "Skl0001");
  EXPECT_EQ(data_.Sortiment.DatabaseName(), data_.ImportPath);
}

// Failures before any row is read: one message, nothing written, the
// progress window never shown.
TEST_F(ImportVariantsTest, AFailureBeforeTheFirstRowShowsTheOneMessageAndWritesNothing) {
  struct Case {
    const char* what;
    std::function<void(OperationsFixture&, TData&)> spoil;
  };
  const Case cases[] = {
      {"ImportPath without its trailing separator",
       [](OperationsFixture&, TData& d) { d.ImportPath.pop_back(); }},
      {"no variant table in the import set",
       [](OperationsFixture& f, TData&) { std::filesystem::remove(f.ImportFile("Skl0001.dbf")); }},
      {"no index file of the import cards",
       [](OperationsFixture& f, TData&) { std::filesystem::remove(f.ImportFile("Sor0001.cdx")); }},
      // CestaImport of DataSor.ini as an administrator may get it wrong.
      {"ImportPath that does not exist", [](OperationsFixture& f, TData& d) { d.ImportPath = f.ImportFile("nikde") + "/"; }},
      {"ImportPath that is a file",
       [](OperationsFixture& f, TData& d) { d.ImportPath = f.ImportFile("Skl0001.dbf") + "/"; }},
      {"ImportPath on a drive letter that is not mapped", [](OperationsFixture&, TData& d) { d.ImportPath = "Q:\\IMPORT\\"; }},
      {"ImportPath empty", [](OperationsFixture&, TData& d) { d.ImportPath.clear(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteImport({{"000001", 110}}, {{"000001", "009", 55}});
    data_.ImportPath = dir_.File("import") + "/";
    c.spoil(*this, data_);
    ui_.Clear();
    data_.Sor0000.Close();
    StartUp();
    ImportNewVariants(data_);
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Nepodařilo se sklad otevřít"});
    EXPECT_EQ(MasterPrices()["000001"], Prices(10));
    EXPECT_EQ(MasterVariants().size(), 3u);
    ASSERT_EQ(ui_.progressWindows.size(), 1u);
    EXPECT_EQ(ui_.progressWindows[0]->shows, 0);
    EXPECT_TRUE(ui_.progressWindows[0]->destroyed);
    EXPECT_FALSE(data_.Skl0000.Active());
    EXPECT_FALSE(data_.Sklad.Active());
    EXPECT_FALSE(data_.Sortiment.Active());
  }
}

TEST_F(ImportVariantsTest, AnEmptyImportTableWritesNothingAndNeverShowsTheWindow) {
  WriteImport({{"000001", 110}}, {});
  StartUp();
  ImportNewVariants(data_);
  EXPECT_EQ(ui_.messages, std::vector<RecordedMessage>{});
  EXPECT_EQ(MasterPrices()["000001"], Prices(10));
  ASSERT_EQ(ui_.progressWindows.size(), 1u);
  EXPECT_EQ(ui_.progressWindows[0]->shows, 0);
  EXPECT_TRUE(ui_.progressWindows[0]->positions.empty());
}

// A shop program (another process) holds the record lock of master card 2:
// the import stops there with the one message; card 1's prices and new
// variant stay written, card 2 is not left in edit, card 3 is not reached.
TEST_F(ImportVariantsTest, AMasterCardLockedByAnotherProcessStopsTheImportAndKeepsWhatWasPosted) {
  WriteImport({{"000001", 110}, {"000002", 120}, {"000003", 130}},
              {{"000001", "005", 55}, {"000002", "005", 66}, {"000003", "005", 77}});
  StartUp();
  XbLockRegion lock = RecordLockRegion(TXbLockProtocol::ClipLock, 2, true, 0, 0);
  LockHolder shop(DataFile("SOR0000.DBF"), lock.offset, lock.length, -1);
  ASSERT_TRUE(shop.Locked());

  ImportNewVariants(data_);

  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Nepodařilo se sklad otevřít"});
  std::map<std::string, std::vector<double>> prices = MasterPrices();
  EXPECT_EQ(prices["000001"], Prices(110));
  EXPECT_EQ(prices["000002"], Prices(20));
  EXPECT_EQ(prices["000003"], Prices(30));
  std::map<std::string, MasterVariant> variants = MasterVariants();
  EXPECT_EQ(variants.size(), 4u);
  EXPECT_TRUE(variants.count("000001/005"));
  EXPECT_EQ(data_.Sor0000.State(), TDataSetState::Browse);
  EXPECT_EQ(ui_.progressWindows[0]->positions, std::vector<int>{33});
  EXPECT_FALSE(data_.Sor0000.ControlsDisabled());
}

}  // namespace
