// The data module: configuration, record locks with retries, the stock
// totals, the progress handlers and the save-and-restore of table state.

#include "data/data_module.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "demo_data.h"
#include "support/lock_holder.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace {

class DataModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteDemoData(dir_.Path(), DemoSize{50, 2}); }
  std::string ExeDir() { return dir_.Path() + "/"; }
  TempDir dir_;
  RecordingUi ui_;
};

TEST_F(DataModuleTest, IniPrepareReadsTheConfigurationNextToTheProgram) {
  std::ofstream(dir_.File("DataSor.ini"), std::ios::trunc)
      << "; comment\r\n[datasor]\r\nsklad = 0002\r\nCestaData=  /x/data  \r\nLoginForm=abc\r\n";
  TData data(ui_, ExeDir());
  ASSERT_TRUE(data.IniPrepare());
  EXPECT_EQ(data.StoreCode, "0002");
  EXPECT_EQ(data.DataPath, "/x/data");
  EXPECT_EQ(data.ImportPath, TData::kDevelopmentDataPath);  // not the value read for CestaData
  EXPECT_EQ(data.PrivatePath, TData::kDevelopmentPrivatePath);
  EXPECT_FALSE(data.LoginFormEnabled);  // letters count as absent

  std::ofstream(dir_.File("DataSor.ini"), std::ios::trunc) << "[DataSor]\nLoginForm=1\n";
  EXPECT_TRUE(data.IniPrepare());
  EXPECT_TRUE(data.LoginFormEnabled);

  TData missing(ui_, dir_.Path() + "/none/");
  EXPECT_FALSE(missing.IniPrepare());
  EXPECT_EQ(ui_.Texts().back(), "Konfigurační soubor " + dir_.Path() + "/none/DataSor.ini nenalezen !");
}

TEST_F(DataModuleTest, StockTotalsAddTheStoreColumns) {
  TData data(ui_, ExeDir());
  data.Sor0000.SetDatabaseName(dir_.Path() + "/data");
  data.Sor0000.SetTableName("Sor0000");
  data.Sor0000.Open();
  data.Sor0000.Edit();
  for (int i = 1; i <= 15; ++i) {
    std::string name = std::string("SOR_S") + (i < 10 ? "0" : "") + std::to_string(i);
    data.Sor0000.FieldByName(name).Clear();  // an empty column counts 0
  }
  data.Sor0000.FieldByName("SOR_S03").SetAsInteger(5);
  data.Sor0000.FieldByName("SOR_S11").SetAsInteger(7);
  data.Sor0000.Post();
  EXPECT_DOUBLE_EQ(data.Sor0000.FieldByName("SOR_STA").AsFloat(), 12);
}

TEST_F(DataModuleTest, LockRecordWithRetry) {
  TData data(ui_, ExeDir());
  data.lockRetryPauseMs = 50;
  TDbfTable& t = data.Sor0000;
  EXPECT_FALSE(data.LockRecordWithRetry(t));  // closed: message, no retries
  EXPECT_EQ(ui_.Texts().back(), "Nelze zamknout zaznam v tabulce SOR0000.DBF");
  EXPECT_EQ(ui_.processEventsCalls, 0);

  t.SetDatabaseName(dir_.Path() + "/data");
  t.SetTableName("Sor0000");
  t.Open();
  std::string file = dir_.Path() + "/data/SOR0000.DBF";
  {
    LockHolder shop(file, 1000000001, 1, 150);  // given up during the retries
    ASSERT_TRUE(shop.Locked());
    ui_.messages.clear();
    EXPECT_TRUE(data.LockRecordWithRetry(t));
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_GT(ui_.processEventsCalls, 1);
    t.UnlockRecords();
  }
  LockHolder shop(file, 1000000001, 1, 5000);
  ASSERT_TRUE(shop.Locked());
  ui_.processEventsCalls = 0;
  EXPECT_FALSE(data.LockRecordWithRetry(t));
  EXPECT_EQ(ui_.processEventsCalls, 10);
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Nelze zamknout zaznam v tabulce Sor0000.DBF"});
}

TEST_F(DataModuleTest, ProgressHandlerMovesTheGaugeOfTheAttachedWindow) {
  TData data(ui_, ExeDir());
  data.Sor0000Status(1, 5, 0);  // no window: nothing but events
  data.ProgressWindow = ui_.CreateProgressWindow();
  data.Sor0000Status(-1, 1, 0);
  data.Sor0000Status(1, 1, 0);  // a total of 0 moves nothing
  data.Sor0000Status(-1, 1, 8);
  for (int n : {1, 3, 4, 8}) data.Sor0000Status(1, n, 0);
  data.Sor0000Status(-1, 2, 8);  // the key-writing phase changes nothing
  data.Cep0000Status(11, 2, 0);
  const RecordedProgress& window = *ui_.progressWindows.at(0);
  EXPECT_EQ(window.positions, (std::vector<int>{12, 38, 50, 100, 25}));  // 12.5 -> 12, 37.5 -> 38
  EXPECT_EQ(window.shows, 2);
  EXPECT_EQ(ui_.processEventsCalls, 10);  // once per notification
}

