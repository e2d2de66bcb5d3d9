// The grid view and the record navigator on a table object, driven like a
// user drives them: clicks, keys and focus changes.

#include "controls/db_grid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QStyle>
#include <QSignalSpy>
#include <QTest>

#include "controls/db_navigator.h"
#include "grid_fixture.h"

namespace {

class GridViewTest : public GridFixture {
 protected:
  static std::vector<TDBGridColumn> GridColumns() {
    return {{"KOD", 0}, {"NAZ", 64}, {"CEN", 0}, {"POC", 0}, {"ANO", 0}, {"DAT", 0}, {"VAH", 0}};
  }
  static void ShowActive(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }
};

TEST_F(GridViewTest, ReadOnlyRowGridWithTitlesAndWidths) {
  TDBGrid grid(source_, GridColumns());
  EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(grid.selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_TRUE(grid.showGrid());
  EXPECT_TRUE(grid.tabKeyNavigation());
  EXPECT_EQ(grid.palette().color(QPalette::Inactive, QPalette::Highlight),
            grid.palette().color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(grid.verticalHeader()->width(), 12);
  EXPECT_EQ(grid.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
  EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "Název");

  // Widths: as set, or wide enough for the field's characters in digits.
  EXPECT_EQ(grid.columnWidth(1), 64);
  const QFontMetrics fm = grid.fontMetrics();
  const int textMargins = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1);
  struct Width { int column; int digits; };
  for (Width w : {Width{0, 6}, Width{3, 11}, Width{2, 10}, Width{5, 10}})
    EXPECT_GE(grid.columnWidth(w.column), fm.horizontalAdvance(QString(w.digits, '0')) + textMargins) << w.column;
  EXPECT_LT(grid.columnWidth(0), fm.horizontalAdvance(QString(8, '0')) + textMargins);
}

TEST_F(GridViewTest, RowIndicatorMarksTheCurrentRow) {
  TDBGrid grid(source_, GridColumns());
  grid.resize(400, 200);
  grid.show();
  auto marked = [&](int row) {
    QImage header = grid.verticalHeader()->grab().toImage();
    int top = grid.verticalHeader()->sectionViewportPosition(row);
    for (int y = top; y < top + grid.verticalHeader()->sectionSize(row); ++y)
      for (int x = 0; x < header.width(); ++x)
        if (qGray(header.pixel(x, y)) < 80) return true;
    return false;
  };
  EXPECT_TRUE(marked(0));
  EXPECT_FALSE(marked(1));
  table_.Next();
  EXPECT_FALSE(marked(0));
  EXPECT_TRUE(marked(1));
}

TEST_F(GridViewTest, SelectionAndTablePositionMoveTogether) {
  TDBGrid grid(source_, GridColumns());
  grid.resize(500, 200);
  ShowActive(grid);
  EXPECT_EQ(grid.currentIndex().row(), 0);
  EXPECT_TRUE(grid.selectionModel()->isRowSelected(0, {}));

  QRect cell = grid.visualRect(grid.model()->index(2, 1));
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(table_.RecNo(), 4);
  QTest::keyClick(&grid, Qt::Key_Up);
  EXPECT_EQ(table_.RecNo(), 2);
  QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(table_.RecNo(), 4);

  table_.First();
  EXPECT_EQ(grid.currentIndex().row(), 0);
  EXPECT_TRUE(grid.selectionModel()->isRowSelected(0, {}));
  EXPECT_FALSE(grid.selectionModel()->isRowSelected(2, {}));

  // Tab goes to the next column of the same record; from the last column
  // to the first column of the next record.
  QTest::keyClick(&grid, Qt::Key_Home);
  QTest::keyClick(&grid, Qt::Key_Tab);
  EXPECT_EQ(grid.currentIndex().column(), 1);
  EXPECT_EQ(table_.RecNo(), 1);
  grid.setCurrentIndex(grid.model()->index(0, 6));
  QTest::keyClick(&grid, Qt::Key_Tab);
  EXPECT_EQ(grid.currentIndex().column(), 0);
  EXPECT_EQ(table_.RecNo(), 2);
  EXPECT_TRUE(grid.hasFocus());

  // A double click opens no editor: the grid keeps the focus.
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(QApplication::focusWidget(), &grid);
}

TEST_F(GridViewTest, ColumnWidthsSurviveResets) {
  TDBGrid grid(source_, GridColumns());
  grid.setColumnWidth(0, 99);
  table_.Close();
  table_.Open();
  EXPECT_EQ(grid.columnWidth(0), 99);
  EXPECT_EQ(grid.columnWidth(1), 64);
  EXPECT_EQ(grid.columnWidth(2), grid.DefaultColumnWidth(2));
}

TEST_F(GridViewTest, ColumnsOfATableOpenedLaterTakeTheirFieldWidths) {
  table_.Close();
  TDBGrid grid(source_, GridColumns());
  EXPECT_EQ(grid.columnWidth(0), 64);  // no field yet
  table_.Open();
  EXPECT_EQ(grid.columnWidth(0), grid.DefaultColumnWidth(0));
  EXPECT_NE(grid.columnWidth(0), 64);
}

using Nav = TDBNavigator;

TEST_F(GridViewTest, NavigatorMovesTheTableAndFollowsItsEnds) {
  TDBNavigator nav(source_);
  nav.show();
  auto on = [&](Nav::Button b) { return nav.ButtonOf(b)->isEnabled(); };
  struct Step { Nav::Button click; long recno; bool up; bool down; };
  const Step steps[] = {{Nav::nbNext, 2, true, true},  {Nav::nbLast, 4, true, false},
                        {Nav::nbPrior, 2, true, true}, {Nav::nbFirst, 1, false, true},
                        {Nav::nbNext, 2, true, true},  {Nav::nbNext, 4, true, true},
                        {Nav::nbNext, 4, true, false}};
  EXPECT_FALSE(on(Nav::nbFirst));
  EXPECT_FALSE(on(Nav::nbPrior));
  EXPECT_TRUE(on(Nav::nbNext));
  for (const Step& s : steps) {
    QTest::mouseClick(nav.ButtonOf(s.click), Qt::LeftButton);
    EXPECT_EQ(table_.RecNo(), s.recno) << s.click;
    EXPECT_EQ(on(Nav::nbFirst), s.up) << s.click;
    EXPECT_EQ(on(Nav::nbPrior), s.up) << s.click;
    EXPECT_EQ(on(Nav::nbNext), s.down) << s.click;
    EXPECT_EQ(on(Nav::nbLast), s.down) << s.click;
  }
  table_.Close();
  for (Nav::Button b : {Nav::nbFirst, Nav::nbPrior, Nav::nbNext, Nav::nbLast}) EXPECT_FALSE(on(b));
}

TEST_F(GridViewTest, NavigatorExitsWhenTheFocusGoesToAnotherControlOfItsWindow) {
  QWidget window;
  auto* nav = new TDBNavigator(source_, &window);
  auto* edit = new QLineEdit(&window);
  edit->move(0, 40);
  ShowActive(window);
  QSignalSpy exits(nav, &TDBNavigator::exited);

  QTest::mouseClick(nav->ButtonOf(Nav::nbLast), Qt::LeftButton);
  EXPECT_TRUE(nav->hasFocus());
  EXPECT_EQ(table_.RecNo(), 4);
  // The button under the mouse went off at the end: the navigator keeps the focus.
  EXPECT_EQ(exits.count(), 0);

  edit->setFocus();
  EXPECT_EQ(exits.count(), 1);

  // Another window taking the focus is no exit.
  nav->setFocus();
  QWidget other;
  auto* otherEdit = new QLineEdit(&other);
  ShowActive(other);
  otherEdit->setFocus();
  EXPECT_EQ(exits.count(), 1);
}

}  // namespace
