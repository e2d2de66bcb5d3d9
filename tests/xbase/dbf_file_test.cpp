#include "xbase/dbf_file.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <iterator>

#include "dbf_writer.h"
#include "support/fake_platform.h"
#include "support/lock_holder.h"
#include "support/temp_dir.h"
#include "xbase/errors.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Expects `fn` to raise EDbfError with exactly `message`.
template <class Fn>
void ExpectDbfError(Fn fn, const std::string& message) {
  try {
    fn();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const EDbfError& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

const std::vector<FieldSpec> kFields = {
    {"SOR_KAV", 'C', 6}, {"SOR_PC1", 'N', 6, 2}, {"SOR_MIN", 'N', 3, 0},
    {"SOR_SKL", 'L', 1}, {"SOR_DAT", 'D', 8},    {"SOR_POZ", 'C', 300},
};

class DbfFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("SOR0000.DBF");
    CreateTable(path_, kFields);
  }
  void Open(XbDbfFile& t, bool shared = true) {
    XbDbfFile::Options o;
    o.shared = shared;
    t.Open(path_, o);
  }
  // Appends n records whose SOR_KAV is the record number.
  void AppendNumbered(XbDbfFile& t, int n) {
    for (int i = 1; i <= n; ++i) {
      t.BlankRecord();
      t.PutText(t.FieldByName("SOR_KAV"), std::to_string(i));
      t.Append();
    }
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(DbfFileTest, NewRecordsCarryZeroNumbersAndEndWithEofByte) {
  XbDbfFile t;
  Open(t);
  t.BlankRecord();
  t.Append();
  t.BlankRecord();
  t.PutNumber(t.FieldByName("SOR_MIN"), 7);
  t.Append();
  EXPECT_EQ(t.RecordCount(), 2);
  t.GoTo(1);
  EXPECT_EQ(t.RawField(t.FieldByName("SOR_PC1")), "  0.00");
  EXPECT_EQ(t.GetNumber(t.FieldByName("SOR_PC1")), 0);
  EXPECT_FALSE(t.GetDate(t.FieldByName("SOR_DAT")).has_value());
  EXPECT_EQ(t.RawField(t.FieldByName("SOR_DAT")), "        ");
  t.GoTo(2);
  EXPECT_EQ(t.RawField(t.FieldByName("SOR_MIN")), "  7");

  std::string bytes = ReadAll(path_);
  int hl = t.HeaderLength(), rl = t.RecordLength();
  ASSERT_EQ(bytes.size(), static_cast<size_t>(hl + 2 * rl + 1));
  EXPECT_EQ(bytes.back(), '\x1A');
  // Updating the last record writes no end-of-file byte of its own.
  t.PutText(t.FieldByName("SOR_KAV"), "X");
  t.Update();
  EXPECT_EQ(ReadAll(path_).size(), bytes.size());
}

TEST_F(DbfFileTest, HeaderWriteKeepsVersionAndLengthsAndStoresYearSince1900) {
  std::string before = ReadAll(path_);
  XbDbfFile t;
  Open(t);
  AppendNumbered(t, 3);
  t.Close();
  std::string after = ReadAll(path_);
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after.substr(8, 4), before.substr(8, 4));
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(static_cast<uint8_t>(after[1]), local.tm_year);  // 2026 -> 126
  EXPECT_EQ(static_cast<uint8_t>(after[2]), local.tm_mon + 1);
  EXPECT_EQ(static_cast<uint8_t>(after[4]), 3);  // record count
}

TEST_F(DbfFileTest, RecordCountComesFromFileSize) {
  {
    XbDbfFile t;
    Open(t);
    AppendNumbered(t, 12);
  }
  // The header claims 10; the file holds 12 records and the 0x1A byte.
  std::string bytes = ReadAll(path_);
  bytes[4] = 10;
  WriteAll(path_, bytes);
  XbDbfFile t;
  Open(t);
  EXPECT_EQ(t.RecordCount(), 12);
  // A half-written record at the end does not count.
  t.Close();
  WriteAll(path_, bytes + std::string(5, ' '));
  Open(t);
  EXPECT_EQ(t.RecordCount(), 12);
}

TEST_F(DbfFileTest, AppendCountsRecordsThatAnotherWriterAppended) {
  XbDbfFile mine, other;
  Open(mine);
  Open(other);
  AppendNumbered(mine, 2);
  AppendNumbered(other, 1);  // the other program's record is number 3
  mine.BlankRecord();
  mine.PutText(mine.FieldByName("SOR_KAV"), "mine");
  mine.Append();
  EXPECT_EQ(mine.RecNo(), 4);
  EXPECT_EQ(static_cast<uint8_t>(ReadAll(path_)[4]), 4);
  other.GoTo(4);
  EXPECT_EQ(other.RawField(other.FieldByName("SOR_KAV")), "mine  ");
}

TEST_F(DbfFileTest, GoToByNumberAndByMove) {
  XbDbfFile t;
  Open(t);
  t.GoTo(XbDbfFile::Move::First);
  EXPECT_TRUE(t.Eof() && t.Bof());  // empty table: both flags, nothing read
  AppendNumbered(t, 3);
  t.GoTo(XbDbfFile::Move::First);
  EXPECT_EQ(t.RecNo(), 1);
  t.GoTo(XbDbfFile::Move::Previous);
  EXPECT_TRUE(t.Bof());
  EXPECT_EQ(t.RecNo(), 1);
  t.GoTo(XbDbfFile::Move::Last);
  EXPECT_EQ(t.RawField(t.FieldByName("SOR_KAV")), "3     ");
  t.GoTo(XbDbfFile::Move::Next);
  EXPECT_TRUE(t.Eof());
  ExpectDbfError([&] { t.GoTo(5); }, "Record number 5 is not in table " + path_);
  ExpectDbfError([&] { t.GoTo(0); }, "Record number 0 is not in table " + path_);
}

TEST_F(DbfFileTest, NumberWritesFollowTheFieldWidth) {
  XbDbfFile t;
  Open(t);
  t.BlankRecord();
  const XbField& pc1 = t.FieldByName("SOR_PC1");  // N 6.2
  const XbField& min = t.FieldByName("SOR_MIN");  // N 3.0
  t.PutNumber(pc1, 12.5);
  ExpectDbfError([&] { t.PutNumber(pc1, 1234.5); }, "numeric value too big in field SOR_PC1 - 1234.50");
  EXPECT_EQ(t.RawField(pc1), " 12.50");  // unchanged by the failed write
  t.PutNumber(min, 7);
  EXPECT_EQ(t.RawField(min), "  7");
  t.PutNumberText(min, "-12  ");
  EXPECT_EQ(t.RawField(min), "-12");
  ExpectDbfError([&] { t.PutNumberText(min, "1x"); }, "Invalid Number value for field SOR_MIN");
  ExpectDbfError([&] { t.PutNumber(t.FieldByName("SOR_KAV"), 1); }, "Field SOR_KAV is the incorrect type");
}

TEST_F(DbfFileTest, ReadingGarbageNumbersFails) {
  XbDbfFile t;
  Open(t);
  t.BlankRecord();
  const XbField& pc1 = t.FieldByName("SOR_PC1");
  t.PutText(pc1, "1,5");
  ExpectDbfError([&] { t.GetNumber(pc1); }, "Invalid numeric value in field SOR0000->SOR_PC1 (   1,5)");
}

TEST_F(DbfFileTest, LogicalsAndDates) {
  XbDbfFile t;
  Open(t);
  t.BlankRecord();
  const XbField& skl = t.FieldByName("SOR_SKL");
  struct Stored { const char* text; bool value; };
  for (Stored s : {Stored{"J", true}, {"y", true}, {"T", true}, {"?", false}, {" ", false}, {"F", false}}) {
    t.PutText(skl, s.text);
    EXPECT_EQ(t.GetLogical(skl), s.value) << s.text;
  }
  struct Typed { const char* text; bool ok; bool value; };
  for (Typed s : {Typed{"", true, false}, {"j", true, true}, {"n", true, false}, {"2", true, true},
                  {"0", true, false}, {"x", false, false}}) {
    if (!s.ok) {
      ExpectDbfError([&] { t.PutLogicalText(skl, s.text); }, "Invalid Logical value for field SOR_SKL");
      continue;
    }
    t.PutLogicalText(skl, s.text);
    EXPECT_EQ(t.RawField(skl), s.value ? "T" : "F") << s.text;
  }
  ExpectDbfError([&] { t.PutLogical(t.FieldByName("SOR_KAV"), true); }, "Invalid Logical value for field SOR_KAV");

  const XbField& dat = t.FieldByName("SOR_DAT");
  t.PutDate(dat, XbDate{2004, 5, 7});
  EXPECT_EQ(t.RawField(dat), "20040507");
  for (const char* bad : {"20041307", "00000000", "2004057 ", "20040230"}) {
    t.PutText(dat, bad);
    EXPECT_FALSE(t.GetDate(dat).has_value()) << bad;
  }
  t.PutDate(dat, std::nullopt);
  EXPECT_EQ(t.RawField(dat), "        ");
}

TEST_F(DbfFileTest, WideCharacterFieldsAndNameLookup) {
  XbDbfFile t;
  Open(t);
  const XbField& poz = t.FieldByName("sor_poz ");
  EXPECT_EQ(poz.length, 300);
  EXPECT_EQ(&t.FieldByName("sor_kav "), &t.FieldByName("SOR_KAV"));
  ExpectDbfError([&] { t.FieldByName("SOR_XXX"); }, "There is no field name " + path_ + "->SOR_XXX");
  t.BlankRecord();
  t.PutText(poz, std::string(310, 'x'));
  t.Append();
  t.GoTo(1);
  EXPECT_EQ(t.RawField(poz), std::string(300, 'x'));
}

TEST_F(DbfFileTest, DeleteAndRecallWriteTheFlag) {
  XbDbfFile t;
  Open(t);
  AppendNumbered(t, 2);
  t.GoTo(1);
  t.Delete();
  XbDbfFile other;
  Open(other);
  other.GoTo(1);
  EXPECT_TRUE(other.IsDeleted());
  t.Recall();
  other.GoTo(1);
  EXPECT_FALSE(other.IsDeleted());
}

TEST_F(DbfFileTest, DamagedFilesFailWithTheirMessage) {
  std::string good = ReadAll(path_);
  struct Case { const char* what; std::string bytes; const char* message; };
  std::string badVersion = good;
  badVersion[0] = 0x02;
  std::string longHeader = good;  // header length far beyond the descriptor area on disk
  longHeader[8] = static_cast<char>(0xFF);
  longHeader[9] = 0x7F;
  std::string zeroRecord = good;
  zeroRecord[10] = zeroRecord[11] = 0;
  std::string shortRecord = good;  // fields reach past the record length
  shortRecord[10] = 10;
  shortRecord[11] = 0;
  const Case cases[] = {
      {"truncated header", good.substr(0, 20), "Error on Read of file %s"},
      {"bad version", badVersion, "Table Header for %s is invalid"},
      {"short descriptor area", longHeader, "Error on Read of file %s"},
      {"record length 0", zeroRecord, "Table Header for %s is invalid"},
      {"fields past the record", shortRecord, "Table Header for %s is invalid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(path_, c.bytes);
    XbDbfFile t;
    ExpectDbfError([&] { Open(t); }, FormatMessage(c.message, {path_}));
    EXPECT_FALSE(t.IsOpen());
  }
  XbDbfFile t;
  ExpectDbfError([&] { t.Open(dir_.File("NONE.DBF"), {}); }, "File " + dir_.File("NONE.DBF") + " could not be found");
}

TEST_F(DbfFileTest, NamesMatchWithoutRegardToCaseAndGetAnExtension) {
  XbDbfFile t;
  t.Open(dir_.File("sor0000"), {});
  EXPECT_EQ(t.FileName(), path_);
  EXPECT_EQ(t.TableName(), "SOR0000");
}

TEST_F(DbfFileTest, ReadAheadWindowServesNaturalOrderFromMemory) {
  XbDbfFile t, other;
  Open(t);
  Open(other);
  AppendNumbered(t, 5);
  t.SetReadAhead(true);
  t.GoTo(1);  // fills the window with records 1..5
  other.GoTo(3);
  other.PutText(other.FieldByName("SOR_KAV"), "other");
  other.Update();
  t.GoTo(3);
  EXPECT_EQ(t.RawField(t.FieldByName("SOR_KAV")), "3     ");  // as it was when the window was filled
  t.GoTo(2);
  t.PutText(t.FieldByName("SOR_KAV"), "mine");
  t.Update();  // our own writes go into the window too
  t.GoTo(1);
  t.GoTo(2);
  EXPECT_EQ(t.RawField(t.FieldByName("SOR_KAV")), "mine  ");
  t.SetReadAhead(false);
  t.GoTo(3);
  EXPECT_EQ(t.RawField(t.FieldByName("SOR_KAV")), "other ");
}

TEST_F(DbfFileTest, ExclusiveOpenKeepsOthersOut) {
  XbDbfFile mine, other;
  Open(mine, false);
  ExpectDbfError([&] { Open(other); }, "Access denied to file " + path_);
  mine.Close();
  Open(other);
  XbDbfFile third;
  ExpectDbfError([&] { Open(third, false); }, "Access denied to file " + path_);
}

// On a network file system a shared open takes no whole-file lock (there it
// would block the other clients' record locks and writes); an exclusive open
// keeps every other user out wherever the file lies.
TEST_F(DbfFileTest, ShareModesFollowTheFileSystem) {
  auto otherCanFlock = [&](int operation) {
    return ChildHolder::Succeeds(path_, [operation](int fd) { return ::flock(fd, operation | LOCK_NB) == 0; });
  };
  struct Case { const char* what; uint64_t type; bool network; };
  const Case cases[] = {
      {"ext4", 0xEF53, false}, {"tmpfs", 0x01021994, false}, {"NFS", 0x6969, true},
      {"CIFS", 0xFF534D42, true}, {"SMB2", 0xFE534D42, true}, {"SMB", 0x517B, true}, {"FUSE", 0x65735546, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform platform;
    platform.fileSystemType = c.type;
    {
      XbDbfFile shared;
      Open(shared);
      EXPECT_EQ(shared.DiskFile().OnNetworkFileSystem(), c.network);
      EXPECT_EQ(otherCanFlock(LOCK_EX), c.network);
    }
    XbDbfFile exclusive;
    Open(exclusive, false);
    EXPECT_FALSE(otherCanFlock(LOCK_SH));
  }
}

}  // namespace
