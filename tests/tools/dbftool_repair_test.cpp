// dbftool repair and check --tree: what to run after a program was killed in
// the middle of a write. The damage a kill leaves (a record whose keys never
// reached the index, a header that does not count the last record) is made
// on copies of the peer files; repair must mend it in place, keeping the
// shops' own tag headers, under the shops' index lock.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/lock_holder.h"
#include "dbftool_run.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/cdx_test_util.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/lock_protocol.h"

namespace fs = std::filesystem;

namespace {

// The 1024-byte header of every tag, by tag name.
std::map<std::string, std::string> TagHeaders(const std::string& dbfPath, const std::string& cdxPath) {
  XbDbfFile dbf;
  dbf.Open(dbfPath, XbDbfFile::Options{});
  auto cdx = XbCdxFile::Open(cdxPath, dbf, ExpressionKeySources(dbf));
  std::string bytes = ReadFile(cdxPath);
  std::map<std::string, std::string> headers;
  for (const auto& tag : cdx->Tags()) headers[tag->Name()] = bytes.substr(tag->HeaderOffset(), 1024);
  return headers;
}

// What a kill between the record write and the key upkeep leaves: a record
// appended to the table without its index file.
void AppendWithoutIndex(const std::string& path, const std::vector<std::pair<std::string, std::string>>& values) {
  XbDbfFile t;
  t.Open(path, XbDbfFile::Options{});
  AppendRow(t, values);
}

// What a kill between the record write and the header write leaves: the
// header's count one short of the records the file holds.
void HeaderOneBehind(const std::string& path) {
  std::string bytes = ReadFile(path);
  uint32_t count = static_cast<uint8_t>(bytes[4]) | static_cast<uint8_t>(bytes[5]) << 8 |
                   static_cast<uint8_t>(bytes[6]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[7])) << 24;
  --count;
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(4);
  for (int i = 0; i < 4; ++i) f.put(static_cast<char>(count >> (8 * i)));
}

// Rebuilt in place from their own headers, the peer tags (unique, filtered,
// descending, numeric, dates) walk in the peer order again, and every header
// byte but the root offset is as the other engine wrote it.
TEST(DbftoolRepair, RebuildsEveryPeerTagInPlaceFromItsOwnHeader) {
  TempDir dir;
  std::string dbf = CopyInto(dir.Path(), PeerFile("SOR0000.DBF"), "SOR0000.DBF");
  std::string cdx = CopyInto(dir.Path(), PeerFile("SOR0000.CDX"), "SOR0000.CDX");
  std::map<std::string, std::string> before = TagHeaders(dbf, cdx);
  {
    // Damage in the leaves of every tag: the first key byte of every leaf
    // after the directory's blocks is overwritten.
    std::fstream f(cdx, std::ios::in | std::ios::out | std::ios::binary);
    for (uint64_t at = 1536; at + 512 <= fs::file_size(cdx); at += 512) {
      f.seekg(static_cast<long>(at));
      char attr = 0;
      f.get(attr);
      if (attr == 2) {  // a leaf that is not a root
        f.seekp(static_cast<long>(at + 511));
        f.put('\x7F');
      }
    }
  }
  ASSERT_EQ(Dbftool("check " + dbf).exitCode, 1);
  CommandResult r = Dbftool("repair " + dbf);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(LineOf(r.out, "header:"), "header: 3000 records, as the file holds");
  EXPECT_EQ(LineOf(r.out, "verdict"), "verdict: repaired - 8 tags rebuilt");
  std::map<std::string, std::string> after = TagHeaders(dbf, cdx);
  ASSERT_EQ(after.size(), before.size());
  XbDbfFile table;
  table.Open(dbf, XbDbfFile::Options{});
  auto index = XbCdxFile::Open(cdx, table, ExpressionKeySources(table));
  for (const PeerTag& t : ReadPeerTags("SOR0000")) {
    SCOPED_TRACE(t.name);
    EXPECT_EQ(LineOf(r.out, "tag " + t.name + " "), "tag " + std::string(t.name).append(10 - t.name.size(), ' ') + " " +
                                                       std::string(7 - std::to_string(t.count).size(), ' ') +
                                                       std::to_string(t.count) + " keys  rebuilt");
    EXPECT_NE(after[t.name].substr(0, 4), before[t.name].substr(0, 4)) << "a new root";
    EXPECT_EQ(after[t.name].substr(4), before[t.name].substr(4));
    EXPECT_EQ(WalkForward(*index->FindTag(t.name)), ReadManifest(PeerFile("SOR0000." + t.name + ".txt")));
  }
  CommandResult check = Dbftool("check " + dbf);
  EXPECT_EQ(check.exitCode, 0) << check.out;
}

