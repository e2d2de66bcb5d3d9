// Start-up of the data module on the demo data: the configuration, the
// master tables opened in card-number order, sign-on, and the recovery
// through the index rebuild when opening fails.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "data/data_module.h"
#include "data/drive_map.h"
#include "demo_data.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "xbase/file_names.h"

namespace {

namespace fs = std::filesystem;

class StartUpTest : public ::testing::Test {
 protected:
  // The demo data with the master index files, as the rebuild makes them.
  void Fresh() {
    fs::remove_all(Data());
    WriteDemoData(dir_.Path(), DemoSize{40, 2});
    RecordingUi quiet;
    TData setup(quiet, ExeDir());
    ASSERT_TRUE(setup.IniPrepare());
    setup.index();
    ASSERT_TRUE(quiet.messages.empty()) << quiet.Texts().front();
  }
  std::string ExeDir() const { return dir_.Path() + "/"; }
  std::string Data() const { return dir_.Path() + "/data"; }
  void SetLoginForm() const {
    std::ifstream in(dir_.File("DataSor.ini"));
    std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ini.replace(ini.find("LoginForm=0"), 11, "LoginForm=1");
    std::ofstream(dir_.File("DataSor.ini"), std::ios::trunc) << ini;
  }
  TempDir dir_;
};

TEST_F(StartUpTest, DataModuleCreate) {
  const std::string admin = "Správce systému";
  enum Opened { None, KavOrder };
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::optional<LoginInput> typed;   // the dialog's answer
    std::vector<std::string> messages;
    bool quit;
    int dialogs;                       // sign-on dialogs shown
    std::string user;                  // UserFullName afterwards
    Opened opened;                     // Sor0000 and Ces0000 afterwards
    bool rebuilt;                      // the index rebuild ran
  };
  const std::string data = Data();
  const Case cases[] = {
      {"known system name: signed on without a dialog", [] {}, std::nullopt, {}, false, 0, admin,
       KavOrder, false},
      {"LoginForm=1 asks even a known name", [this] { SetLoginForm(); }, LoginInput{"admin", "ADMIN "},
       {}, false, 1, admin, KavOrder, false},
      {"LoginForm=1, typed name unknown: the end, silently", [this] { SetLoginForm(); },
       LoginInput{"nikdo", ""}, {}, true, 1, "", KavOrder, false},
      {"LoginForm=1, wrong password", [this] { SetLoginForm(); }, LoginInput{"admin", "x"},
       {"Neplatné heslo !!!"}, true, 1, "", KavOrder, false},
      {"DataSor.ini missing",
       [this] { fs::remove(dir_.File("DataSor.ini")); },
       std::nullopt,
       {"Konfigurační soubor " + ExeDir() + "DataSor.ini nenalezen !", "Není dostupný konfigurační soubor DataSor.ini"},
       true, 0, "", None, false},
      {"Sor0000.dbf missing", [this] { fs::remove(Data() + "/SOR0000.DBF"); }, std::nullopt,
       {"Nejsou dostupné datové soubory na " + data}, true, 0, "", None, false},
      {"USR0000.dbf missing: no sign-on, the program goes on",
       [this] { fs::remove(Data() + "/USR0000.DBF"); }, std::nullopt,
       {"Data nejsou dostupná v adresáři " + data}, false, 0, "", KavOrder, false},
      {"Sor0000.cdx missing: rebuilt, no sign-on", [this] { fs::remove(ResolveFileName(Data() + "/Sor0000.cdx")); },
       std::nullopt, {}, false, 0, "", KavOrder, true},
      {"Sor0000.cdx damaged: rebuilt, no sign-on",
       [this] {
         std::ofstream(ResolveFileName(Data() + "/Sor0000.cdx"), std::ios::trunc) << std::string(2048, '\x5a');
       },
       std::nullopt, {}, false, 0, "", KavOrder, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    c.prepare();

    RecordingUi ui;
    ui.loginInput = c.typed;
    TData module(ui, ExeDir());
    module.userName = [] { return std::string("admin"); };
    module.DataModuleCreate();

    EXPECT_EQ(ui.Texts(), c.messages);
    EXPECT_EQ(ui.quitRequested, c.quit);
    EXPECT_EQ(ui.loginDialogShown, c.dialogs);
    EXPECT_EQ(module.UserFullName, c.user);
    EXPECT_EQ(module.Uzivatele.Active(), !c.user.empty());  // open after a sign-on only
    EXPECT_EQ(ui.progressWindows.size(), c.rebuilt ? 4u : 0u);
    EXPECT_EQ(module.Sor0000.Active(), c.opened == KavOrder);
    EXPECT_EQ(module.Ces0000.Active(), c.opened == KavOrder);
    if (c.opened == KavOrder) {
      EXPECT_EQ(module.Sor0000.CurrentTagName(), "KAV");
      EXPECT_EQ(module.Sor0000.FieldByName("SOR_KAV").AsString(), "000100");  // the lowest card number
      EXPECT_EQ(module.Sor0000.RecordCount(), 40);
      EXPECT_EQ(module.Skl0000.DatabaseName(), data);
      EXPECT_FALSE(module.Skl0000.Active());
    }
    if (c.rebuilt) {
      EXPECT_GT(fs::file_size(data + "/SOR0000.CDX"), 512u);
    }
  }
}

// DataSor.ini written on a shop's desktop: the data directory on a drive
// letter that the section "Disky" maps to a directory of this machine.
TEST_F(StartUpTest, DataPathOnAMappedDrive) {
  Fresh();
  std::ofstream(dir_.File("DataSor.ini"), std::ios::trunc)
      << "[DataSor]\r\nCestaData=F:\\DATA \r\n\r\n[Disky]\r\nf = " << dir_.Path() << "\r\nXY=/nowhere\r\n";
  LoadDriveMap(dir_.File("DataSor.ini"));
  RecordingUi ui;
  TData module(ui, ExeDir());
  module.userName = [] { return std::string("admin"); };
  module.DataModuleCreate();
  SetDriveMap({});

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(module.DataPath, "F:\\DATA");
  EXPECT_EQ(module.Sor0000.CurrentTagName(), "KAV");
  EXPECT_EQ(module.UserFullName, "Správce systému");
}

}  // namespace
