// tamorix-prenos run as the shops run it at night, on the demo data.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "demo_data.h"
#include "support/lock_holder.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "xbase/dbf_file.h"
#include "xbase/lock_protocol.h"
#include "xbase/table/dbf_table.h"

namespace {

class PrenosTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteDemoData(dir_.Path(), DemoSize{60, 2}); }
  CommandResult Run() { return RunCommand(BinPath("tamorix-prenos") + " --ini '" + dir_.File("DataSor.ini") + "'"); }
  TempDir dir_;
};

TEST_F(PrenosTest, RunsTheTransferAndSumsUpEveryStore) {
  CommandResult r = Run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("0001 Prodejna Brno: nové karty "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0002 Prodejna Olomouc: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(", doklad 0000000001\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Úpravy skladu Prodejna Olomouc [##############################] 100 %"), std::string::npos)
      << r.err;
  // The stores' index files stay sound.
  int checked = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.Path() + "/stores")) {
    if (e.path().extension() != ".cdx") continue;
    std::filesystem::path dbf = e.path();
    dbf.replace_extension(".dbf");  // each index file beside its table, of the same name
    ++checked;
    CommandResult check = RunCommand(BinPath("dbftool") + " check '" + dbf.string() + "' --index '" + e.path().string() + "'");
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
  }
  EXPECT_GE(checked, 10);  // five per store with its card table
  // A second run: nothing left to reprice or create.
  r = Run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("0001 Prodejna Brno: nové karty 0, "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("přeceněné karty 0, nové varianty 0, řádky deníku 0, doklad -"), std::string::npos) << r.out;
}

TEST_F(PrenosTest, SignOnByTheSystemNameOnly) {
  // LoginForm=1 asks for no dialog at night.
  {
    std::string ini = dir_.File("DataSor.ini");
    std::string text;
    {
      std::ifstream in(ini);
      text.assign(std::istreambuf_iterator<char>(in), {});
    }
    text.replace(text.find("LoginForm=0"), 11, "LoginForm=1");
    std::ofstream(ini, std::ios::trunc) << text;
  }
  EXPECT_EQ(Run().exitCode, 0);

  // The system name unknown to the users table: a clear message, exit 1.
  TDbfTable users;
  users.SetDatabaseName(dir_.Path() + "/data");
  users.SetTableName("USR0000.DBF");
  users.Open();
  for (users.First(); !users.Eof(); users.Next()) {
    users.Edit();
    users.FieldByName("USR_LNA").SetAsString("NIKDO");
    users.Post();
  }
  users.Close();
  CommandResult r = Run();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("není v tabulce uživatelů"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());

  // Without a users table it runs without a user.
  std::filesystem::remove(dir_.Path() + "/data/USR0000.DBF");
  EXPECT_EQ(Run().exitCode, 0);
}

TEST_F(PrenosTest, AnErrorEndsTheRunWithExitOne) {
  std::string sor = dir_.Path() + "/stores/PROD1/SOR0001.DBF";
  if (!std::filesystem::exists(sor)) sor = dir_.Path() + "/stores/PROD1/Sor0001.dbf";
  XbDbfFile f;
  XbDbfFile::Options o;
  o.writable = false;
  f.Open(sor, o);
  XbLockRegion region = RecordLockRegion(TXbLockProtocol::Default, 1, true, f.HeaderLength(), f.RecordLength());
  f.Close();
  LockHolder shop(sor, region.offset, region.length, -1);
  ASSERT_TRUE(shop.Locked());
  CommandResult r = Run();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Chyba: Record is locked by another user"), std::string::npos) << r.err;

  EXPECT_EQ(RunCommand(BinPath("tamorix-prenos") + " --ini /nonexistent/DataSor.ini").exitCode, 1);
  EXPECT_EQ(RunCommand(BinPath("tamorix-prenos") + " --bad").exitCode, 2);
}

}  // namespace
