// The main window on a small master catalogue: its layout, menu and grid
// columns, the key map, commands on and off, and what closing does.

#include "app/prehled_sortimentu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "controls/db_grid.h"
#include "controls/db_navigator.h"
#include "data/data_module.h"
#include "support/master_cards.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "xbase/errors.h"

namespace {

using C = TMainCommand;

// Counts the key presses of one key that reach a widget.
class KeyCounter : public QObject {
 public:
  KeyCounter(QWidget* w, int key) : key_(key) { w->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == key_) ++count;
    return false;
  }

 private:
  int key_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMasterCards(dir_.Path(), 20, [](XbDbfFile& f, long n) {
      f.PutNumber(f.FieldByName("SOR_PC1"), n == 1 ? 1234.5 : 10);
      f.PutNumber(f.FieldByName("SOR_PC2"), 12.5);
      f.PutLogical(f.FieldByName("SOR_SKL"), true);
      f.PutLogical(f.FieldByName("SOR_OLD"), false);
      f.PutNumber(f.FieldByName("SOR_S03"), 5);
      f.PutNumber(f.FieldByName("SOR_S11"), 7);
    });
    WriteLayoutTable("Skl0000", dir_.Path(), 2);
    data_.Sor0000.SetDatabaseName(dir_.Path());
    data_.Sor0000.SetTableName("Sor0000");
    data_.Sor0000.Open();
    data_.Skl0000.SetDatabaseName(dir_.Path());
    data_.Skl0000.SetTableName("SKL0000");
  }

  static void ShowActive(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }

  // Gives every command a handler that notes it ran.
  void RecordCommands(TPrehledSortimentu& w) {
    for (int i = 0; i < kMainCommandCount; ++i)
      w.SetCommand(static_cast<C>(i), [this, i] { ran_.push_back(static_cast<C>(i)); });
  }

  TempDir dir_;
  RecordingUi ui_;
  TData data_{ui_};
  std::vector<C> ran_;
};

