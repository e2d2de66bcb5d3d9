// A bound edit on a field object of a real table object: it shows the
// record shown, typing starts an edit under the record lock, the typed value
// reaches the file on post, and a refused value keeps the focus.

#include "control_test.h"

#include "controls/db_field_link.h"
#include "dbf_writer.h"
#include "support/lock_holder.h"
#include "support/temp_dir.h"
#include "xbase/table/dbf_table.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace {

class TableBoundEdit : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    CreateTable(dir.File("SOR0000.DBF"), {{"SOR_NAC", 'C', 10}, {"SOR_PC1", 'N', 6, 2}, {"SOR_DAT", 'D', 8}});
    table.SetDatabaseName(dir.Path());
    table.SetTableName("SOR0000");
    table.SetLockProtocol(TXbLockProtocol::ClipLock);
    table.Open();
    for (const char* name : {"Kladivo", "Pilka"}) {
      table.Append();
      table.FieldByName("SOR_NAC").SetAsString(name);
      table.FieldByName("SOR_PC1").SetAsFloat(12.5);
      table.Post();
    }
    table.First();
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(edit);
    layout->addWidget(next);
    edit->SetEnterIsTab(true);
  }
  void Start(TFieldLink& link) {
    edit->SetField(&link);
    Show(form, edit);
    messages.clear();
  }

  TempDir dir;
  TDbfTable table;
  QWidget form;
  TDBEditOrvet* edit = new TDBEditOrvet(&form);
  QLineEdit* next = new QLineEdit(&form);
};

TEST_F(TableBoundEdit, FollowsTheTableAndWritesThroughIt) {
  TDbFieldLink name(table, "SOR_NAC");
  Start(name);
  EXPECT_EQ(edit->text(), "Kladivo");
  Type("Sroubovak krizovy");  // cut to the field's 10 characters
  EXPECT_EQ(table.State(), TDataSetState::Edit);
  Press(Qt::Key_Return);
  table.Post();
  EXPECT_EQ(table.FieldByName("SOR_NAC").AsString(), "Sroubovak");
  table.Next();
  EXPECT_EQ(edit->text(), "Pilka");
}

TEST_F(TableBoundEdit, NumbersInTheLocaleAndRefusedValues) {
  TDbFieldLink price(table, "SOR_PC1");
  edit->SetEditType(setFloat);
  Start(price);
  EXPECT_EQ(edit->text(), "12,5");
  edit->selectAll();
  Type("9999,5");  // too big for N 6.2: the engine's message, focus kept
  Press(Qt::Key_Return);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().text, "numeric value too big in field SOR_PC1 - 9999.50");
  EXPECT_EQ(QApplication::focusWidget(), edit);
  edit->selectAll();
  Type("7,25");
  Press(Qt::Key_Return);
  table.Post();
  EXPECT_DOUBLE_EQ(table.FieldByName("SOR_PC1").AsFloat(), 7.25);
}

TEST_F(TableBoundEdit, ARecordLockedElsewhereCannotBeTypedInto) {
  LockHolder shop(dir.File("SOR0000.DBF"), 1000000001, 1, 10000);
  ASSERT_TRUE(shop.Locked());
  TDbFieldLink name(table, "SOR_NAC");
  Start(name);
  Type("x");
  EXPECT_EQ(table.State(), TDataSetState::Browse);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().text, "Record is locked by another user");
}

}  // namespace
