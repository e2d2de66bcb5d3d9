// dbftool check and reindex: the administrator's proof that an index file is
// sound, and the rebuild of one tag, against the peer fixtures and damaged
// copies of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include "dbftool_run.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/cdx_test_util.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/cdx/index_set.h"

namespace {

std::string TagLineOf(const std::string& out, const std::string& tag) { return LineOf(out, "tag " + tag + " "); }

// A writable copy of a peer table and its index in `dir`.
std::string CopyPeer(const TempDir& dir, const std::string& table) {
  CopyInto(dir.Path(), PeerFile(table + ".CDX"), table + ".CDX");
  return CopyInto(dir.Path(), PeerFile(table + ".DBF"), table + ".DBF");
}

TEST(DbftoolCheck, PeerIndexesAreSoundTagByTag) {
  for (const char* table : {"SOR0000", "BIG", "EMPTY"}) {
    SCOPED_TRACE(table);
    CommandResult r = Dbftool("check " + PeerFile(std::string(table) + ".DBF"));
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<PeerTag> tags = ReadPeerTags(table);
    for (const PeerTag& t : tags) {
      std::string line = TagLineOf(r.out, t.name);
      EXPECT_NE(line.find(" " + std::to_string(t.count) + " keys  sound"), std::string::npos) << line;
      EXPECT_EQ(line.find("note"), std::string::npos) << line;
    }
    EXPECT_NE(LineOf(r.out, "directory").find(std::to_string(tags.size()) + " tags  sound"), std::string::npos);
    EXPECT_EQ(LineOf(r.out, "verdict"), "verdict: sound - " + std::to_string(tags.size()) +
                                            (tags.size() == 1 ? " tag" : " tags"));
  }
}

TEST(DbftoolCheck, FindsTheIndexWhateverTheCaseOfItsName) {
  TempDir dir;
  std::string table = CopyInto(dir.Path(), PeerFile("EMPTY.DBF"), "empty.dbf");
  std::string index = CopyInto(dir.Path(), PeerFile("EMPTY.CDX"), "Empty.Cdx");
  for (const std::string& args : {"check " + table, "check " + table + " --index EMPTY.CDX",
                                  "check " + table + " --index " + dir.File("EMPTY"), "check " + table + " --exclusive"}) {
    CommandResult r = Dbftool(args);
    EXPECT_EQ(r.exitCode, 0) << args << "\n" << r.err;
    EXPECT_EQ(LineOf(r.out, "index"), "index " + index + " of table " + table + " (0 records)") << args;
  }
}

// Damage to a copy of SOR0000: the damaged tag's line and its problems,
// the other tags sound, the verdict and the exit code say so.
TEST(DbftoolCheck, DamageShowsInTheTagsLineAndFailsTheCheck) {
  struct Case {
    const char* what;
    const char* tag;
    std::function<void(const std::string& dbf, const std::string& cdx)> damage;
    std::vector<std::string> problems;  // the start of each problem line expected
  };
  // The offsets of a tag's root and its first leaf, read through the engine.
  auto nodesOf = [](const std::string& dbfPath, const std::string& cdxPath, const char* name) {
    XbDbfFile dbf;
    dbf.Open(dbfPath, XbDbfFile::Options{});
    auto cdx = XbCdxFile::Open(cdxPath, dbf, ExpressionKeySources(dbf));
    XbCdxTag& tag = *cdx->FindTag(name);
    cdx::XbCdxNode node = cdx->ReadNode(tag.RootOffset(), tag.Format());
    while (!node.IsLeaf()) node = cdx->ReadNode(node.entries.front().child, tag.Format());
    return std::pair<uint32_t, uint32_t>(tag.RootOffset(), node.offset);
  };
  auto patch = [](const std::string& path, uint32_t offset, const std::string& bytes) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    f.write(bytes.data(), static_cast<long>(bytes.size()));
  };
  const Case cases[] = {
      {"free bytes of a leaf", "NAC",
       [&](const std::string& dbf, const std::string& cdx) {
         patch(cdx, nodesOf(dbf, cdx, "NAC").second + 12, std::string("\x07\x00", 2));
       },
       {"    leaf 0x", " says 7 free bytes, has "}},
      {"a parent entry's key", "KDO",
       [&](const std::string& dbf, const std::string& cdx) {
         patch(cdx, nodesOf(dbf, cdx, "KDO").first + 12, "\x01");
       },
       {" differs from the last key of its child "}},
      {"a record changed without its index", "KDO",
       [](const std::string& dbf, const std::string&) {
         XbDbfFile t;
         t.Open(dbf, XbDbfFile::Options{});
         UpdateRow(t, 5, {{"SOR_KDO", "ZZZ"}});
       },
       {"    record 5 with key \"ZZZ\" is missing", "    the entry for record 5 with key "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    std::string dbf = CopyPeer(dir, "SOR0000");
    c.damage(dbf, dir.File("SOR0000.CDX"));
    CommandResult r = Dbftool("check " + dbf);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_EQ(r.err, "");
    std::string line = TagLineOf(r.out, c.tag);
    EXPECT_EQ(line.substr(line.size() - 9), "  DAMAGED") << line;
    std::string after = r.out.substr(r.out.find(line) + line.size() + 1);
    for (const std::string& p : c.problems) {
      EXPECT_NE(after.substr(0, after.find("\ntag ")).find(p), std::string::npos) << p << "\n" << r.out;
    }
    for (const PeerTag& t : ReadPeerTags("SOR0000")) {
      if (t.name != c.tag) {
        EXPECT_NE(TagLineOf(r.out, t.name).find("  sound"), std::string::npos) << t.name;
      }
    }
    EXPECT_EQ(LineOf(r.out, "verdict"), "verdict: DAMAGED - problems in 1 of 8 tags");
  }
}

TEST(DbftoolCheck, UniqueTagAfterKeyUpkeepIsSoundWithANote) {
  TempDir dir;
  std::string path = CopyPeer(dir, "SOR0000");
  {
    XbDbfFile dbf;
    dbf.Open(path, XbDbfFile::Options{});
    XbIndexSet indexes(dbf, ExpressionKeySources(dbf));
    XbCdxTag& kav = *indexes.Open("SOR0000.CDX").FindTag("KAV");
    // The record that holds a repeated card number in the tag gets another
    // one; the later record with the old number stays out of the tag.
    std::map<std::string, long> first;
    long moved = 0;
    for (long n = 1; n <= dbf.RecordCount() && moved == 0; ++n) {
      dbf.GoTo(n);
      std::string key(dbf.RawField(dbf.FieldByName("SOR_KAV")));
      if (!first.emplace(key, n).second) moved = first[key];
    }
    ASSERT_NE(moved, 0);
    UpdateRow(dbf, moved, {{"SOR_KAV", "ZZZZZZ"}});
    ASSERT_EQ(kav.FindFirst("ZZZZZZ", false), moved);
  }
  CommandResult r = Dbftool("check " + path);
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(TagLineOf(r.out, "KAV").find("sound; note: this unique tag differs from a fresh build"), std::string::npos)
      << r.out;
  EXPECT_EQ(LineOf(r.out, "verdict"), "verdict: sound - 8 tags");
}

// Tags whose key expression names a field the table lacks: a character
// tag is checked in its structure and order, a tag of 8-byte keys (number,
// date or text) cannot even be decoded; neither is compared with the records.
TEST(DbftoolCheck, TagsThatCannotBeEvaluatedAreCheckedAsFarAsTheirKeysAreKnown) {
  TempDir dir;
  std::string path = CopyPeer(dir, "BIG");
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(32);  // KEY, the first field, becomes KEX
    f.write("KEX", 3);
    f.seekp(64);  // NUM, the second, NUX
    f.write("NUX", 3);
  }
  CommandResult r = Dbftool("check " + path);
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(TagLineOf(r.out, "KEY"),
            "tag KEY          70000 keys  sound; not compared with the table: its key expression cannot be evaluated "
            "(There is no function for KEY)");
  EXPECT_EQ(TagLineOf(r.out, "NUM"),
            "tag NUM              ? keys  not checked: its key expression cannot be evaluated, and keys of 8 bytes "
            "may be numbers, dates or text (There is no function for NUM)");
  EXPECT_EQ(LineOf(r.out, "verdict"), "verdict: sound - 2 tags, 2 of them not fully checked");
}

TEST(DbftoolCheck, MissingDamagedOrMisnamedFilesGiveOneLine) {
  TempDir dir;
  std::string table = CopyInto(dir.Path(), PeerFile("EMPTY.DBF"), "EMPTY.DBF");
  std::string cut = dir.File("CUT.CDX");
  std::ofstream(cut, std::ios::binary) << ReadFile(PeerFile("EMPTY.CDX")).substr(0, 700);
  std::string empty = dir.File("NEW.CDX");
  std::ofstream(empty, std::ios::binary) << "";
  struct Case {
    std::string args, err;
    int exitCode;
  };
  const Case cases[] = {
      {"check " + table, "dbftool: File " + dir.File("EMPTY.cdx") + " could not be found\n", 1},
      {"check " + dir.File("NONE.DBF"), "dbftool: File " + dir.File("NONE.DBF") + " could not be found\n", 1},
      {"check " + table + " --index CUT", "dbftool: Index file " + cut + " is corrupted\n", 1},
      // A check never writes, not even the empty directory of a new file.
      {"check " + table + " --index NEW.CDX", "dbftool: Index file " + empty + " is corrupted\n", 1},
      {"check", "", 2},
      {"check " + table + " " + table, "", 2},
      {"check " + table + " --unique", "", 2},
      {"reindex " + table + " EMPTY KEY", "", 2},
  };
  for (const Case& c : cases) {
    CommandResult r = Dbftool(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
    if (c.exitCode == 2) {
      EXPECT_EQ(r.err.rfind("usage: dbftool", 0), 0u) << c.args;
    } else {
      EXPECT_EQ(r.err, c.err) << c.args;
    }
    EXPECT_EQ(r.out, "") << c.args;
  }
  EXPECT_EQ(ReadFile(empty), "");
}

TEST(DbftoolReindex, RebuiltPeerTagsWalkInThePeerOrder) {
  TempDir dir;
  std::string path = CopyPeer(dir, "SOR0000");
  std::vector<PeerTag> tags = ReadPeerTags("SOR0000");
  for (const PeerTag& t : tags) {
    std::string args = "reindex " + path + " sor0000.cdx " + t.name + " '" + t.key + "'";
    if (!t.filter.empty()) args += " --for '" + t.filter + "'";
    if (t.unique) args += " --unique";
    if (t.descending) args += " --descending";
    CommandResult r = Dbftool(args);
    EXPECT_EQ(r.exitCode, 0) << args << "\n" << r.err;
    EXPECT_EQ(r.out.rfind("tag " + t.name + " of " + dir.File("SOR0000.CDX") + ": " + std::to_string(t.count) +
                              " keys from 3000 records (" + t.key,
                          0),
              0u)
        << r.out;
  }
  XbDbfFile dbf;
  dbf.Open(path, XbDbfFile::Options{});
  auto cdx = XbCdxFile::Open(dir.File("SOR0000.CDX"), dbf, ExpressionKeySources(dbf));
  for (const PeerTag& t : tags) {
    SCOPED_TRACE(t.name);
    XbCdxTag* tag = cdx->FindTag(t.name);
    ASSERT_NE(tag, nullptr);
    EXPECT_NE(tag->HeaderOffset(), 0u);
    EXPECT_EQ(tag->Unique(), t.unique);
    EXPECT_EQ(tag->Descending(), t.descending);
    EXPECT_EQ(tag->FilterExpression(), t.filter);
    EXPECT_EQ(WalkForward(*tag), ReadManifest(PeerFile("SOR0000." + t.name + ".txt")));
  }
  EXPECT_EQ(Dbftool("check " + path).exitCode, 0);
}

TEST(DbftoolReindex, CreatesANewIndexFileWithNumericKeys) {
  TempDir dir;
  std::string path = CopyInto(dir.Path(), PeerFile("BIG.DBF"), "BIG.DBF");
  CommandResult r = Dbftool("reindex " + path + " " + dir.File("OWN") + " num NUM");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "tag NUM of " + dir.File("OWN.cdx") + ": 70000 keys from 70000 records (NUM)\n");
  XbDbfFile dbf;
  dbf.Open(path, XbDbfFile::Options{});
  auto cdx = XbCdxFile::Open(dir.File("OWN.cdx"), dbf, ExpressionKeySources(dbf));
  ASSERT_EQ(cdx->Tags().size(), 1u);
  EXPECT_EQ(WalkForward(*cdx->FindTag("NUM")), ReadManifest(PeerFile("BIG.NUM.txt")));
  EXPECT_EQ(Dbftool("check " + path + " --index OWN").exitCode, 0);
}

TEST(DbftoolReindex, AWrongExpressionBuildsNothing) {
  TempDir dir;
  std::string path = CopyPeer(dir, "SOR0000");
  std::string before = ReadFile(dir.File("SOR0000.CDX"));
  struct Case {
    std::string args, err;
  };
  const Case cases[] = {
      {"KAV SOR_XXX", "dbftool: There is no function for SOR_XXX\n"},  // unknown field
      {"KAV SOR_KAV --for 'SOR_OLD .AND.'", ""},                    // filter cut short
      {"'' SOR_KAV", "dbftool: Cannot find index tag \n"},          // no tag name
  };
  for (const Case& c : cases) {
    CommandResult r = Dbftool("reindex " + path + " SOR0000 " + c.args);
    EXPECT_EQ(r.exitCode, 1) << c.args;
    if (!c.err.empty()) {
      EXPECT_EQ(r.err, c.err) << c.args;
    }
    EXPECT_EQ(r.err.rfind("dbftool: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_TRUE(ReadFile(dir.File("SOR0000.CDX")) == before) << "the index file changed";
  EXPECT_EQ(Dbftool("reindex " + path + " NEW KAV SOR_XXX").exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("NEW.cdx")));
}

// Both commands share the files with other users unless --exclusive.
TEST(DbftoolIndexCommands, ShareTheFilesUnlessExclusive) {
  TempDir dir;
  std::string path = CopyPeer(dir, "EMPTY");
  XbDbfFile other;  // another user has the table open
  other.Open(path, XbDbfFile::Options{});
  EXPECT_EQ(Dbftool("check " + path).exitCode, 0);
  EXPECT_EQ(Dbftool("reindex " + path + " EMPTY KEY KEY").exitCode, 0);
  for (const char* command : {"check FILE --exclusive", "reindex FILE EMPTY KEY KEY --exclusive"}) {
    std::string args = command;
    args.replace(args.find("FILE"), 4, path);
    CommandResult r = Dbftool(args);
    EXPECT_EQ(r.exitCode, 1) << args;
    EXPECT_EQ(r.err, "dbftool: Access denied to file " + path + "\n");
  }
}

}  // namespace
