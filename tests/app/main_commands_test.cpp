// The main window on the demo data after start-up, with the commands the
// program has: the index rebuild from the menu, the navigator's refresh,
// and every command on.

#include "app/main_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <set>

#include "app/prehled_sortimentu.h"
#include "controls/db_grid.h"
#include "data/data_module.h"
#include "demo_data.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"

namespace {

class MainCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteDemoData(dir_.Path(), DemoSize{30, 1});
    data_.userName = [] { return std::string("admin"); };
    data_.DataModuleCreate();  // signs on by the system name "admin"
    ui_.Clear();
  }
  QString Cell(TPrehledSortimentu& w, int row, int column) {
    QAbstractItemModel* m = w.DBGrid1->model();
    return m->data(m->index(row, column)).toString();
  }
  TempDir dir_;
  RecordingUi ui_;
  TData data_{ui_, dir_.Path() + "/"};
};

TEST_F(MainCommandsTest, EveryCommandIsOn) {
  TPrehledSortimentu w(data_);
  ConnectMainCommands(w, data_);
  using C = TMainCommand;
  for (int i = 0; i < kMainCommandCount; ++i) EXPECT_TRUE(w.CommandEnabled(static_cast<C>(i))) << i;
  EXPECT_TRUE(w.Indexacesortimentu1->isEnabled());
  EXPECT_TRUE(w.Button5->isEnabled());
  EXPECT_EQ(w.UserPane->text(), QString::fromUtf8("Správce systému"));
}

TEST_F(MainCommandsTest, RebuildFromTheMenuShowsTheCardsAgainInTheirOrder) {
  TPrehledSortimentu w(data_);
  ConnectMainCommands(w, data_);
  data_.Sor0000.SelectTag("NAC");
  const QString firstByName = Cell(w, 0, 1);
  ASSERT_NE(Cell(w, 0, 0), "000100");  // not card-number order

  w.Indexacesortimentu1->trigger();

  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ui_.progressWindows.size(), 4u);
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "NAC");
  EXPECT_EQ(w.DBGrid1->model()->rowCount(), 30);
  EXPECT_EQ(Cell(w, 0, 1), firstByName);
}

TEST_F(MainCommandsTest, LeavingTheNavigatorReReadsTheCurrentCard) {
  TPrehledSortimentu w(data_);
  ConnectMainCommands(w, data_);
  const long recno = data_.Sor0000.RecNo();
  {
    // A shop program renames the card.
    XbDbfFile shop;
    shop.Open(data_.DataFile("SOR0000.DBF"), XbDbfFile::Options{});
    shop.GoTo(recno);
    shop.PutText(shop.FieldByName("SOR_NAC"), Codepage::Instance().Utf8ToOem("Nový název"));
    shop.Update();
  }
  w.DBNavigator1Exit();
  EXPECT_EQ(data_.Sor0000.FieldByName("SOR_NAC").AsString(), "Nový název");
}

// The demo data's import set: the first card takes the import prices and
// gets its new variant; the grid shows the cards by number again.
TEST_F(MainCommandsTest, ImportFromTheMenuTakesTheDemoImportSet) {
  TPrehledSortimentu w(data_);
  ConnectMainCommands(w, data_);
  data_.Sor0000.SelectTag("NAC");
  auto count = [this](const char* file) {
    XbDbfFile f;
    f.Open(data_.DataFile(file), XbDbfFile::Options{});
    return f.RecordCount();
  };
  const long variants = count("SKL0000.DBF");

  w.Importnovchvariant1->trigger();

  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(count("SKL0000.DBF"), variants + 1);
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "KAV");
  EXPECT_EQ(Cell(w, 0, 0), "000100");
  ASSERT_EQ(ui_.progressWindows.size(), 1u);
  EXPECT_EQ(ui_.progressWindows[0]->positions, std::vector<int>{100});
}

// "F10 Přenos" runs the transfer: the grid is detached for the walk and
// shows the stores' stock afterwards, standing on the last card, focused.
TEST_F(MainCommandsTest, TransferFromTheButtonFillsTheStoreColumns) {
  std::vector<std::pair<std::string, int64_t>> before;
  {
    TDbfTable store;
    store.SetDatabaseName(dir_.Path() + "/stores/PROD1");
    store.SetTableName("Sor0001.dbf");
    store.Open();
    for (store.First(); !store.Eof(); store.Next())
      before.push_back({store.FieldByName("SOR_KAV").AsString(), store.FieldByName("SOR_STA").AsInteger()});
  }
  TPrehledSortimentu w(data_);
  ConnectMainCommands(w, data_);
  w.show();
  int resets = 0;
  QObject::connect(w.DBGrid1->model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
  w.Button5->click();
  // The demo's second store has no card table.
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Soubor " + dir_.Path() + "/stores/PROD2/Sor0002dbf  nebyl nalezen ! "});
  EXPECT_EQ(resets, 2);  // detached, attached again
  EXPECT_EQ(w.DataSor0000.DataSet(), &data_.Sor0000);
  EXPECT_EQ(w.focusWidget(), w.DBGrid1);
  EXPECT_TRUE(data_.Sor0000.Eof() || data_.Sor0000.RecNo() == data_.Sor0000.RecordCount());

  // Every card that was in the store shows that store's stock in SOR_S01.
  ASSERT_FALSE(before.empty());
  for (const auto& [kav, stock] : before) {
    ASSERT_TRUE(data_.Sor0000.Locate("SOR_KAV", {TValue(kav)}));
    EXPECT_EQ(data_.Sor0000.FieldByName("SOR_S01").AsInteger(), stock) << kav;
  }
}
}  // namespace