// A repair on a drive that is full (a file-size limit of the index file's
// present size: the rebuilt trees cannot be written) ends with the engine's
// error, not killed by the limit's signal, and leaves every tag as it was.
TEST(DbftoolRepair, ADriveThatIsFullEndsTheRepairWithItsErrorAndTheTagsAsTheyWere) {
  TempDir dir;
  std::string dbf = CopyInto(dir.Path(), PeerFile("SOR0000.DBF"), "SOR0000.DBF");
  std::string cdx = CopyInto(dir.Path(), PeerFile("SOR0000.CDX"), "SOR0000.CDX");
  const std::string before = ReadFile(cdx);
  // ulimit -f counts blocks of 512 bytes in the shell that runs the command.
  CommandResult r = RunCommand("ulimit -f " + std::to_string(before.size() / 512) + " && " + BinPath("dbftool") +
                               " repair " + dbf);
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
  EXPECT_NE((r.out + r.err).find("Error writing to"), std::string::npos) << r.out << r.err;
  EXPECT_EQ(ReadFile(cdx).size(), before.size());
  EXPECT_EQ(Dbftool("check " + dbf).exitCode, 0);
}

// A store's card table of the peer chain, with the shops' extra tags NAC and
// EAN: after a card appended without its keys and a header left one record
// behind, check --tree names the two files and the record's missing keys;
// repair mends both, and the card is found by its number again.
TEST(DbftoolRepair, MendsWhatAKillLeavesInAStoreOfThePeerChain) {
  TempDir dir;
  fs::copy(PeerFile("chain"), dir.Path(), fs::copy_options::recursive);
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir.Path()))
    fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
  std::string store = dir.File("stores/PROD1");
  std::string sor = store + "/SOR0001.DBF";
  CommandResult clean = Dbftool("check --tree " + dir.Path());
  ASSERT_EQ(clean.exitCode, 0) << clean.out << clean.err;
  EXPECT_EQ(LineOf(clean.out, "index stores/PROD1/SOR0001.CDX").substr(35), "3 tags  sound");

  AppendWithoutIndex(sor, {{"SOR_KAV", "777777"}, {"SOR_NAC", "CAJ ZELENY"}, {"SOR_EAN", "8590000777777"}});
  HeaderOneBehind(store + "/SKL0001.DBF");
  CommandResult damaged = Dbftool("check --tree " + dir.Path());
  EXPECT_EQ(damaged.exitCode, 1);
  EXPECT_EQ(damaged.err, "");
  std::string records = LineOf(damaged.out, "table stores/PROD1/SKL0001.DBF");
  EXPECT_NE(records.find("HEADER BEHIND - the header counts "), std::string::npos) << damaged.out;
  long recno = 0;
  {
    XbDbfFile t;
    t.Open(sor, XbDbfFile::Options{});
    recno = t.RecordCount();
  }
  std::string record = "record " + std::to_string(recno);
  for (const char* problem : {"    tag EAN: ", "    tag KAV: ", "    tag NAC: "}) {
    std::string line = LineOf(damaged.out, problem);
    EXPECT_EQ(line.substr(line.find(": ") + 2, record.size()), record) << damaged.out;
    EXPECT_EQ(line.substr(line.size() - 11), " is missing") << line;
  }
  std::string verdict = LineOf(damaged.out, "verdict");
  EXPECT_EQ(verdict.rfind("verdict: UNSOUND - 2 of ", 0), 0u) << verdict;
  std::string named = " files: stores/PROD1/SKL0001.DBF stores/PROD1/SOR0001.CDX";
  EXPECT_EQ(verdict.substr(verdict.size() - std::min(verdict.size(), named.size())), named) << verdict;

  CommandResult header = Dbftool("repair " + store + "/SKL0001.DBF");
  EXPECT_EQ(header.exitCode, 0) << header.out << header.err;
  EXPECT_NE(LineOf(header.out, "header:").find("; rewritten"), std::string::npos) << header.out;
  CommandResult tags = Dbftool("repair " + sor);
  EXPECT_EQ(tags.exitCode, 0) << tags.out << tags.err;
  EXPECT_EQ(LineOf(tags.out, "verdict"), "verdict: repaired - 3 tags rebuilt");
  CommandResult sound = Dbftool("check --tree " + dir.Path());
  EXPECT_EQ(sound.exitCode, 0) << sound.out;
  CommandResult seek = Dbftool("seek " + sor + " KAV 777777");
  EXPECT_EQ(seek.exitCode, 0) << seek.err;
  EXPECT_NE(seek.out.find("777777"), std::string::npos) << seek.out;
}

