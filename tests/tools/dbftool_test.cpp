// dbftool against tables that another xBase engine wrote, and against
// damaged files.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "dbf_writer.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

std::string Peer(const std::string& name) { return std::string(TAMORIX_PEER_FIXTURES) + "/" + name; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DbftoolDump, PeerTablesDumpExactlyAsTheirExpectedTsv) {
  for (const char* table : {"SOR0000", "BIG", "EMPTY", "CZ", "VFP"}) {
    SCOPED_TRACE(table);
    std::string dbf = Peer(std::string(table) + ".DBF");
    CommandResult plain = RunCommand(BinPath("dbftool") + " dump " + dbf);
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_TRUE(plain.out == ReadAll(Peer(std::string(table) + ".tsv"))) << "plain dump differs";
    CommandResult all = RunCommand(BinPath("dbftool") + " dump " + dbf + " --deleted");
    EXPECT_TRUE(all.out == ReadAll(Peer(std::string(table) + ".deleted.tsv"))) << "--deleted dump differs";
  }
}

TEST(DbftoolDump, RecnoColumnComesBeforeDeleted) {
  CommandResult r = RunCommand(BinPath("dbftool") + " dump " + Peer("CZ.DBF") + " --deleted --recno");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "RECNO\tDELETED\tKOD\tNAZEV\tCENA\tPOCET\tAKTIV\tDATUM\tPOZN");
  std::string second = r.out.substr(r.out.find('\n') + 1);
  EXPECT_EQ(second.substr(0, 3), "1\t\t");
}

TEST(DbftoolInfo, ShowsHeaderFactsAndFields) {
  CommandResult r = RunCommand(BinPath("dbftool") + " info " + Peer("VFP.DBF"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* line : {"Version:        0x30", "Header length:  520", "Record length:  366", "Records:        50",
                           "  POZN        C   300   0", "  CENA        N    12   2", "Last update:    20"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
}

TEST(Dbftool, MissingOrDamagedFilesGiveOneLineAndFailure) {
  TempDir dir;
  std::string damaged = dir.File("BAD.DBF");
  CreateTable(damaged, {{"KEY", 'C', 10}});
  std::string bytes = ReadAll(damaged);
  bytes[0] = 0x02;
  std::ofstream(damaged, std::ios::binary | std::ios::trunc) << bytes;
  struct Case { std::string args; std::string message; };
  const Case cases[] = {
      {"info " + dir.File("NONE.DBF"), "dbftool: File " + dir.File("NONE.DBF") + " could not be found\n"},
      {"dump " + damaged, "dbftool: Table Header for " + damaged + " is invalid\n"},
  };
  for (const Case& c : cases) {
    CommandResult r = RunCommand(BinPath("dbftool") + " " + c.args);
    EXPECT_NE(r.exitCode, 0) << c.args;
    EXPECT_EQ(r.err, c.message);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
