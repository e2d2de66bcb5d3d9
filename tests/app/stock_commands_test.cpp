// The report from the main window's menu on the demo data: the question,
// Cancel printing nothing, OK writing the chosen file, and the report's own
// tables closed after each run while the browse view stays where it was.

#include "app/stock_commands.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>

#include "app/main_commands.h"
#include "app/prehled_sortimentu.h"
#include "app/qt_ui.h"
#include "data/data_module.h"
#include "demo_data.h"
#include "support/recording_ui.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

class StockCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteDemoData(dir_.Path(), DemoSize{40, 2});
    data_.userName = [] { return std::string("admin"); };
    data_.DataModuleCreate();
    ui_.Clear();
  }
  TempDir dir_;
  RecordingUi ui_;
  TData data_{ui_, dir_.Path() + "/"};
};

TEST_F(StockCommandsTest, TheMenuAsksFirstAndWritesTheChosenFileOnlyAfterOk) {
  TPrehledSortimentu w(data_);
  ConnectMainCommands(w, data_);
  auto* report = w.findChild<TStockReportCommand*>();
  ASSERT_NE(report, nullptr);
  const std::string pdf = dir_.File("Sestava.pdf");
  int setups = 0;
  report->System.Setup = [&](const TReportSettings& s) {
    ++setups;
    EXPECT_EQ(s.SetupTitle, "Nastavení tisku sestavy");
    return std::optional<TReportChoice>({TReportDestination::Pdf, pdf});
  };
  data_.Sor0000.Last();
  const long recno = data_.Sor0000.RecNo();

  ui_.confirmAnswers = {false, true};
  w.Celkovsestavazsobynasklad1->trigger();
  EXPECT_EQ(setups, 0);
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_FALSE(report->Module.Sor0000.Active());
  EXPECT_FALSE(report->Module.Skl0000.Active());

  w.Celkovsestavazsobynasklad1->trigger();
  EXPECT_EQ(setups, 1);
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>(2, "Bylo provedeno natažení stavů skladů ???"));
  std::string text = RunCommand("pdftotext -layout " + pdf + " -").out;
  EXPECT_NE(text.find("Celková skladová zásoba k datu : "), std::string::npos);
  EXPECT_NE(text.find("Celkem za sestavu"), std::string::npos);
  EXPECT_NE(text.find("000100"), std::string::npos) << text;
  EXPECT_FALSE(report->Module.Sor0000.Active());
  EXPECT_FALSE(report->Module.Skl0000.Active());
  EXPECT_EQ(data_.Sor0000.RecNo(), recno) << "the browse view is not moved";
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "KAV");
}

// The question stands 50/50 pixels from the main window's corner, with OK
// and Cancel and a question mark.
TEST(QtUiConfirmAt, PlacesTheQuestionFromTheOwnersCorner) {
  QWidget owner;
  owner.setGeometry(200, 150, 400, 300);
  owner.show();
  QtUi ui(&owner);
  QPoint at;
  QMessageBox::StandardButtons buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    at = box->frameGeometry().topLeft();
    buttons = box->standardButtons();
    icon = box->icon();
    box->button(QMessageBox::Cancel)->click();
  });
  EXPECT_FALSE(ui.ConfirmAt("Bylo provedeno natažení stavů skladů ???", 50, 50));
  EXPECT_EQ(at, owner.frameGeometry().topLeft() + QPoint(50, 50));
  EXPECT_EQ(buttons, QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(icon, QMessageBox::Question);
}

}  // namespace
