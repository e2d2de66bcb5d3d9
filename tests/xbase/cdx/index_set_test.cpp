// The index files open on a table: names, places, tag lookup, and the lock
// seam around writes and seeks.
#include <gtest/gtest.h>

#include "cdx_test_util.h"
#include "support/temp_dir.h"
#include "test_key_source.h"
#include "xbase/cdx/index_set.h"

namespace {

class RecordingLocker : public XbIndexLocker {
 public:
  void Lock(XbCdxFile&, XbIndexAccess access) override {
    ++depth;
    (access == XbIndexAccess::Write ? writes : seeks)++;
  }
  void Unlock(XbCdxFile&, XbIndexAccess) override { --depth; }
  int depth = 0, writes = 0, seeks = 0;
};

TEST(IndexSet, OpensEachFileOnceAndFindsTagsInPlaceOrder) {
  TempDir dir;
  CreateTable(dir.File("Skl0001.dbf"), {{"KAV", 'C', 6}, {"IND", 'C', 3}});
  XbDbfFile dbf;
  dbf.Open(dir.File("Skl0001.dbf"), XbDbfFile::Options{});
  AppendRow(dbf, {{"KAV", "000001"}, {"IND", "01"}});
  XbIndexSet set(dbf, TestKeySources(dbf));
  XbCdxFile& first = set.OpenOrCreate("Skl0001");
  EXPECT_EQ(first.FileName(), dir.File("Skl0001.cdx"));
  first.CreateTag("KAV", "KAV+IND", "", true, false);
  XbCdxFile& second = set.OpenOrCreate(dir.File("OTHER"));
  second.CreateTag("KAV", "IND", "", false, false);
  second.CreateTag("IND", "IND", "", false, false);
  EXPECT_EQ(&set.Open("SKL0001.CDX"), &first);  // the same file name, any case
  EXPECT_EQ(set.Files().size(), 2u);
  EXPECT_EQ(set.FindTag(" kav "), first.FindTag("KAV"));
  EXPECT_EQ(set.FindTag("IND"), second.FindTag("IND"));
  EXPECT_EQ(set.FindTag("NONE"), nullptr);
  set.Close("skl0001");
  EXPECT_EQ(set.Files().size(), 1u);
  EXPECT_EQ(set.FindTag("KAV"), second.FindTag("KAV"));
  EXPECT_EQ(DbfErrorOf([&] { set.Open("MISSING"); }), "File " + dir.File("MISSING.cdx") + " could not be found");
}

TEST(IndexSet, LocksAroundEveryWriteAndSeek) {
  TempDir dir;
  CreateTable(dir.File("T.DBF"), {{"KAV", 'C', 6}});
  XbDbfFile dbf;
  dbf.Open(dir.File("T.DBF"), XbDbfFile::Options{});
  XbIndexSet set(dbf, TestKeySources(dbf));
  RecordingLocker locker;
  set.SetLocker(&locker);
  XbCdxFile& cdx = set.OpenOrCreate("T");
  cdx.CreateTag("KAV", "KAV", "", false, false);
  int writes = locker.writes;
  EXPECT_GE(writes, 1);
  AppendRow(dbf, {{"KAV", "1"}});
  UpdateRow(dbf, 1, {{"KAV", "2"}});
  EXPECT_EQ(locker.writes, writes + 4);  // around each write as a whole, and again inside its key upkeep
  cdx.FindTag("KAV")->FindFirst("2", false);
  cdx.FindTag("KAV")->Next();
  EXPECT_EQ(locker.seeks, 2);
  EXPECT_EQ(locker.depth, 0);
}

}  // namespace
