// dbftool against tables that another xBase engine wrote, and against
// damaged files.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "dbf_writer.h"
#include "support/lock_holder.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "xbase/table/dbf_table.h"

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

// The record numbers of a dump with --recno, one per line, as the manifests hold them.
std::string RecnoColumn(const std::string& tsv) {
  std::string out;
  size_t pos = tsv.find('\n') + 1;  // past the header
  while (pos < tsv.size()) {
    size_t tab = tsv.find('\t', pos);
    out += tsv.substr(pos, tab - pos) + '\n';
    pos = tsv.find('\n', pos) + 1;
  }
  return out;
}

TEST(DbftoolDump, PeerTagsWalkInTheirExpectedOrder) {
  struct Case { const char* table; const char* tag; };
  for (Case c : {Case{"SOR0000", "KAV"}, {"SOR0000", "NAC"}, {"SOR0000", "KDO"}, {"SOR0000", "KVY"},
                 {"SOR0000", "PC1"}, {"SOR0000", "DAT"}, {"SOR0000", "OLD"}, {"SOR0000", "KVD"},
                 {"BIG", "KEY"}, {"BIG", "NUM"}, {"EMPTY", "KEY"}}) {
    SCOPED_TRACE(std::string(c.table) + "." + c.tag);
    CommandResult r = RunCommand(BinPath("dbftool") + " dump " + Peer(std::string(c.table) + ".DBF") + " --tag " +
                                 c.tag + " --recno --deleted --index " + Peer(std::string(c.table) + ".CDX"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(RecnoColumn(r.out) == ReadAll(Peer(std::string(c.table) + "." + c.tag + ".txt")));
  }
}

TEST(DbftoolSeek, FindsByPrefixOrExactly) {
  std::string big = Peer("BIG.DBF");
  struct Case { std::string args; int exitCode; std::string out; };
  const Case cases[] = {
      {"KEY 0000012345 --exact", 0, "RECNO\tKEY\tNUM\n39577\t0000012345\t-2976\n"},
      {"KEY 000001234 --exact", 1, "not found\n"},
      {"KEY 000001234", 0, "RECNO\tKEY\tNUM\n"},  // the first key beginning with it
      {"NUM -2976 --exact", 0, "RECNO\tKEY\tNUM\n39577\t0000012345\t-2976\n"},
  };
  for (const Case& c : cases) {
    CommandResult r = RunCommand(BinPath("dbftool") + " seek " + big + " " + c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args << r.err;
    EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.args;
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
      {"info " + dir.File("NONE.DBF"), "dbftool: Cannot find file " + dir.File("NONE.DBF") + "\n"},
      {"dump " + damaged, "dbftool: Table Header for " + damaged + " is invalid\n"},
  };
  for (const Case& c : cases) {
    CommandResult r = RunCommand(BinPath("dbftool") + " " + c.args);
    EXPECT_NE(r.exitCode, 0) << c.args;
    EXPECT_EQ(r.err, c.message);
    EXPECT_EQ(r.out, "");
  }
}

TEST(DbftoolEdit, SetAndAppendThroughTheTableObject) {
  TempDir dir;
  std::string table = dir.File("SOR0001.DBF");
  CreateTable(table, {{"SOR_KAV", 'C', 6}, {"SOR_NAC", 'C', 30}, {"SOR_PC1", 'N', 8, 2}, {"SOR_DAT", 'D', 8}});
  std::string tool = BinPath("dbftool");
  CommandResult r = RunCommand(tool + " append " + table + " SOR_KAV=000123 'SOR_NAC=Šroub M8' SOR_PC1=12.5");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "1\n");
  r = RunCommand(tool + " set " + table + " --recno 1 SOR_PC1=13 SOR_DAT=2026-12-10");
  EXPECT_EQ(r.out, "1\n") << r.err;
  EXPECT_EQ(RunCommand(tool + " dump " + table).out,
            "SOR_KAV\tSOR_NAC\tSOR_PC1\tSOR_DAT\n000123\tŠroub M8\t13.00\t2026-12-10\n");

  struct Case { std::string args; std::string message; };
  const Case failures[] = {
      {"set " + table + " --recno 1 SOR_XXX=1", "dbftool: Field 'SOR_XXX' not found\n"},
      {"set " + table + " --recno 1 SOR_PC1=123456", "dbftool: numeric value too big in field SOR_PC1 - 123456.00\n"},
      {"set " + table + " --recno 1 SOR_PC1=abc", "dbftool: Invalid Number value for field SOR_PC1\n"},
      {"set " + table + " --recno 5 SOR_PC1=1", "dbftool: Record number 5 is not in table " + table + "\n"},
  };
  for (const Case& c : failures) {
    r = RunCommand(tool + " " + c.args);
    EXPECT_EQ(r.exitCode, 1) << c.args;
    EXPECT_EQ(r.err, c.message);
  }
  LockHolder shop(table, 1000000001, 1, 10000);  // a shop program edits record 1
  ASSERT_TRUE(shop.Locked());
  r = RunCommand(tool + " set " + table + " --recno 1 SOR_PC1=99");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "dbftool: Record is locked by another user\n");
  EXPECT_NE(RunCommand(tool + " dump " + table).out.find("\t13.00\t"), std::string::npos);
}

TEST(DbftoolEdit, WritesKeepTheTablesOwnIndexCurrent) {
  TempDir dir;
  std::string table = dir.File("Sor0001.dbf");
  CreateTable(table, {{"SOR_KAV", 'C', 6}, {"SOR_PC1", 'N', 8, 2}});
  std::string tool = BinPath("dbftool");
  for (const char* kav : {"000300", "000100"}) RunCommand(tool + " append " + table + " SOR_KAV=" + kav);
  {
    TDbfTable t;  // the shops' programs keep a same-named index file
    t.SetDatabaseName(dir.Path());
    t.SetTableName("Sor0001");
    t.Open();
    t.CreateIndexTag("SOR0001.CDX", "KAV", "SOR_KAV", "", 0, 0);
  }
  EXPECT_EQ(RunCommand(tool + " append " + table + " SOR_KAV=000200").out, "3\n");
  CommandResult r = RunCommand(tool + " set " + table + " --tag KAV --key 000100 SOR_KAV=000400 SOR_PC1=1.5");
  EXPECT_EQ(r.out, "2\n") << r.err;
  EXPECT_EQ(RunCommand(tool + " dump " + table + " --tag KAV").out,
            "SOR_KAV\tSOR_PC1\n000200\t0.00\n000300\t0.00\n000400\t1.50\n");
  r = RunCommand(tool + " set " + table + " --tag KAV --key 000100 SOR_PC1=2");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "dbftool: no record with the key 000100 in the tag KAV\n");
}

}  // namespace
