// The table object over a table file: properties, field objects, states,
// record locks, deletion and the messages a user sees.

#include "xbase/table/dbf_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "dbf_writer.h"
#include "support/fake_platform.h"
#include "support/lock_holder.h"
#include "support/temp_dir.h"
#include "xbase/errors.h"

namespace {

template <class E, class Fn>
void ExpectError(Fn fn, const std::string& message) {
  try {
    fn();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(dir_.File("Sor0000.DBF"), {{"SOR_KAV", 'C', 6}, {"SOR_NAC", 'C', 30}, {"SOR_PC1", 'N', 12, 2},
                                            {"SOR_MIN", 'N', 8, 0}, {"SOR_SKL", 'L', 1}, {"SOR_DAT", 'D', 8}});
    TDbfTable t;
    Bind(t);
    t.Open();
    for (int i = 1; i <= 10; ++i) {
      t.Append();
      t.FieldByName("SOR_KAV").SetAsString("00000" + std::to_string(i % 10));
      t.FieldByName("SOR_MIN").SetAsInteger(i);
      t.Post();
    }
  }
  void Bind(TDbfTable& t) {
    t.SetDatabaseName(dir_.Path());
    t.SetTableName("Sor0000");
    t.SetLockProtocol(TXbLockProtocol::ClipLock);
  }
  // Record numbers shown walking the table from the first record.
  std::vector<long> Walk(TDbfTable& t) {
    std::vector<long> seen;
    for (t.First(); !t.Eof(); t.Next()) seen.push_back(t.RecNo());
    return seen;
  }
  TempDir dir_;
};

TEST_F(TableTest, DirectoryAndNameResolution) {
  TDbfTable::ClearAliases();
  TDbfTable t;
  t.SetDatabaseName(dir_.Path() + "\\");
  EXPECT_EQ(t.DatabaseName(), dir_.Path());
  EXPECT_EQ(t.ResolvedDirectory(), dir_.Path() + "/");
  t.SetTableName("Sor0000");
  t.Open();
  EXPECT_EQ(t.TableName(), "Sor0000.DBF");
  t.Close();

  std::ofstream(dir_.File("xbase.cfg")) << "[Alias]\nSHOP = " << dir_.Path() << "\n";
  TDbfTable::LoadAliases(dir_.File("xbase.cfg"));
  t.SetDatabaseName("shop");
  EXPECT_EQ(t.ResolvedDirectory(), dir_.Path() + "/");
  t.SetDatabaseName("default directory");
  EXPECT_EQ(t.ResolvedDirectory(), std::string(TAMORIX_BIN_DIR) + "/");  // where the program file lies
  TDbfTable::ClearAliases();

  TDbfTable missing;
  missing.SetDatabaseName(dir_.Path());
  ExpectError<EDatabaseError>([&] { missing.Open(); }, "Table name missing");
  missing.SetTableName("NONE");
  ExpectError<EDatabaseError>([&] { missing.Open(); }, "Cannot find file " + dir_.File("NONE.DBF"));
  t.SetDatabaseName(dir_.Path());
  t.Open();
  ExpectError<EDatabaseError>([&] { t.SetTableName("X"); }, "Cannot perform this operation on an open dataset");
}

TEST_F(TableTest, DeclaredFieldsMustMatchTheFile) {
  struct Case { std::string name; TFieldType type; std::string message; };
  const Case cases[] = {
      {"SOR_XXX", TFieldType::String, "Field 'SOR_XXX' not found"},
      {"SOR_PC1", TFieldType::Integer, "Type mismatch for field 'SOR_PC1', expecting: Integer actual: Float"},
      {"SOR_MIN", TFieldType::Float, "Type mismatch for field 'SOR_MIN', expecting: Float actual: Integer"},
  };
  for (const Case& c : cases) {
    TDbfTable t;
    Bind(t);
    t.AddField("SOR_KAV", TFieldType::String, 6);
    t.AddField(c.name, c.type);
    ExpectError<EDatabaseError>([&] { t.Open(); }, c.message);
    EXPECT_FALSE(t.Active());
  }
  TDbfTable ok;  // 16- and 32-bit integers are one kind; extra file fields are fine
  Bind(ok);
  ok.AddField("sor_min", TFieldType::Smallint);
  EXPECT_NO_THROW(ok.Open());
  EXPECT_EQ(ok.Fields().size(), 1u);
}

TEST_F(TableTest, FieldValuesAndCodePage) {
  TDbfTable t;
  Bind(t);
  t.Open();
  t.Edit();
  t.FieldByName("SOR_NAC").SetAsString("Šroubovák křížový");
  t.FieldByName("SOR_PC1").SetAsFloat(12.5);
  t.FieldByName("SOR_DAT").SetAsDate(XbDate{2004, 5, 7});
  t.Post();
  EXPECT_EQ(t.FieldByName("SOR_NAC").AsString(), "Šroubovák křížový");
  EXPECT_EQ(t.File().RawField(t.File().FieldByName("SOR_NAC")).substr(0, 2), "\xE6r");  // Š in 852
  EXPECT_DOUBLE_EQ(t.FieldByName("SOR_PC1").AsFloat(), 12.5);
  EXPECT_EQ(t.FieldByName("SOR_DAT").AsString(), "07.05.2004");
  t.Next();
  EXPECT_TRUE(t.FieldByName("SOR_NAC").IsNull());      // empty text reads as null
  EXPECT_FALSE(t.FieldByName("SOR_PC1").IsNull());     // numbers never do
  EXPECT_FALSE(t.FieldByName("SOR_SKL").IsNull());
  EXPECT_TRUE(t.FieldByName("SOR_DAT").IsNull());
  // Whole numbers round halves to the even neighbour.
  for (auto [stored, value] : {std::pair{"     2.5", 2}, {"     3.5", 4}, {"    -2.5", -2}}) {
    t.Edit();
    t.File().PutText(t.File().FieldByName("SOR_MIN"), stored);
    EXPECT_EQ(t.FieldByName("SOR_MIN").AsInteger(), value) << stored;
    t.Cancel();
  }
  // A stored number beyond the 64-bit range has no whole value: an error,
  // not an undefined conversion. The number itself still reads as a number.
  t.Edit();
  t.File().PutText(t.File().FieldByName("SOR_MIN"), "   -1e19");
  t.File().PutText(t.File().FieldByName("SOR_PC1"), "9.3e18");
  ExpectError<EDbfError>([&] { t.FieldByName("SOR_MIN").AsString(); },
                         "Invalid numeric value in field SOR0000->SOR_MIN (-1e+19)");
  EXPECT_DOUBLE_EQ(t.FieldByName("SOR_PC1").AsFloat(), 9.3e18);
  ExpectError<EDbfError>([&] { t.FieldByName("SOR_PC1").AsInteger(); },
                         "Invalid numeric value in field SOR_PC1 (9.3e+18)");
  t.Cancel();
  ExpectError<EDatabaseError>([&] { t.FieldByName("SOR_NAC").SetAsString("x"); }, "Dataset not in edit or insert mode");
  t.FieldByName("SOR_KAV").SetReadOnly(true);
  t.Edit();
  ExpectError<EDatabaseError>([&] { t.FieldByName("SOR_KAV").SetAsString("x"); }, "Field 'SOR_KAV' cannot be modified");
  ExpectError<EDbfError>([&] { t.FieldByName("SOR_MIN").SetAsFloat(1e9); },
                         "numeric value too big in field SOR_MIN - 1000000000");
  t.Cancel();
}

TEST_F(TableTest, RecordCountAndHiddenRecords) {
  TDbfTable t;
  Bind(t);
  t.Open();
  for (long recno : {3L, 10L}) {
    t.SetRecNo(recno);
    t.Delete();
  }
  EXPECT_EQ(t.RecordCount(), 10);
  EXPECT_EQ(Walk(t), (std::vector<long>{1, 2, 4, 5, 6, 7, 8, 9}));
  t.ExactCount = true;
  EXPECT_EQ(t.RecordCount(), 8);
  t.SetUseDeleted(true);
  EXPECT_EQ(t.RecordCount(), 10);
  t.SetRecNo(3);  // a deleted record is shown when gone to directly
  EXPECT_EQ(t.RecNo(), 3);
  t.Close();
  ExpectError<EDatabaseError>([&] { t.RecordCount(); }, "Cannot perform this operation on a closed dataset");
  ExpectError<EDatabaseError>([&] { t.Next(); }, "Cannot perform this operation on a closed dataset");
}

TEST_F(TableTest, DeletingTheLastRecordStandsOnThePreviousWithEndSet) {
  TDbfTable t;
  Bind(t);
  t.Open();
  t.Last();
  t.Delete();
  EXPECT_EQ(t.RecNo(), 9);
  EXPECT_TRUE(t.Eof());
  t.SetRecNo(4);
  t.Delete();
  EXPECT_EQ(t.RecNo(), 5);
  EXPECT_FALSE(t.Eof());
}

TEST_F(TableTest, LockLevels) {
  TDbfTable t;
  Bind(t);
  t.Open();
  std::string path = dir_.File("Sor0000.DBF");
  auto locked = [&](long recno) { return !OtherProcessCanLock(path, 1000000000 + recno, 1); };
  t.SetRecNo(7);
  ASSERT_TRUE(t.LockCurrentRecord());
  t.Edit();  // nests on the same record
  t.FieldByName("SOR_MIN").SetAsInteger(70);
  t.Post();  // gives up one level
  EXPECT_TRUE(locked(7));
  t.UnlockRecords();
  EXPECT_FALSE(locked(7));

  t.Edit();
  t.Cancel();  // cancel keeps the lock
  EXPECT_TRUE(locked(7));
  t.SetRecNo(8);
  ExpectError<EDatabaseError>([&] { t.Edit(); }, "Record is locked by another user");
  EXPECT_EQ(t.State(), TDataSetState::Browse);
  t.UnlockRecords();

  LockHolder other(path, 1000000008, 1, 10000);
  ASSERT_TRUE(other.Locked());
  ExpectError<EDatabaseError>([&] { t.Edit(); }, "Record is locked by another user");
  EXPECT_FALSE(t.LockCurrentRecord());
}

TEST_F(TableTest, EditStartsFromWhatTheFileHoldsNow) {
  TDbfTable mine, other;
  Bind(mine);
  Bind(other);
  mine.Open();
  other.Open();
  other.Edit();
  other.FieldByName("SOR_NAC").SetAsString("changed elsewhere");
  other.Post();
  EXPECT_TRUE(mine.FieldByName("SOR_NAC").IsNull());
  mine.Edit();
  EXPECT_EQ(mine.FieldByName("SOR_NAC").AsString(), "changed elsewhere");
  mine.FieldByName("SOR_MIN").SetAsInteger(5);
  mine.Post();
  other.SetRecNo(1);
  EXPECT_EQ(other.FieldByName("SOR_NAC").AsString(), "changed elsewhere");
  EXPECT_EQ(other.FieldByName("SOR_MIN").AsInteger(), 5);
}

TEST_F(TableTest, FailedPostKeepsTheValuesEntered) {
  TDbfTable t;
  Bind(t);
  t.Open();
  t.Append();
  t.FieldByName("SOR_KAV").SetAsString("999999");
  FakePlatform platform;  // the append lock's retries run at once
  LockHolder other(dir_.File("Sor0000.DBF"), 1000000000, 1, -1);  // the append lock
  ASSERT_TRUE(other.Locked());
  EXPECT_THROW(t.Post(), EDbfError);
  EXPECT_EQ(t.State(), TDataSetState::Insert);
  EXPECT_EQ(t.FieldByName("SOR_KAV").AsString(), "999999");
}

TEST_F(TableTest, BookmarksAndObservers) {
  TDbfTable t;
  Bind(t);
  struct Recorder : TDataSetObserver {
    int changed = 0, scrolled = 0, states = 0;
    void DataSetChanged() override { ++changed; }
    void DataSetScrolled() override { ++scrolled; }
    void StateChanged() override { ++states; }
  } recorder;
  t.AddObserver(&recorder);
  t.Open();
  EXPECT_GT(recorder.changed, 0);
  t.SetRecNo(7);
  std::string mark = t.GetBookmark();
  EXPECT_EQ(mark, std::string("         7\0", 11));
  t.First();
  t.GotoBookmark(mark);
  EXPECT_EQ(t.RecNo(), 7);
  EXPECT_LT(TDbfTable::CompareBookmarks(std::string("         7\0", 11), std::string("        10\0", 11)), 0);
  ExpectError<EDatabaseError>([&] { t.GotoBookmark(std::string("        99\0", 11)); },
                              "Bookmark is invalid for table Sor0000.DBF");
  ExpectError<EDatabaseError>([&] { t.GotoBookmark("x"); }, "Bookmark is invalid for table Sor0000.DBF");
  int scrolled = recorder.scrolled;
  t.DisableControls();
  t.Next();
  t.Next();
  EXPECT_EQ(recorder.scrolled, scrolled);
  int changed = recorder.changed;
  t.EnableControls();
  EXPECT_EQ(recorder.changed, changed + 1);
  t.Edit();
  EXPECT_EQ(recorder.states, 2);  // open, edit
  t.RemoveObserver(&recorder);
}

TEST_F(TableTest, CalculatedFieldsRunForEveryFetchedRecord) {
  TDbfTable t;
  Bind(t);
  t.AddField("SOR_MIN", TFieldType::Integer);
  TField& twice = t.AddField("SOR_TWO", TFieldType::Float, 0, TFieldKind::Calculated);
  t.OnCalcFields = [&](TDbfTable& table) { twice.SetAsFloat(table.FieldByName("SOR_MIN").AsInteger() * 2.0); };
  t.Open();
  std::vector<double> values;
  for (t.First(); !t.Eof(); t.Next()) values.push_back(twice.AsFloat());
  EXPECT_EQ(values, (std::vector<double>{2, 4, 6, 8, 10, 12, 14, 16, 18, 20}));
}

TEST_F(TableTest, LocateWithoutATagScansTheTable) {
  TDbfTable t;
  Bind(t);
  t.Open();
  t.SetRecNo(4);
  t.Edit();
  t.FieldByName("SOR_NAC").SetAsString("Kladivo Žluté");
  t.Post();
  t.SetRecNo(9);
  t.Edit();
  t.FieldByName("SOR_NAC").SetAsString("Kladivo Žluté");
  t.Post();
  t.SetRecNo(4);
  t.Delete();  // hidden: the scan passes it
  t.SetRecNo(2);
  struct Case { std::string names; std::vector<TValue> values; int options; long found; };
  const Case cases[] = {
      {"SOR_NAC", {std::string("Kladivo Žluté   ")}, 0, 9},  // trailing blanks do not matter
      {"SOR_NAC", {std::string("KLADIVO ŽLUTÉ")}, 0, 0},      // letter case does
      {"SOR_NAC", {std::string("kladivo žluté")}, TDbfTable::loCaseInsensitive, 9},
      {"SOR_NAC", {std::string("Kladivo")}, TDbfTable::loPartialKey, 9},
      {"SOR_KAV;SOR_MIN", {std::string("000007"), int64_t{7}}, 0, 7},
      {"SOR_KAV;SOR_MIN", {std::string("000007"), int64_t{8}}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names);
    bool found = t.Locate(c.names, c.values, c.options);
    EXPECT_EQ(found, c.found != 0);
    EXPECT_EQ(t.RecNo(), c.found != 0 ? c.found : 2);
    t.SetRecNo(2);
  }
}

TEST_F(TableTest, GridsReadOtherRecordsWithoutMovingTheShownOne) {
  TDbfTable t;
  Bind(t);
  t.Open();
  t.SetRecNo(2);
  t.Delete();
  t.SetRecNo(5);
  std::vector<long> order = t.VisibleRecordsInOrder();
  EXPECT_EQ(order, (std::vector<long>{1, 3, 4, 5, 6, 7, 8, 9, 10}));
  std::vector<int64_t> values;
  t.VisitRecords({9, 1, 3}, [&](long) { values.push_back(t.FieldByName("SOR_MIN").AsInteger()); });
  EXPECT_EQ(values, (std::vector<int64_t>{9, 1, 3}));
  EXPECT_EQ(t.RecNo(), 5);
  EXPECT_EQ(t.FieldByName("SOR_MIN").AsInteger(), 5);
  t.Edit();
  EXPECT_THROW(t.VisibleRecordsInOrder(), EDatabaseError);
}

}  // namespace