TEST_F(MainWindowTest, WindowToolbarAndStatusBar) {
  TPrehledSortimentu w(data_);
  ShowActive(w);
  EXPECT_EQ(w.windowTitle(), "Olvena 1.08");
  EXPECT_EQ(w.centralWidget()->size(), QSize(792, 554));
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(w.windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(QApplication::focusWidget(), w.DBGrid1);

  QWidget* toolbar = w.DBNavigator1->parentWidget();
  EXPECT_EQ(toolbar->geometry(), QRect(0, 0, 792, 41));
  EXPECT_EQ(w.DBNavigator1->pos(), QPoint(8, 8));
  struct Case { QPushButton* button; const char* caption; int left; bool tabStop; };
  const Case buttons[] = {{w.Button2, "F5 Hledej", 128, false}, {w.Button4, "F7 Varianty", 208, true},
                          {w.Button5, "F10 Přenos", 288, true}, {w.Button3, "F4 Oprava", 624, false},
                          {w.Button1, "F2 Nový", 704, false}};
  for (const Case& c : buttons) {
    EXPECT_EQ(c.button->parentWidget(), toolbar);
    EXPECT_EQ(c.button->text(), QString::fromUtf8(c.caption));
    EXPECT_EQ(c.button->x(), c.left) << c.caption;
    EXPECT_EQ(bool(c.button->focusPolicy() & Qt::TabFocus), c.tabStop) << c.caption;
  }

  // The grid fills the rest above the status bar.
  EXPECT_EQ(w.DBGrid1->geometry().top(), 41);
  EXPECT_EQ(w.DBGrid1->width(), 792);
  const QLabel* panes[] = {w.UserPane, w.CapsLockPane, w.NumLockPane, w.ClockPane};
  EXPECT_EQ(w.UserPane->width(), 538);
  for (int i = 1; i < 4; ++i) EXPECT_GT(panes[i]->x(), panes[i - 1]->x());
  QPoint clockRight = w.ClockPane->mapTo(w.centralWidget(), QPoint(w.ClockPane->width(), 0));
  EXPECT_EQ(clockRight.x(), 792);
  EXPECT_GE(w.UserPane->mapTo(w.centralWidget(), QPoint(0, 0)).y(), w.DBGrid1->geometry().bottom());
  EXPECT_FALSE(w.ClockPane->text().isEmpty());
}

TEST_F(MainWindowTest, MenuCaptions) {
  TPrehledSortimentu w(data_);
  std::vector<QString> bar;
  std::vector<std::vector<QString>> items;
  for (QAction* a : w.menuBar()->actions()) {
    bar.push_back(a->text());
    items.emplace_back();
    if (QMenu* m = a->menu())
      for (QAction* item : m->actions()) items.back().push_back(item->text());
  }
  EXPECT_EQ(bar, (std::vector<QString>{"Přehled", "Nastavení", "Sestavy", "Konec"}));
  using L = std::vector<QString>;
  EXPECT_EQ(items[0], L{});
  EXPECT_EQ(items[1], (L{"Indexace sortimentu", "Druhy sortimnetu", "Skupiny sortimentu", "Import nových variant"}));
  EXPECT_EQ(items[2], L{"Celková sestava aktualní zásoby na skladě"});
  EXPECT_EQ(w.menuBar()->actions()[3], w.Konec2);
}

TEST_F(MainWindowTest, GridColumnsTitlesAndValues) {
  QLocale::setDefault(QLocale(QLocale::Czech));
  TPrehledSortimentu w(data_);
  QLocale::setDefault(QLocale::c());
  QAbstractItemModel* m = w.DBGrid1->model();
  const std::vector<QString> titles = {
      "Karta",   "Název",    "PC Ceník A", "PC Ceník B", "PC Ceník  C", "PC Ceník D",       "PC Ceník D", "DPH %",
      "Zas.cel.", "Zás.S1",  "Zás.S2",     "Zás.S3",     "Zás. S4",     "Zás.S5",           "Zás. S6",    "Zás. S7",
      "Zás.S8",  "Zás. S9",  "Zás.S10",    "Zás S11",    "Zás. S12",    "Zás. S13",         "Zás S14",    "Zás S15",
      "Min.zas.", "Skl.pol.", "Vyřazeno",  "Výrobce",    "MJ",          "Hmot.",            "Objem",      "Balení",
      "Dod to obch  bal.", "Druh", "Podskupina", "Skup.", "EAN",        "Max.sleva.",       "Kod.dodav.", "Kód výr.",
      "Na profor.", "Objedn.", "SOR_KOM", "Poz."};
  std::vector<QString> shown;
  for (int c = 0; c < m->columnCount(); ++c) shown.push_back(m->headerData(c, Qt::Horizontal).toString());
  EXPECT_EQ(shown, titles);
  for (int c : {1, 25, 26, 27, 28, 32, 33, 34, 35, 36, 42, 43}) EXPECT_EQ(w.DBGrid1->columnWidth(c), 64) << c;
  for (int c : {0, 2, 8, 24}) EXPECT_EQ(w.DBGrid1->columnWidth(c), w.DBGrid1->DefaultColumnWidth(c)) << c;

  ASSERT_EQ(m->rowCount(), 20);
  auto text = [&](int column) { return m->data(m->index(0, column)).toString(); };
  EXPECT_EQ(text(0), "000001");
  EXPECT_EQ(text(2), QString("1") + QChar(0x00A0) + "234,50");
  EXPECT_EQ(text(3), "12,5");
  EXPECT_EQ(text(8), "12");  // total of the store columns
  EXPECT_EQ(text(25), "Ano");
  EXPECT_EQ(text(26), " Ne");
}

TEST_F(MainWindowTest, KeyMap) {
  TPrehledSortimentu w(data_);
  RecordCommands(w);
  ShowActive(w);
  struct Case { int key; Qt::KeyboardModifiers shift; std::vector<C> runs; };
  const Qt::KeyboardModifiers none = Qt::NoModifier;
  const Case cases[] = {
      {Qt::Key_F2, none, {C::NewCard}},
      {Qt::Key_F2, Qt::ShiftModifier, {C::NewCard}},
      {Qt::Key_F4, none, {C::EditCard}},
      {Qt::Key_F4, Qt::ControlModifier, {C::EditCard}},
      {Qt::Key_F4, Qt::AltModifier, {}},  // Alt+F4 is the window's own: closing
      {Qt::Key_F4, Qt::AltModifier | Qt::ShiftModifier, {C::EditCard}},
      {Qt::Key_F5, none, {C::Search}},
      {Qt::Key_F5, Qt::ControlModifier, {C::Search}},
      {Qt::Key_F7, none, {C::Variants}},
      {Qt::Key_F10, none, {}},  // the transfer is a button only
      {Qt::Key_F3, none, {}},
  };
  for (const Case& c : cases) {
    ran_.clear();
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(c.key), c.shift);
    EXPECT_EQ(ran_, c.runs) << QKeySequence(c.key | c.shift.toInt()).toString().toStdString();
  }

  // The window sees the key first, and the focused control still gets it;
  // wherever the focus is.
  KeyCounter gridKeys(w.DBGrid1, Qt::Key_F2);
  ran_.clear();
  QTest::keyClick(w.DBGrid1, Qt::Key_F2);
  EXPECT_EQ(gridKeys.count, 1);
  w.Button4->setFocus();
  QTest::keyClick(w.Button4, Qt::Key_F7);
  EXPECT_EQ(ran_, (std::vector<C>{C::NewCard, C::Variants}));
}