// Repair takes the shops' index lock as a writer of the index: while
// another process holds it, repair waits, and when it is not given up in
// the engine's time, repair is refused with the engine's message and the
// index file stays as it was.
TEST(DbftoolRepair, WaitsForTheShopsIndexLockOrIsRefused) {
  TempDir dir;
  std::string dbf = CopyInto(dir.Path(), PeerFile("EMPTY.DBF"), "EMPTY.DBF");
  std::string cdx = CopyInto(dir.Path(), PeerFile("EMPTY.CDX"), "EMPTY.CDX");
  XbLockRegion lock = IndexLockRegion(TXbLockProtocol::ClipLock);
  std::string before = ReadFile(cdx);
  {
    LockHolder shop(cdx, lock.offset, lock.length, -1);
    ASSERT_TRUE(shop.Locked());
    CommandResult r = Dbftool("repair " + dbf);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "dbftool: Can not Lock file " + cdx + "\n");
    EXPECT_TRUE(ReadFile(cdx) == before);
  }
  {
    LockHolder shop(cdx, lock.offset, lock.length, 1000);
    ASSERT_TRUE(shop.Locked());
    CommandResult r = Dbftool("repair " + dbf);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(LineOf(r.out, "verdict"), "verdict: repaired - 1 tag rebuilt");
  }
}

TEST(DbftoolRepair, TablesWithoutIndexAndWrongCommandLines) {
  TempDir dir;
  std::string cz = CopyInto(dir.Path(), PeerFile("CZ.DBF"), "CZ.DBF");
  HeaderOneBehind(cz);
  CommandResult r = Dbftool("repair " + cz);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(LineOf(r.out, "header:"), "header: counted 499 records, the file holds 500; rewritten");
  EXPECT_EQ(LineOf(r.out, "verdict"), "verdict: repaired - no index file");
  EXPECT_EQ(LineOf(Dbftool("check --tree " + dir.Path()).out, "table CZ.DBF").substr(35), "500 records  sound");
  for (const std::string& args : {std::string("repair"), "repair " + cz + " --tree", std::string("check --tree"),
                                  "check --tree " + dir.Path() + " --index X.CDX"}) {
    CommandResult usage = Dbftool(args);
    EXPECT_EQ(usage.exitCode, 2) << args;
    EXPECT_EQ(usage.err.rfind("usage: dbftool", 0), 0u) << args;
  }
}

}  // namespace
