// Record and append locks seen from other processes and other table objects.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "dbf_writer.h"
#include "support/fake_platform.h"
#include "support/lock_holder.h"
#include "support/temp_dir.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"

namespace {

class LockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("SOR0000.DBF");
    CreateTable(path_, {{"SOR_KAV", 'C', 6}});
    XbDbfFile t;
    Open(t, TXbLockProtocol::ClipLock);
    for (int i = 0; i < 20; ++i) {
      t.BlankRecord();
      t.Append();
    }
  }
  void Open(XbDbfFile& t, TXbLockProtocol protocol, bool shared = true) {
    XbDbfFile::Options o;
    o.protocol = protocol;
    o.shared = shared;
    t.Open(path_, o);
  }
  bool Free(uint64_t offset) { return OtherProcessCanLock(path_, offset, 1); }
  long FileSize() {
    struct stat st;
    ::stat(path_.c_str(), &st);
    return st.st_size;
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(LockTest, RegionsOfEachProtocol) {
  struct Case { TXbLockProtocol protocol; bool index; long recno; XbLockRegion record, append, index_; };
  const Case cases[] = {
      {TXbLockProtocol::ClipLock, false, 15, {1000000015, 1}, {1000000000, 1}, {1000000000, 1}},
      {TXbLockProtocol::Default, true, 1, {0x7FFFFFFD, 1}, {0x7FFFFFFE, 1}, {0x7FFFFFFD, 1}},
      {TXbLockProtocol::Default, false, 3, {0x40000000 + 66 + 7 * 2, 1}, {0x7FFFFFFE, 1}, {0x7FFFFFFD, 1}},
      {TXbLockProtocol::FoxLock, true, 2, {0x7FFFFFFC, 1}, {0x7FFFFFFE, 1}, {0x7FFFFFFD, 1}},
      {TXbLockProtocol::DB4Lock, false, 2, {0xEFFFFFFC, 1}, {0xEFFFFFFF, 1}, {0xEFFFFFFE, 2}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecordLockRegion(c.protocol, c.recno, c.index, 66, 7), c.record);
    EXPECT_EQ(AppendLockRegion(c.protocol), c.append);
    EXPECT_EQ(IndexLockRegion(c.protocol), c.index_);
  }
  // The ClipLock whole-file lock covers every record lock and the append lock.
  EXPECT_EQ(FileLockRegion(TXbLockProtocol::ClipLock), (XbLockRegion{1000000000, 1000000000}));
}

TEST_F(LockTest, RecordLocksNestAndHoldOneRegion) {
  XbDbfFile t;
  Open(t, TXbLockProtocol::ClipLock);
  ASSERT_TRUE(t.LockRecord(7));
  EXPECT_TRUE(t.LockRecord(7));
  EXPECT_FALSE(t.LockRecord(8));  // one region per table object
  EXPECT_FALSE(Free(1000000007));
  t.UnlockRecord();
  EXPECT_FALSE(Free(1000000007));
  t.UnlockRecord();
  EXPECT_TRUE(Free(1000000007));
  t.UnlockRecord();  // nothing held: nothing happens
  EXPECT_TRUE(t.LockRecord(8));
}

TEST_F(LockTest, TwoTableObjectsExcludeEachOtherAndCloseIndependently) {
  XbDbfFile a, b;
  Open(a, TXbLockProtocol::ClipLock);
  Open(b, TXbLockProtocol::ClipLock);
  ASSERT_TRUE(a.LockRecord(7));
  EXPECT_FALSE(b.LockRecord(7));
  ASSERT_TRUE(b.LockRecord(8));
  b.Close();
  EXPECT_FALSE(Free(1000000007));  // a still holds its lock
  EXPECT_TRUE(Free(1000000008));
}

TEST_F(LockTest, RecordLockedByAnotherProgramIsRefusedAtOnce) {
  LockHolder other(path_, 1000000005, 1, 10000);
  ASSERT_TRUE(other.Locked());
  XbDbfFile t;
  Open(t, TXbLockProtocol::ClipLock);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(t.LockRecord(5));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_TRUE(t.LockRecord(6));
}

TEST_F(LockTest, ExclusiveTableLocksWithoutTheOperatingSystem) {
  XbDbfFile t;
  Open(t, TXbLockProtocol::ClipLock, false);
  EXPECT_TRUE(t.LockRecord(7));
  EXPECT_TRUE(t.LockRecord(8));
  EXPECT_TRUE(Free(1000000007));
}

// The append lock is tried 100 times, 50 ms apart: a shop program holding it
// for 1.5 s is waited for, one holding it for 5 s and more is not.
TEST_F(LockTest, AppendWaitsForAShortAppendLockAndGivesUpOnALongOne) {
  XbDbfFile t;
  Open(t, TXbLockProtocol::ClipLock);
  {
    FakePlatform platform;
    std::optional<LockHolder> other;
    other.emplace(path_, 1000000000, 1, -1);
    ASSERT_TRUE(other->Locked());
    platform.onPause = [&](int) {
      if (platform.pausedMillis == 1500) other.reset();
    };
    t.BlankRecord();
    EXPECT_NO_THROW(t.Append());
    EXPECT_EQ(t.RecordCount(), 21);
    EXPECT_EQ(platform.pauses, 30);
  }
  EXPECT_TRUE(Free(1000000000));  // given up after the append
  FakePlatform platform;
  LockHolder other(path_, 1000000000, 1, -1);
  ASSERT_TRUE(other.Locked());
  long size = FileSize();
  t.BlankRecord();
  try {
    t.Append();
    ADD_FAILURE() << "append went through";
  } catch (const EDbfError& e) {
    EXPECT_EQ(std::string(e.what()), "Can not Lock file " + path_);
  }
  EXPECT_EQ(FileSize(), size);
  EXPECT_EQ(t.RecordCount(), 21);
  EXPECT_EQ(platform.pauses, 100);
  EXPECT_EQ(platform.pausedMillis, 5000);
}

TEST_F(LockTest, AppendWhileHoldingARecordLockFailsAtOnce) {
  XbDbfFile t;
  Open(t, TXbLockProtocol::ClipLock);
  ASSERT_TRUE(t.LockRecord(3));
  t.BlankRecord();
  EXPECT_THROW(t.Append(), EDbfError);
  EXPECT_FALSE(Free(1000000003));  // the record lock stays
}

}  // namespace