TEST_F(MainWindowTest, CommandsWithoutHandlersAreShownButOff) {
  TPrehledSortimentu w(data_);
  ShowActive(w);
  QPushButton* buttons[] = {w.Button1, w.Button2, w.Button3, w.Button4, w.Button5};
  QAction* items[] = {w.Indexacesortimentu1, w.Druhysortimnetu1, w.Skupinysortimentu1, w.Importnovchvariant1,
                      w.Celkovsestavazsobynasklad1};
  for (QPushButton* b : buttons) {
    EXPECT_TRUE(b->isVisible());
    EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
  }
  for (QAction* a : items) {
    EXPECT_TRUE(a->isVisible());
    EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  }
  EXPECT_TRUE(w.Konec2->isEnabled());
  QTest::keyClick(w.DBGrid1, Qt::Key_F2);  // nothing to run

  w.SetCommand(C::Transfer, [&] { ran_.push_back(C::Transfer); });
  w.SetCommand(C::StockReport, [&] { ran_.push_back(C::StockReport); });
  EXPECT_TRUE(w.Button5->isEnabled());
  EXPECT_TRUE(w.Celkovsestavazsobynasklad1->isEnabled());
  EXPECT_FALSE(w.Button1->isEnabled());
  QTest::mouseClick(w.Button5, Qt::LeftButton);
  w.Celkovsestavazsobynasklad1->trigger();
  EXPECT_EQ(ran_, (std::vector<C>{C::Transfer, C::StockReport}));
}

TEST_F(MainWindowTest, WhileACommandRunsTheOthersAreOff) {
  TPrehledSortimentu w(data_);
  RecordCommands(w);
  ShowActive(w);
  int paints = 0;
  bool checked = false;
  w.SetCommand(C::Transfer, [&] {
    EXPECT_TRUE(w.CommandRunning());
    for (QPushButton* b : {w.Button1, w.Button2, w.Button3, w.Button4, w.Button5}) EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(w.Indexacesortimentu1->isEnabled());
    EXPECT_FALSE(w.Konec2->isEnabled());
    QTest::keyClick(w.DBGrid1, Qt::Key_F2);
    w.Button5Click();
    w.close();  // refused while the command works
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(data_.Sor0000.Active());
    // The window keeps painting while the command lets events run.
    struct PaintCounter : QObject {
      int* n;
      explicit PaintCounter(int* count) : n(count) {}
      bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++*n;
        return false;
      }
    } counter(&paints);
    w.DBGrid1->viewport()->installEventFilter(&counter);
    w.DBGrid1->viewport()->update();
    QCoreApplication::processEvents();
    w.DBGrid1->viewport()->removeEventFilter(&counter);
    checked = true;
  });
  w.Button5Click();
  EXPECT_TRUE(checked);
  EXPECT_TRUE(ran_.empty());
  EXPECT_GT(paints, 0);
  EXPECT_FALSE(w.CommandRunning());
  EXPECT_TRUE(w.Button1->isEnabled());
  EXPECT_TRUE(w.Konec2->isEnabled());
}

TEST_F(MainWindowTest, AnErrorEndsTheCommandWithItsOwnText) {
  TPrehledSortimentu w(data_);
  w.SetCommand(C::EditCard, [] { throw EDatabaseError("Record is locked by another user"); });
  w.Button3Click();
  EXPECT_EQ(ui_.messages,
            (std::vector<RecordedMessage>{{RecordedMessage::Error, "Record is locked by another user"}}));
  EXPECT_TRUE(w.Button3->isEnabled());
  EXPECT_FALSE(w.CommandRunning());
}

TEST_F(MainWindowTest, UserNamePane) {
  {
    TPrehledSortimentu w(data_);
    EXPECT_EQ(w.UserPane->text(), "");  // nobody signed on
  }
  data_.UserFullName = "Nováková Jana, Ing.";
  TPrehledSortimentu w(data_);
  EXPECT_EQ(w.UserPane->text(), "Nováková Jana, Ing.");
}

TEST_F(MainWindowTest, ClosingClosesTheVariantsThenTheCards) {
  data_.Skl0000.Open();
  std::vector<std::string> closed;
  for (TDbfTable* t : {&data_.Sor0000, &data_.Skl0000})
    t->AfterClose = [&closed](TDbfTable& table) { closed.push_back(table.TableName()); };
  TPrehledSortimentu w(data_);
  ShowActive(w);
  w.Konec2->trigger();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(closed, (std::vector<std::string>{"SKL0000.DBF", "Sor0000.DBF"}));
  EXPECT_EQ(w.DBGrid1->model()->rowCount(), 0);
}

TEST_F(MainWindowTest, LeavingTheNavigatorRefreshesTheCards) {
  TPrehledSortimentu w(data_);
  std::vector<TDbfTable*> refreshed;
  w.RefreshTable = [&](TDbfTable& t) { refreshed.push_back(&t); };
  ShowActive(w);
  QTest::mouseClick(w.DBNavigator1->ButtonOf(TDBNavigator::nbNext), Qt::LeftButton);
  EXPECT_EQ(data_.Sor0000.RecNo(), 2);
  EXPECT_EQ(w.DBGrid1->currentIndex().row(), 1);
  EXPECT_TRUE(refreshed.empty());
  w.DBGrid1->setFocus();
  EXPECT_EQ(refreshed, std::vector<TDbfTable*>{&data_.Sor0000});
}

}  // namespace
