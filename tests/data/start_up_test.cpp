// Start-up of the data module on the demo data: the configuration, the
// master tables opened in card-number order, sign-on, and the recovery
// through the index rebuild when opening fails.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>

#include "data/data_module.h"
#include "data/drive_map.h"
#include "demo_data.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "xbase/file_names.h"

namespace {

namespace fs = std::filesystem;

// The data module of a program started by the system user "admin" in
// `exeDir`; `typed` is the answer of a sign-on dialog, if one is shown.
struct Started {
  RecordingUi ui;
  TData module;
  Started(const std::string& exeDir, std::optional<LoginInput> typed) : module(ui, exeDir) {
    ui.loginInput = std::move(typed);
    module.userName = [] { return std::string("admin"); };
    module.DataModuleCreate();
  }
};

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

    Started started(ExeDir(), c.typed);
    RecordingUi& ui = started.ui;
    TData& module = started.module;

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
  Started started(ExeDir(), std::nullopt);
  SetDriveMap({});
  RecordingUi& ui = started.ui;
  TData& module = started.module;

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(module.DataPath, "F:\\DATA");
  EXPECT_EQ(module.Sor0000.CurrentTagName(), "KAV");
  EXPECT_EQ(module.UserFullName, "Správce systému");
}

// Every file of the data directory with its bytes: what a failed start-up
// must leave as it found it.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    files[e.path().string()] = std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  return files;
}

// DataSor.ini with bad values: each ends with the program's own message
// (or starts as the values allow), never with a crash, a rebuild or a
// changed data file.
TEST_F(StartUpTest, BadConfiguration) {
  Fresh();
  const std::string ini = dir_.File("DataSor.ini");
  const std::string good = [&] {
    std::ifstream in(ini);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }();
  // The demo's DataSor.ini with `key` set to `value` (or dropped, for a null value).
  auto with = [&](const std::string& key, const char* value, std::string text = {}) {
    if (text.empty()) text = good;
    size_t at = text.find(key + "=");
    size_t end = text.find("\r\n", at);
    text.replace(at, end + 2 - at, value ? key + "=" + value + "\r\n" : std::string());
    return text;
  };
  const std::string admin = "Správce systému";
  const std::string notThere = dir_.Path() + "/nikde";
  const std::string aFile = Data() + "/SOR0000.DBF";
  const std::string longPath = dir_.Path() + "/" + std::string(300, 'x');
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::vector<std::string> messages;
    bool quit;
    int dialogs;
    std::string user;
  };
  auto write = [&](const std::string& text) { return [&ini, text] { std::ofstream(ini, std::ios::trunc | std::ios::binary) << text; }; };
  const Case cases[] = {
      {"DataSor.ini that cannot be read (a directory)",
       [&] { fs::remove(ini); fs::create_directory(ini); },
       {"Konfigurační soubor " + ini + " nelze přečíst !", "Není dostupný konfigurační soubor DataSor.ini"}, true, 0, ""},
      {"DataSor.ini of binary junk: every key at its default", write(std::string("\x01\xff\x00[\x80=\x9f\n", 8)),
       {std::string("Nejsou dostupné datové soubory na ") + TData::kDevelopmentDataPath}, true, 0, ""},
      {"CestaData missing", write(with("CestaData", nullptr)),
       {std::string("Nejsou dostupné datové soubory na ") + TData::kDevelopmentDataPath}, true, 0, ""},
      {"CestaData empty", write(with("CestaData", "")), {"Nejsou dostupné datové soubory na "}, true, 0, ""},
      {"CestaData of blanks", write(with("CestaData", " \t ")), {"Nejsou dostupné datové soubory na "}, true, 0, ""},
      {"CestaData that does not exist", write(with("CestaData", notThere.c_str())),
       {"Nejsou dostupné datové soubory na " + notThere}, true, 0, ""},
      {"CestaData that is a file", write(with("CestaData", aFile.c_str())),
       {"Nejsou dostupné datové soubory na " + aFile}, true, 0, ""},
      {"CestaData too long for the system", write(with("CestaData", longPath.c_str())),
       {"Nejsou dostupné datové soubory na " + longPath}, true, 0, ""},
      {"CestaData on a drive letter that is not mapped", write(with("CestaData", "G:\\DATA")),
       {"Nejsou dostupné datové soubory na G:\\DATA"}, true, 0, ""},
      {"LoginForm of letters counts as absent", write(with("LoginForm", "ano")), {}, false, 0, admin},
      {"LoginForm empty counts as absent", write(with("LoginForm", "")), {}, false, 0, admin},
      {"LoginForm of a number and letters counts as absent", write(with("LoginForm", "1x")), {}, false, 0, admin},
      {"LoginForm of another number than 0 asks", write(with("LoginForm", "-7")), {}, false, 1, admin},
      {"Sklad empty, CestaImport and CestaPrivate nowhere: start-up does not use them",
       write(with("Sklad", "", with("CestaPrivate", notThere.c_str(), with("CestaImport", notThere.c_str())))), {}, false, 0, admin},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(ini);
    std::ofstream(ini, std::ios::binary) << good;
    c.prepare();
    const auto before = Snapshot(Data());

    Started started(ExeDir(), LoginInput{"admin", "admin"});
    RecordingUi& ui = started.ui;
    TData& module = started.module;

    EXPECT_EQ(ui.Texts(), c.messages);
    EXPECT_EQ(ui.quitRequested, c.quit);
    EXPECT_EQ(ui.loginDialogShown, c.dialogs);
    EXPECT_EQ(module.UserFullName, c.user);
    EXPECT_TRUE(ui.progressWindows.empty());   // no index rebuild
    EXPECT_EQ(module.Sor0000.Active(), !c.quit);
    module.Sor0000.Close();
    module.Ces0000.Close();
    module.Uzivatele.Close();
    EXPECT_EQ(Snapshot(Data()), before);
  }
  fs::remove_all(ini);
}

// What a user may type into the sign-on dialog: a wrong name ends the
// program silently, a wrong password with its message; nothing is written.
TEST_F(StartUpTest, BadSignOnInput) {
  Fresh();
  SetLoginForm();
  struct Case {
    const char* what;
    LoginInput typed;
    std::vector<std::string> messages;
    bool quit;
  };
  const Case cases[] = {
      {"empty name and password", {"", ""}, {}, true},
      {"name longer than the column", {"adminadminadmin", "admin"}, {}, true},
      {"name of letters outside the code page", {"admin\xe2\x82\xac\xe6\x97\xa5", "admin"}, {}, true},
      {"name with a control character", {"ad\tmin", "admin"}, {}, true},
      {"empty password", {"admin", ""}, {"Neplatné heslo !!!"}, true},
      {"password longer than the column", {"admin", "adminadminadmin"}, {"Neplatné heslo !!!"}, true},
      {"password of letters outside the code page", {"admin", "\xe6\x97\xa5\xe6\x9c\xac"}, {"Neplatné heslo !!!"}, true},
  };
  const auto before = Snapshot(Data());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Started started(ExeDir(), c.typed);
    RecordingUi& ui = started.ui;
    TData& module = started.module;
    EXPECT_EQ(ui.Texts(), c.messages);
    EXPECT_EQ(ui.quitRequested, c.quit);
    EXPECT_EQ(module.UserFullName, "");
    EXPECT_TRUE(ui.progressWindows.empty());
    EXPECT_FALSE(module.Uzivatele.Active());
  }
  EXPECT_EQ(Snapshot(Data()), before);
}

}  // namespace
