// Ordered access through the table object: index files, tags, seeks with
// their three calling modes, key ranges, Locate through a tag, tag builds,
// index locks against other processes, and two processes appending at once.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

#include "dbf_writer.h"
#include "support/fake_platform.h"
#include "support/lock_holder.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/errors.h"
#include "xbase/table/dbf_table.h"

namespace {

struct Variant {
  const char* kav;
  const char* ind;
  double price;
};

class OrderedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(dir_.File("Skl0001.dbf"), {{"SKL_KAV", 'C', 6}, {"SKL_IND", 'C', 3}, {"SKL_SNC", 'N', 12, 4}});
    TDbfTable t;
    Bind(t);
    t.Open();
    const Variant rows[] = {{"000123", "01 ", 12.0625}, {"000123", "000", 5},    {"000200", "000", 99},
                            {"000123", "A01", 7},       {"000100", "000", 12.5}, {"000123", "002", 3}};
    for (const Variant& v : rows) {
      t.Append();
      t.FieldByName("SKL_KAV").SetAsString(v.kav);
      t.FieldByName("SKL_IND").SetAsString(v.ind);
      t.FieldByName("SKL_SNC").SetAsFloat(v.price);
      t.Post();
    }
    t.CreateIndexTag("Skl0001", "KAV", "SKL_KAV+SKL_IND", "", 0, 0);
    t.CreateIndexTag("Skl0001", "SNC", "SKL_SNC", "", 1, 0);
  }
  void Bind(TDbfTable& t) {
    t.SetDatabaseName(dir_.Path());
    t.SetTableName("Skl0001");
    t.SetLockProtocol(TXbLockProtocol::ClipLock);
  }
  // Opens the table with its index file in the order of `tag`.
  void OpenWith(TDbfTable& t, const std::string& tag) {
    Bind(t);
    t.IndexFiles = {"Skl0001"};
    t.SetIndexName(tag);
    t.Open();
  }
  std::string Key(TDbfTable& t) { return t.FieldByName("SKL_KAV").AsString() + t.FieldByName("SKL_IND").AsString(); }
  std::vector<std::string> Walk(TDbfTable& t) {
    std::vector<std::string> keys;
    for (t.First(); !t.Eof(); t.Next()) keys.push_back(Key(t));
    return keys;
  }
  TempDir dir_;
};

TEST_F(OrderedTest, OpeningClosingAndSelecting) {
  TDbfTable t;
  Bind(t);
  t.Open();
  EXPECT_EQ(t.OpenIndexFile(dir_.Path() + "/Skl0001"), 0);
  EXPECT_EQ(t.OpenIndexFile(dir_.Path() + "/Skl0001"), -1);
  EXPECT_EQ(t.CurrentTagName(), "");  // opening selects no tag
  t.SetRecNo(3);
  t.SelectTag(" kav ");
  EXPECT_EQ(t.RecNo(), 3);  // the record shown stays, now in tag order
  EXPECT_EQ(Walk(t), (std::vector<std::string>{"000100000", "000123000", "000123002", "00012301", "000123A01",
                                               "000200000"}));
  try {
    t.SelectTag("NONE");
    ADD_FAILURE();
  } catch (const EDbfError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot find index tag NONE");
  }
  EXPECT_EQ(t.CurrentTagName(), "KAV");  // the previous order stays
  EXPECT_EQ(t.IndexName(), "NONE");
  t.CloseIndexFile("SKL0001.CDX");
  EXPECT_EQ(t.CurrentTagName(), "");
  EXPECT_EQ(t.RecNo(), 3);  // the engine stays on its record, the last of the walk
}

