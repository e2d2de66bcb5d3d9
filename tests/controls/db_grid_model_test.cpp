// The grid model over a table object: rows of the current order, columns
// with titles and display formats, following the table's position, fresh
// reads of other programs' changes, and one reset per re-attachment.

#include "controls/db_grid_model.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include "controls/field_display.h"
#include "grid_fixture.h"

namespace {

const QLocale kCzech(QLocale::Czech);
const QString kNbsp(QChar(0x00A0));

class GridModelTest : public GridFixture {
 protected:
  QString Text(const TDBGridModel& m, int row, int column) const { return m.data(m.index(row, column)).toString(); }
  std::vector<QString> Row(const TDBGridModel& m, int row) const {
    std::vector<QString> texts;
    for (int c = 0; c < m.columnCount(); ++c) texts.push_back(Text(m, row, c));
    return texts;
  }
};

TEST_F(GridModelTest, RowsColumnsTitlesAndFormats) {
  TDBGridModel model(source_, Columns());
  model.SetLocale(kCzech);

  // The deleted record 3 is not a row.
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.RecNoOfRow(0), 1);
  EXPECT_EQ(model.RecNoOfRow(2), 4);

  std::vector<QString> titles;
  for (int c = 0; c < model.columnCount(); ++c) titles.push_back(model.headerData(c, Qt::Horizontal).toString());
  // A field without a label is titled with its name; so is a name the table lacks.
  EXPECT_EQ(titles, (std::vector<QString>{"Karta", "Název", "Cena", "POC", "Skl.pol.", "Datum", "Hmot.", "XXX"}));

  using V = std::vector<QString>;
  EXPECT_EQ(Row(model, 0), (V{"000001", "Šroubovák", "1" + kNbsp + "234,50", "42", "Ano", "07.05.2004", "12,5", ""}));
  EXPECT_EQ(Row(model, 1), (V{"000002", "Kladivo", "0,50", "-3", " Ne", "", "0", ""}));
  EXPECT_EQ(Row(model, 2),
            (V{"000004", "Pilka", "1" + kNbsp + "234" + kNbsp + "567,89", "7", "Ano", "31.01.2026", "1,25", ""}));

