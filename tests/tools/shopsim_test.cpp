// The shop simulator and its checker: a quiet day proves clean, and each
// kind of loss the checker is there for is found when it is made by hand.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

class ShopSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Sim("make '" + Chain() + "' --cards 40 --stores 1").exitCode, 0);
    CommandResult day = Sim("run '" + Store() + "' 0001 --log '" + Log() + "' --seed 7 --ops 300 --pause-ms 0 --hold-ms 1");
    ASSERT_EQ(day.exitCode, 0) << day.err;
  }
  CommandResult Sim(const std::string& args) { return RunCommand(BinPath("tamorix-shopsim") + " " + args); }
  CommandResult Check() { return Sim("check '" + Chain() + "' '" + Log() + "'"); }
  CommandResult Tool(const std::string& args) { return RunCommand(BinPath("dbftool") + " " + args); }
  std::string Chain() const { return dir_.File("chain"); }
  std::string Store() const { return Chain() + "/stores/PROD1/"; }
  std::string Log() const { return dir_.File("shop.log"); }
  // The first journal line of the log: DOK KAV IND KUS BEFORE AFTER RAD.
  std::vector<std::string> FirstSale() {
    std::ifstream in(Log());
    std::string kind;
    std::vector<std::string> f(7);
    while (in >> kind) {
      if (kind == "J") {
        for (std::string& w : f) in >> w;
        return f;
      }
      std::getline(in, kind);
    }
    return {};
  }
  TempDir dir_;
};

TEST_F(ShopSimTest, AQuietDayChecksCleanAndEachLossIsFound) {
  CommandResult clean = Check();
  EXPECT_EQ(clean.exitCode, 0) << clean.err;
  EXPECT_NE(clean.out.find("faults 0"), std::string::npos) << clean.out;
  const std::vector<std::string> sale = FirstSale();
  ASSERT_EQ(sale.size(), 7u);
  const std::string den = Store() + "Den0001.dbf";

  // The same journal row twice.
  ASSERT_EQ(Tool("append '" + den + "' DEN_DOK=" + sale[0] + " DEN_KAV=" + sale[1] + " DEN_IND=" + sale[2] +
                 " DEN_KUS=" + sale[3] + " DEN_ZAS=" + sale[5] + " DEN_RAD=999999 DEN_REF=SM").exitCode, 0);
  CommandResult doubled = Check();
  EXPECT_EQ(doubled.exitCode, 1);
  EXPECT_NE(doubled.err.find("journal row " + sale[0] + " is in the journal 2 times"), std::string::npos) << doubled.err;
  EXPECT_NE(doubled.err.find("is not the last row number"), std::string::npos) << doubled.err;
}

TEST_F(ShopSimTest, AStockOverwrittenOrAnEditLostIsFound) {
  const std::string skl = Store() + "Skl0001.dbf";
  const std::vector<std::string> sale = FirstSale();
  ASSERT_EQ(sale.size(), 7u);
  // The variant's stock overwritten by a write that knew nothing of the sales.
  ASSERT_EQ(Tool("set '" + skl + "' --tag KAV --key '" + sale[1] + sale[2] + "' SKL_STA=12345").exitCode, 0);
  CommandResult lost = Check();
  EXPECT_EQ(lost.exitCode, 1);
  EXPECT_NE(lost.err.find("variant " + sale[1] + sale[2] + " has stock 12345"), std::string::npos) << lost.err;

  // A card edit of the log that the card does not hold.
  std::ifstream in(Log());
  std::string line, kav;
  while (std::getline(in, line))
    if (line.rfind("C ", 0) == 0) kav = line.substr(2, 6);
  ASSERT_FALSE(kav.empty());
  ASSERT_EQ(Tool("set '" + Store() + "Sor0001.dbf' --tag KAV --key " + kav + " SOR_REQ=1001").exitCode, 0);
  CommandResult edit = Check();
  EXPECT_NE(edit.err.find("card " + kav + " lost the shop's edit"), std::string::npos) << edit.err;

  // A transfer that never ran: the master's new names and notes are missing.
  ASSERT_EQ(Sim("change '" + Chain() + "' 1").exitCode, 0);
  CommandResult noTransfer = Sim("check '" + Chain() + "' --transfer-done '" + Log() + "'");
  EXPECT_NE(noTransfer.err.find("SOR_NAC is"), std::string::npos) << noTransfer.err;
  EXPECT_NE(noTransfer.err.find("lost the master's note"), std::string::npos) << noTransfer.err;
}

}  // namespace