TEST_F(OrderedTest, SeekModes) {
  TDbfTable t;
  OpenWith(t, "KAV");
  struct Case { const char* what; std::string key; bool exact, near, found; std::string at; bool eof; };
  const Case cases[] = {
      {"exact hit", "00012301", true, false, true, "00012301", false},
      {"exact, one character short", "0001230", true, false, false, "000200000", true},
      {"prefix", "0001230", false, false, true, "000123000", false},
      {"near, between keys", "000150", false, true, false, "000200000", false},
      {"near, above every key", "9", false, true, false, "000200000", true},
      {"trailing blanks ignored", "00012301   ", true, false, true, "00012301", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    t.First();
    EXPECT_EQ(t.SeekKey(c.key, c.exact, c.near), c.found);
    EXPECT_EQ(Key(t), c.at);
    EXPECT_EQ(t.Eof(), c.eof);
  }
  EXPECT_TRUE(t.SeekLastKey("000123", false));
  EXPECT_EQ(Key(t), "000123A01");

  TDbfTable byPrice;
  OpenWith(byPrice, "SNC");
  EXPECT_TRUE(byPrice.SeekKey("12", false));  // 12.0625 begins with the key of 12
  EXPECT_DOUBLE_EQ(byPrice.FieldByName("SKL_SNC").AsFloat(), 12.0625);
  EXPECT_TRUE(byPrice.SeekKey("12,5", true));
  EXPECT_DOUBLE_EQ(byPrice.FieldByName("SKL_SNC").AsFloat(), 12.5);

  TDbfTable natural;
  Bind(natural);
  natural.Open();
  EXPECT_THROW(natural.SeekKey("x"), EDatabaseError);
}

TEST_F(OrderedTest, SeeksOnAnEmptyTableDoNotMove) {
  CreateTable(dir_.File("EMPTY.DBF"), {{"KEY", 'C', 4}});
  TDbfTable t;
  t.SetDatabaseName(dir_.Path());
  t.SetTableName("EMPTY");
  t.Open();
  t.CreateIndexTag("EMPTY", "KEY", "KEY", "", 1, 0);
  t.OpenIndexFile("EMPTY");
  t.SelectTag("KEY");
  EXPECT_FALSE(t.SeekKey("A"));
  EXPECT_FALSE(t.SeekKeyValues({std::string("A")}));
  EXPECT_TRUE(t.Eof());
}

TEST_F(OrderedTest, SeekKeyValuesAndHiddenLastKeys) {
  TDbfTable t;
  OpenWith(t, "KAV");
  t.SeekKey("000200");
  EXPECT_TRUE(t.SeekKeyValues({std::string("000123")}));
  EXPECT_EQ(Key(t), "000123000");  // the card's first variant
  EXPECT_FALSE(t.SeekKeyValues({std::string("000124")}));
  EXPECT_EQ(Key(t), "000123000");  // still the record shown before

  t.SeekKey("000123A01");
  t.Delete();  // the last entry with the prefix is hidden now
  EXPECT_TRUE(t.SeekLastKey("000123", false));
  EXPECT_EQ(Key(t), "00012301");  // an earlier visible record with the key
}

TEST_F(OrderedTest, KeyRanges) {
  TDbfTable t;
  OpenWith(t, "KAV");
  t.SetKeyRange("000123000", "000123999");
  EXPECT_EQ(Walk(t), (std::vector<std::string>{"000123000", "000123002", "00012301"}));  // A01 lies outside
  t.ExactCount = true;
  EXPECT_EQ(t.RecordCount(), 3);
  t.ExactCount = false;
  EXPECT_EQ(t.RecordCount(), 6);
  EXPECT_FALSE(t.SeekKey("000200"));  // outside the range: the range's last record, end state
  EXPECT_EQ(Key(t), "00012301");
  EXPECT_TRUE(t.Eof());
  t.SetRecNo(6);
  t.SetKeyRange("000123000", "000123999");  // the same bounds: no move
  EXPECT_EQ(t.RecNo(), 6);
  t.SetKeyRange("000123", "000123");  // 6 characters against 9-character keys
  EXPECT_TRUE(Walk(t).empty());
  t.SelectTag("KAV");  // selecting the tag again removes the range
  EXPECT_EQ(Walk(t).size(), 6u);
}

TEST_F(OrderedTest, LocateUsesAMatchingTagAndKeepsTheOrder) {
  TDbfTable t;
  OpenWith(t, "SNC");
  EXPECT_TRUE(t.Locate("SKL_KAV;SKL_IND", {std::string("000123"), std::string("002")}));
  EXPECT_EQ(Key(t), "000123002");
  EXPECT_EQ(t.CurrentTagName(), "SNC");
  t.Next();  // the order is still the price order
  EXPECT_DOUBLE_EQ(t.FieldByName("SKL_SNC").AsFloat(), 5);
  EXPECT_FALSE(t.Locate("SKL_KAV;SKL_IND", {std::string("000123"), std::string("003")}));
  EXPECT_DOUBLE_EQ(t.FieldByName("SKL_SNC").AsFloat(), 5);
}

TEST_F(OrderedTest, CreatingATagClosesEveryIndexFile) {
  TDbfTable t;
  OpenWith(t, "KAV");
  CreateTable(dir_.File("Other.dbf"), {{"X", 'C', 1}});
  t.CreateIndexTag("Second", "IND", "SKL_IND", "", 1, 0);
  t.OpenIndexFile("Second");
  t.SelectTag("IND");
  std::vector<int> status;
  t.OnStatus = [&](int s1, int, int) { status.push_back(s1); };
  t.CreateIndexTag("Skl0001", "DES", "SKL_KAV", "", 1, 1);
  EXPECT_EQ(t.CurrentTagName(), "");
  EXPECT_EQ(t.IndexName(), "IND");
  EXPECT_EQ(t.RecNo(), 1);
  EXPECT_EQ(t.OpenIndexFile("Second"), 0);  // it was closed
  EXPECT_EQ(t.OpenIndexFile("Skl0001"), 0);
  EXPECT_EQ(status.front(), -1);
  EXPECT_EQ(status.back(), 0);
  t.SelectTag("DES");
  t.First();
  EXPECT_EQ(t.FieldByName("SKL_KAV").AsString(), "000200");  // descending
  try {
    t.CreateIndexTag("Skl0001", " ", "SKL_KAV", "", 1, 0);
    ADD_FAILURE();
  } catch (const EDbfError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot find index tag  ");
  }
}

TEST_F(OrderedTest, IndexLocksHeldByAnotherProgram) {
  TDbfTable t;
  OpenWith(t, "KAV");
  std::string cdx = dir_.File("Skl0001.cdx");
  FakePlatform platform;
  {
    std::optional<LockHolder> shop;
    shop.emplace(cdx, 1000000000, 1, -1);  // for a moment: the seek waits for it
    ASSERT_TRUE(shop->Locked());
    platform.onPause = [&](int) {
      if (platform.pausedMillis == 1000) shop.reset();
    };
    EXPECT_TRUE(t.SeekKey("000200", false));
    EXPECT_EQ(platform.pauses, 20);
  }
  platform.onPause = nullptr;
  // Natural order with the index file open: the edit reads no tag, the post
  // must lock the index file before writing anything.
  t.SelectTag("");
  t.SetRecNo(1);
  LockHolder shop(cdx, 1000000000, 1, -1);
  ASSERT_TRUE(shop.Locked());
  t.Edit();
  t.FieldByName("SKL_IND").SetAsString("999");
  try {
    t.Post();
    ADD_FAILURE();
  } catch (const EDbfError& e) {
    EXPECT_EQ(std::string(e.what()), "Can not Lock file " + cdx);
  }
  t.Cancel();
  TDbfTable other;
  Bind(other);
  other.Open();
  other.SetRecNo(1);
  EXPECT_EQ(other.FieldByName("SKL_IND").AsString(), "01");  // nothing written
}

// Index nodes are kept between seeks under the index lock and dropped when
// the file's change counter or free list moved: a seek after another
// program's change finds it, a seek after none reads no node again.
TEST_F(OrderedTest, HeldIndexNodesFollowAnotherProgramsChanges) {
  TDbfTable t;
  OpenWith(t, "KAV");
  ASSERT_TRUE(t.SeekKey("000200000"));
  long reads = XbDiskFile::CallCount().reads;
  ASSERT_TRUE(t.SeekKey("000100000"));
  EXPECT_EQ(XbDiskFile::CallCount().reads - reads, 2) << "the index stamp and the record";

  pid_t child = ::fork();
  if (child == 0) {
    int code = 0;
    try {
      TDbfTable shop;
      OpenWith(shop, "KAV");
      shop.Append();
      shop.FieldByName("SKL_KAV").SetAsString("000150");
      shop.FieldByName("SKL_IND").SetAsString("000");
      shop.Post();
      if (!shop.SeekKey("000200000")) code = 2;
      shop.Edit();
      shop.FieldByName("SKL_KAV").SetAsString("000300");
      shop.Post();
    } catch (...) {
      code = 1;
    }
    ::_exit(code);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(t.SeekKey("000150000"));
  EXPECT_FALSE(t.SeekKey("000200000"));
  EXPECT_TRUE(t.SeekKey("000300000"));
}

TEST_F(OrderedTest, TwoProcessesAppendingKeepEveryRecordAndKey) {
  constexpr int kEach = 150;
  auto appendRows = [&](const char* prefix) {
    TDbfTable t;
    OpenWith(t, "KAV");
    for (int i = 0; i < kEach; ++i) {
      t.Append();
      t.FieldByName("SKL_KAV").SetAsString(prefix);
      t.FieldByName("SKL_IND").SetAsString(std::to_string(100 + i));
      t.Post();
    }
  };
  pid_t child = ::fork();
  if (child == 0) {
    int code = 0;
    try {
      appendRows("900000");
    } catch (...) {
      code = 1;
    }
    ::_exit(code);
  }
  appendRows("800000");
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  TDbfTable t;
  OpenWith(t, "KAV");
  EXPECT_EQ(t.RecordCount(), 6 + 2 * kEach);
  EXPECT_EQ(Walk(t).size(), static_cast<size_t>(6 + 2 * kEach));
  XbDbfFile dbf;
  dbf.Open(dir_.File("Skl0001.dbf"), {});
  auto file = XbCdxFile::Open(dir_.File("Skl0001.cdx"), dbf, ExpressionKeySources(dbf));
  for (const XbTagReport& r : CheckIndexFile(*file)) EXPECT_TRUE(r.Sound()) << r.tag;
}


// Two programs adding to the same records at once: an edit reads the record
// under its record lock, so no increment of the other process is written over.
TEST_F(OrderedTest, TwoProcessesIncrementingTheSameRecordsLoseNothing) {
  constexpr int kEach = 5000;
  const char* keys[] = {"00012301", "000123000", "000200000"};
  auto increment = [&]() {
    TDbfTable t;
    OpenWith(t, "KAV");
    for (int i = 0; i < kEach; ++i) {
      if (!t.SeekKey(keys[i % 3])) throw std::runtime_error("key not found");
      for (;;) {
        try {
          t.Edit();
          break;
        } catch (const EDatabaseError&) {  // the other process holds the record: try again
        }
      }
      TField& f = t.FieldByName("SKL_SNC");
      f.SetAsFloat(f.AsFloat() + 1);
      t.Post();
    }
  };
  double before = 0;
  {
    TDbfTable t;
    OpenWith(t, "KAV");
    for (const char* k : keys) {
      ASSERT_TRUE(t.SeekKey(k));
      before += t.FieldByName("SKL_SNC").AsFloat();
    }
  }
  pid_t child = ::fork();
  if (child == 0) {
    int code = 0;
    try {
      increment();
    } catch (...) {
      code = 1;
    }
    ::_exit(code);
  }
  increment();
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  TDbfTable t;
  OpenWith(t, "KAV");
  double after = 0;
  for (const char* k : keys) {
    ASSERT_TRUE(t.SeekKey(k));
    after += t.FieldByName("SKL_SNC").AsFloat();
  }
  EXPECT_EQ(after - before, 2 * kEach);
}

}  // namespace
