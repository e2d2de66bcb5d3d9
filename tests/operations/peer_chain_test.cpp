// The transfer over the whole chain that another engine wrote as the shops'
// programs write it: stores with the shops' own extra tags, a store without
// its card table, prices that differ, journals that disagree with the stock.
// Every index file must check clean afterwards.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "chain_fixture.h"
#include "operations/transfer.h"
#include "support/recording_ui.h"

using namespace chain;
namespace fs = std::filesystem;

namespace {

struct Fact {
  std::string kind, store, card, index, detail;
};

std::vector<Fact> ReadFacts(const std::string& path) {
  std::vector<Fact> facts;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream s(line);
    Fact f;
    std::getline(s, f.kind, '\t');
    std::getline(s, f.store, '\t');
    std::getline(s, f.card, '\t');
    std::getline(s, f.index, '\t');
    std::getline(s, f.detail, '\t');
    facts.push_back(f);
  }
  return facts;
}

// A writable copy of the chain with SOR_CES pointing at the copy's stores.
class PeerChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string source = std::string(TAMORIX_PEER_FIXTURES) + "/chain";
    if (!fs::exists(source + "/FACTS.tsv")) GTEST_SKIP() << "no peer chain at " << source;
    root_ = tmp_.Path();
    fs::copy(source, root_, fs::copy_options::recursive);
    for (const auto& e : fs::recursive_directory_iterator(root_))
      fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
    facts_ = ReadFacts(root_ + "/FACTS.tsv");
    TDbfTable list;
    list.SetDatabaseName(root_ + "/data");
    list.SetTableName("CES0000.DBF");
    list.Open();
    for (list.First(); !list.Eof(); list.Next()) {
      std::string dir = root_ + "/" + list.FieldByName("SOR_CES").AsString();
      ASSERT_LE(dir.size(), 40u) << dir;
      list.Edit();
      list.FieldByName("SOR_CES").SetAsString(dir);
      list.Post();
    }
  }
  std::string Store(const std::string& code, const std::string& file) {
    return root_ + "/stores/PROD" + std::to_string(std::stoi(code)) + "/" + file + code + ".DBF";
  }
  // dbftool check over every index file of the copy.
  std::string CheckAll() {
    std::string report;
    for (const auto& e : fs::recursive_directory_iterator(root_)) {
      if (e.path().extension() != ".CDX") continue;
      fs::path dbf = e.path();
      dbf.replace_extension(".DBF");
      CommandResult r = RunCommand(BinPath("dbftool") + " check '" + dbf.string() + "'");
      if (r.exitCode != 0) report += r.out + r.err;
    }
    return report;
  }

  TempDir tmp_;
  std::string root_;
  std::vector<Fact> facts_;
  RecordingUi ui_;
};

TEST_F(PeerChainTest, TransferKeepsEveryIndexSoundAndBooksTheDifferences) {
  ASSERT_EQ(CheckAll(), "");
  TData data(ui_);
  data.DataPath = root_ + "/data";
  data.StoreCode = "0000";
  data.UserInitials = "AD";
  data.Sor0000.SetDatabaseName(data.DataPath);
  data.Sor0000.SetTableName("Sor0000");
  data.Sor0000.Open();
  data.Sor0000.OpenIndexFile(data.DataPath + "/Sor0000.cdx");
  data.Sor0000.SelectTag("KAV");
  data.Skl0000.SetDatabaseName(data.DataPath);
  data.Skl0000.SetTableName("SKL0000");
  data.Ces0000.SetDatabaseName(data.DataPath);
  std::map<std::string, std::vector<ReadRow>> variantsBefore;
  for (const std::string code : {"0001", "0002"}) variantsBefore[code] = ReadTable(Store(code, "SKL"));
  TTransfer transfer(data);
  ASSERT_TRUE(transfer.Button5Click());

  // Only the store without its card table is reported.
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Soubor " + root_ + "/stores/PROD3/Sor0003dbf  nebyl nalezen ! "});
  ASSERT_EQ(transfer.summaries.size(), 3u);
  EXPECT_EQ(transfer.summaries[0].document, "0000000126");
  EXPECT_EQ(transfer.summaries[1].document, "0000000042");
  EXPECT_TRUE(transfer.summaries[2].skipped);

  for (const std::string code : {"0001", "0002"}) {
    SCOPED_TRACE(code);
    std::vector<ReadRow> cards = ReadTable(Store(code, "SOR"));
    std::vector<ReadRow> variants = ReadTable(Store(code, "SKL"));
    const std::vector<ReadRow>& before = variantsBefore[code];
    std::vector<ReadRow> items = ReadTable(Store(code, "PRP"));
    const std::string document = code == "0001" ? "0000000126" : "0000000042";
    std::vector<ReadRow> ours = Where(items, "PRP_DO1", document);
    int differing = 0;
    size_t expectedItems = 0;
    for (const Fact& f : facts_) {
      if (f.kind != "price_differs" || f.store != code) continue;
      // A deleted card is no card: the master's is not transferred, the
      // store's is created anew.
      bool deleted = false;
      for (const Fact& d : facts_)
        deleted |= d.card == f.card && (d.kind == "master_deleted_card" || (d.kind == "store_deleted_card" && d.store == code));
      if (deleted) continue;
      ++differing;
      expectedItems += Where(before, "SKL_KAV", f.card).size();
      EXPECT_EQ(Where(ours, "PRP_KAV", f.card).size(), Where(before, "SKL_KAV", f.card).size()) << "card " << f.card;
      EXPECT_EQ(Where(cards, "SOR_KAV", f.card).at(0)["SOR_SKL"], "T") << f.card;
    }
    EXPECT_EQ(ours.size(), expectedItems);
    EXPECT_EQ(transfer.summaries[code == "0001" ? 0 : 1].cardsRepriced, differing);
    // The new journal rows: numbered on from the counter, one per item.
    const int cisDen = code == "0001" ? 1674 : 6622;
    std::vector<ReadRow> added;
    for (const ReadRow& r : ReadTable(Store(code, "DEN")))
      if (Num(r, "DEN_RAD") > cisDen) added.push_back(r);
    EXPECT_EQ(added.size(), expectedItems);
    EXPECT_EQ(Where(Where(added, "DEN_DOK", document), "DEN_OPE", "010").size(), expectedItems);
    EXPECT_EQ(Num(ReadTable(Store(code, "CIS")).at(0), "CIS_DEN"), cisDen + static_cast<int>(expectedItems));

    // The variants that disagree with their journal and belong to repriced
    // cards are rebuilt before their journal row.
    for (const Fact& f : facts_) {
      if (f.kind != "inconsistent" || f.store != code) continue;
      bool repriced = false;
      for (const Fact& p : facts_) repriced |= p.kind == "price_differs" && p.store == code && p.card == f.card;
      if (!repriced) continue;
      int rebuilt = std::stoi(f.detail.substr(f.detail.find("rebuilt stock=") + 14));
      ReadRow v = Where(Where(variants, "SKL_KAV", f.card), "SKL_IND", f.index).at(0);
      EXPECT_EQ(Num(v, "SKL_STA"), rebuilt) << f.card << "/" << f.index;
    }
  }
  EXPECT_EQ(CheckAll(), "");
}

}  // namespace