  auto align = [&](int column) { return model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>(); };
  EXPECT_TRUE(align(2) & Qt::AlignRight);
  EXPECT_TRUE(align(3) & Qt::AlignRight);
  EXPECT_TRUE(align(1) & Qt::AlignLeft);
  EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

TEST(FormatNumber, PatternsAndLocales) {
  struct Case { const char* format; double value; QLocale locale; QString text; };
  const QLocale c = QLocale::c();
  const Case cases[] = {
      {"#,##0.00", 1234567.891, kCzech, "1" + kNbsp + "234" + kNbsp + "567,89"},
      {"#,##0.00", 1234.5, c, "1,234.50"},
      {"#,##0.00", -1234.5, kCzech, "-1" + kNbsp + "234,50"},
      {"#,##0.00", 0, kCzech, "0,00"},
      {"###0.00", 1234.5, kCzech, "1234,50"},
      {"#,##0.##", 12.5, kCzech, "12,5"},
      {"#,##0.##", 12, kCzech, "12"},
      {"#.00", 0.5, c, ".50"},
      {"0", 1234.4, kCzech, "1234"},
  };
  for (const Case& k : cases)
    EXPECT_EQ(FormatNumber(k.value, k.format, k.locale), k.text) << k.format << " " << k.value;
}

TEST_F(GridModelTest, CurrentRowFollowsTheTableBothWays) {
  TDBGridModel model(source_, Columns());
  QSignalSpy moved(&model, &TDBGridModel::currentRowChanged);
  EXPECT_EQ(model.CurrentRow(), 0);
  EXPECT_TRUE(model.headerData(0, Qt::Vertical, TDBGridModel::CurrentRowRole).toBool());

  table_.Next();  // skips the deleted record
  EXPECT_EQ(model.CurrentRow(), 1);
  table_.Next();
  EXPECT_EQ(model.CurrentRow(), 2);
  EXPECT_EQ(table_.RecNo(), 4);
  ASSERT_EQ(moved.count(), 2);
  EXPECT_EQ(moved.at(1).at(0).toInt(), 2);
  EXPECT_TRUE(model.headerData(2, Qt::Vertical, TDBGridModel::CurrentRowRole).toBool());
  EXPECT_FALSE(model.headerData(0, Qt::Vertical, TDBGridModel::CurrentRowRole).toBool());

  model.MoveTo(0);
  EXPECT_EQ(table_.RecNo(), 1);
  EXPECT_EQ(model.CurrentRow(), 0);
  model.MoveTo(7);  // no such row: nothing moves
  EXPECT_EQ(table_.RecNo(), 1);

  // Moving away from an edited record posts it first, as any move does.
  table_.Edit();
  table_.FieldByName("NAZ").SetAsString("Šroubovák PH2");
  model.MoveTo(2);
  EXPECT_EQ(table_.RecNo(), 4);
  EXPECT_EQ(Text(model, 0, 1), "Šroubovák PH2");
}

TEST_F(GridModelTest, ChangesOfAnotherTableObjectShowWhenTheRowIsShownAgain) {
  TDBGridModel model(source_, Columns());
  EXPECT_EQ(Text(model, 2, 1), "Pilka");

  TDbfTable other;
  Bind(other, false);
  other.Open();
  other.SetRecNo(4);
  other.Edit();
  other.FieldByName("NAZ").SetAsString("Pilka na železo");
  other.Post();

  QCoreApplication::processEvents();  // the next paint
  EXPECT_EQ(Text(model, 2, 1), "Pilka na železo");
  EXPECT_EQ(table_.RecNo(), 1);  // reading rows does not move the table
}

TEST_F(GridModelTest, TheRecordBeingEditedShowsItsBuffer) {
  TDBGridModel model(source_, Columns());
  EXPECT_EQ(Text(model, 1, 1), "Kladivo");  // painted before the edit began
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  table_.Edit();
  table_.FieldByName("NAZ").SetAsString("Šroubovák křížový");
  EXPECT_GE(changed.count(), 1);
  EXPECT_EQ(Text(model, 0, 1), "Šroubovák křížový");
  EXPECT_EQ(Text(model, 1, 1), "Kladivo");  // other rows as read before
  table_.Cancel();
  EXPECT_EQ(Text(model, 0, 1), "Šroubovák");

  // A record being appended is not written over the row it was begun on.
  table_.Append();
  table_.FieldByName("NAZ").SetAsString("Nová karta");
  EXPECT_EQ(Text(model, 0, 1), "Šroubovák");
  table_.Cancel();
}

TEST_F(GridModelTest, ReattachingIsOneReset) {
  TDBGridModel model(source_, Columns());
  EXPECT_EQ(Text(model, 1, 1), "Kladivo");
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

  // Detached: the table works on without the model hearing or reading it.
  table_.DisableControls();
  table_.Last();
  table_.Prior();
  long shown = table_.RecNo();
  QCoreApplication::processEvents();
  EXPECT_EQ(Text(model, 1, 1), "Kladivo");  // what was read last
  model.MoveTo(2);                          // the view cannot move a detached table
  EXPECT_EQ(table_.RecNo(), shown);
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(model.CurrentRow(), 0);

  table_.EnableControls();
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(model.CurrentRow(), 1);

  // Another table object for the data source: one reset as well.
  source_.SetDataSet(nullptr);
  EXPECT_EQ(resets.count(), 2);
  EXPECT_EQ(model.rowCount(), 0);
  source_.SetDataSet(&table_);
  EXPECT_EQ(resets.count(), 3);
  EXPECT_EQ(model.rowCount(), 3);
}

TEST_F(GridModelTest, ClosedTableHasNoRows) {
  TDBGridModel model(source_, Columns());
  table_.Close();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.CurrentRow(), -1);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Název");
  table_.Open();
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.CurrentRow(), 0);
}

}  // namespace