TEST_F(DataModuleTest, SavedTableStateComesBack) {
  TData data(ui_, ExeDir());
  for (TDbfTable* t : {&data.Sor0000, &data.Ces0000}) t->SetDatabaseName(dir_.Path() + "/data");
  data.Sor0000.SetTableName("Sor0000");
  data.Ces0000.SetTableName("CES0000");
  data.Sor0000.Open();
  data.Sor0000.SetRecNo(7);
  data.Ces0000.SetIndexName("KAV");  // kept as text while closed
  TableStateSaver saved({&data.Sor0000, &data.Ces0000});
  data.Sor0000.SetRecNo(2);
  data.Ces0000.Open();
  data.Ces0000.SetIndexName("");
  saved.Restore();
  EXPECT_EQ(data.Sor0000.RecNo(), 7);
  EXPECT_FALSE(data.Ces0000.Active());
  EXPECT_EQ(data.Ces0000.IndexName(), "KAV");
}

TEST_F(DataModuleTest, SignOn) {
  struct Case {
    const char* what;
    std::string osName;
    bool viaDialog;
    std::optional<LoginInput> typed;
    std::string user;        // UserFullName after sign-on
    bool quit;
    std::vector<std::string> messages;
  };
  const std::string admin = "Správce systému";
  const Case cases[] = {
      {"known system name", "admin", false, std::nullopt, admin, false, {}},
      {"cut to 10 letters", "adminxxxxxxx", false, std::nullopt, "", true, {}},
      {"unknown name falls back to the dialog", "nobody", false, LoginInput{"admin", " admin "}, admin, false, {}},
      {"dialog cancelled", "nobody", false, std::nullopt, "", true, {}},
      {"typed name unknown: no message", "", true, LoginInput{"nobody", "x"}, "", true, {}},
      {"wrong password", "", true, LoginInput{"admin", "admim"}, "", true, {"Neplatné heslo !!!"}},
      {"accented letters keep their case in the dialog", "", true, LoginInput{"ádmin", "admin"}, "", true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingUi ui;
    ui.loginInput = c.typed;
    TData data(ui, ExeDir());
    data.Uzivatele.SetDatabaseName(dir_.Path() + "/data");
    data.userName = [&] { return c.osName; };
    if (c.viaDialog) data.SignOnByDialog();
    else data.SignOnByName();
    EXPECT_EQ(data.UserFullName, c.user);
    EXPECT_EQ(ui.quitRequested, c.quit);
    EXPECT_EQ(ui.Texts(), c.messages);
    if (!c.user.empty()) {
      EXPECT_EQ(data.UserInitials, "AD");
      EXPECT_EQ(data.UserCode, "001");
    }
  }
}

TEST_F(DataModuleTest, SignOnByATwelveLetterNameFindsItsTenLetterPrefix) {
  TData data(ui_, ExeDir());
  data.Uzivatele.SetDatabaseName(dir_.Path() + "/data");
  data.Uzivatele.Open();
  data.Uzivatele.Append();
  data.Uzivatele.FieldByName("USR_LNA").SetAsString("ŘEHOŘOVSKÝ");
  data.Uzivatele.FieldByName("USR_NAC").SetAsString("Řehořovský, Jan");
  data.Uzivatele.Post();
  data.Uzivatele.Close();
  data.userName = [] { return std::string("řehořovskýjr"); };
  data.SignOnByName();
  EXPECT_EQ(data.UserFullName, "Řehořovský, Jan");
  EXPECT_TRUE(data.Uzivatele.Active());  // stays open after a sign-on by name
}

TEST_F(DataModuleTest, RepricingItemsLookUpTheNameOfTheirStoreCard) {
  TData data(ui_, ExeDir());
  std::string store = dir_.Path() + "/stores/PROD1/";
  data.Sortiment.SetDatabaseName(store);
  data.Sortiment.SetTableName("Sor0001");
  data.Sortiment.IndexFiles = {"Sor0001"};
  data.Sortiment.SetIndexName("KAV");
  data.Sortiment.Open();
  data.Sortiment.Last();
  const std::string kav = data.Sortiment.FieldByName("SOR_KAV").AsString();
  const std::string name = data.Sortiment.FieldByName("SOR_NAC").AsString();
  data.Sortiment.First();
  data.Sortiment.Edit();  // an edit in progress stays untouched by the lookup
  data.Sortiment.FieldByName("SOR_NAC").SetAsString("rozepsáno");
  const long editing = data.Sortiment.RecNo();

  data.PrecPol.SetDatabaseName(store);
  data.PrecPol.SetTableName("PRP0001");
  data.PrecPol.Open();
  data.PrecPol.Append();
  data.PrecPol.FieldByName("PRP_KAV").SetAsString(kav);
  data.PrecPol.Post();
  EXPECT_EQ(data.PrecPol.FieldByName("PRP_NAC").AsString(), name);
  EXPECT_EQ(data.Sortiment.State(), TDataSetState::Edit);
  EXPECT_EQ(data.Sortiment.RecNo(), editing);
  EXPECT_EQ(data.Sortiment.FieldByName("SOR_NAC").AsString(), "rozepsáno");

  data.Sortiment.Cancel();
  data.Sortiment.Close();
  data.PrecPol.First();
  EXPECT_TRUE(data.PrecPol.FieldByName("PRP_NAC").IsNull());  // the store cards are closed
  TDbfTable alone;  // nothing of the lookup keeps the store's file open
  alone.SetDatabaseName(store);
  alone.SetTableName("Sor0001");
  alone.Exclusive = true;
  EXPECT_NO_THROW(alone.Open());
}

}  // namespace
