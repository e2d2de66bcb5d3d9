// The stock report command: the report tables bound to the master files,
// the question at its place, the report run only after OK, and both report
// tables closed again whatever the answer, run after run.

#include "xbase/file_names.h"
#include "operations/stock_report_command.h"

#include <gtest/gtest.h>

#include "operations_fixture.h"

namespace {

class PlacedQuestionUi : public RecordingUi {
 public:
  bool ConfirmAt(const std::string& text, int dx, int dy) override {
    places.push_back({dx, dy});
    return Confirm(text);
  }
  std::vector<std::pair<int, int>> places;
};

class StockReportCommandTest : public ::testing::Test, public OperationsFixture {
 protected:
  void SetUp() override {
    WriteMaster({{"000001", 10}, {"000002", 20}}, {{"000001", "000", 5}});
    data_.DataPath = dir_.File("data");
    data_.StoreCode = "0000";
    data_.Sor0000.SetDatabaseName(data_.DataPath);
    data_.Sor0000.SetTableName("Sor0000");
    data_.Skl0000.SetDatabaseName(data_.DataPath);
    data_.Skl0000.SetTableName("SKL0000");
  }
  PlacedQuestionUi ui_;
  TData data_{ui_, dir_.Path() + "/"};
  TDbfTable cards_, variants_;
};

TEST_F(StockReportCommandTest, OkRunsTheReportOnTheBoundTablesCancelRunsNothingAndBothCloseEachTime) {
  ui_.confirmAnswers = {true, false, true};
  std::vector<std::string> seen;
  auto report = [&] {
    // What the report sees: both tables open in tag KAV on the master files.
    EXPECT_EQ(cards_.CurrentTagName(), "KAV");
    EXPECT_EQ(variants_.CurrentTagName(), "KAV");
    cards_.Last();
    EXPECT_TRUE(variants_.SeekKey("000001000"));
    seen.push_back(cards_.FieldByName("SOR_KAV").AsString() + " " + cards_.File().FileName());
  };
  for (int run = 0; run < 3; ++run) {
    StockReportCommand(data_, cards_, variants_, report);
    EXPECT_FALSE(cards_.Active()) << run;
    EXPECT_FALSE(variants_.Active()) << run;
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"000002 " + DataFile("SOR0000.DBF"), "000002 " + DataFile("SOR0000.DBF")}));
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>(3, "Bylo provedeno natažení stavů skladů ???"));
  EXPECT_EQ(ui_.places, (std::vector<std::pair<int, int>>(3, {50, 50})));
  EXPECT_FALSE(data_.Sor0000.Active()) << "the browse view's tables are not moved";
}

TEST_F(StockReportCommandTest, AMissingIndexFileRaisesBeforeTheQuestion) {
  std::filesystem::remove(ResolveFileName(DataFile("Sor0000.cdx")));
  bool ran = false;
  EXPECT_ANY_THROW(StockReportCommand(data_, cards_, variants_, [&] { ran = true; }));
  EXPECT_FALSE(ran);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_FALSE(cards_.Active());
  EXPECT_FALSE(variants_.Active());
}

TEST_F(StockReportCommandTest, AnErrorOfTheReportClosesBothTablesAndIsRaised) {
  EXPECT_THROW(StockReportCommand(data_, cards_, variants_, [] { throw std::runtime_error("x"); }), std::runtime_error);
  EXPECT_FALSE(cards_.Active());
  EXPECT_FALSE(variants_.Active());
}

}  // namespace
