// The progress window: its layout, its texts and gauge, and that it is
// shown without being modal.

#include "app/progres_win.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "app/qt_ui.h"

namespace {

TEST(ProgresWin, LayoutAndInitialTexts) {
  TProgresWin w;
  EXPECT_EQ(w.windowTitle(), "Indexace datových souborů");
  EXPECT_EQ(w.size(), QSize(376, 78));
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_TRUE(w.windowFlags() & Qt::Tool);
  for (Qt::WindowType button : {Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                Qt::WindowMaximizeButtonHint, Qt::WindowSystemMenuHint})
    EXPECT_FALSE(w.windowFlags() & button) << button;

  EXPECT_EQ(w.DescLabel->text(), "Indexace souboru :");
  EXPECT_EQ(w.DescLabel->pos(), QPoint(24, 16));
  EXPECT_EQ(w.DescLabel->width(), w.DescLabel->sizeHint().width());
  EXPECT_EQ(w.Label1->text(), "");
  // At 128 unless the description reaches it in this font; ends at 353.
  EXPECT_EQ(w.Label1->pos(), QPoint(std::max(128, 24 + w.DescLabel->width() + 6), 16));
  EXPECT_EQ(w.Label1->geometry().right(), 128 + 225 - 1);
  EXPECT_EQ(w.Gauge1->geometry(), QRect(24, 40, 329, 25));
  EXPECT_EQ(w.Gauge1->minimum(), 0);
  EXPECT_EQ(w.Gauge1->maximum(), 100);
  EXPECT_EQ(w.Gauge1->value(), 0);
  EXPECT_FALSE(w.isVisible());
}

// The description and the detail never cover each other: the detail keeps
// its place while the description fits before it, and moves right of it
// (its right edge kept) when the desktop's font makes the description wider.
TEST(ProgresWin, DescriptionAndDetailDoNotOverlap) {
  struct Case {
    int pointSize;
    const char* description;
  };
  for (Case c : {Case{0, "Indexace souboru :"}, Case{0, "Popis činnosti"}, Case{14, "Indexace souboru :"},
                 Case{9, "Název sortimentu "}}) {
    SCOPED_TRACE(c.description);
    TProgresWin w;
    if (c.pointSize > 0) {
      QFont font = w.font();
      font.setPointSize(c.pointSize);
      w.setFont(font);
    }
    w.SetDescription(QString::fromUtf8(c.description));
    w.Label1->setText("Tabulka položek sortimentu - dle karty");
    const QRect desc = w.DescLabel->geometry();
    const QRect detail = w.Label1->geometry();
    EXPECT_LT(desc.right(), detail.left());
    EXPECT_EQ(detail.right(), 128 + 225 - 1);
    if (24 + w.DescLabel->sizeHint().width() + 6 <= 128) {
      EXPECT_EQ(detail.left(), 128);
    }
  }
}

TEST(ProgresWin, LongTextIsCutAtTheLabelsRightEdge) {
  TProgresWin w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QImage blank = w.grab().toImage();
  const QString name = "Úpravy skladu Prodejna Brno-Královo Pole, Palackého třída 123, vchod ze dvora";
  const int left = w.Label1->x();
  ASSERT_GT(w.Label1->fontMetrics().horizontalAdvance(name), 376 - left);
  w.Label1->setText(name);
  EXPECT_EQ(w.Label1->geometry().right(), 128 + 225 - 1);
  EXPECT_EQ(w.width(), 376);

  // Text is drawn inside the label and nowhere right of it.
  const QImage shown = w.grab().toImage();
  auto differs = [&](int left, int right) {
    for (int y = w.Label1->y(); y < w.Label1->y() + w.Label1->height(); ++y)
      for (int x = left; x < right; ++x)
        if (shown.pixel(x, y) != blank.pixel(x, y)) return true;
    return false;
  };
  EXPECT_TRUE(differs(left, 128 + 225));
  EXPECT_FALSE(differs(128 + 225, 376));
}

TEST(ProgresWin, ShownWithoutBeingModalAndGaugeKeptInRange) {
  TProgresWin w;
  w.ShowProgress();
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(w.isModal());
  w.ShowProgress();  // again: still the one window, shown
  EXPECT_TRUE(w.isVisible());
  struct Case { int set; int shown; };
  for (Case c : {Case{57, 57}, Case{100, 100}, Case{130, 100}, Case{-4, 0}, Case{0, 0}}) {
    w.SetPosition(c.set);
    EXPECT_EQ(w.Gauge1->value(), c.shown) << c.set;
  }
}

TEST(ProgresWin, DrivenThroughTheProgressInterface) {
  QtUi ui;
  std::unique_ptr<ProgressView> view = ui.CreateProgressWindow();
  TProgresWin* w = static_cast<TProgresWinView&>(*view).Window();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(w->isVisible());
  view->SetCaption("Info");
  view->SetDescription("Popis činnosti");
  view->SetLabel("Tabulka stavů skladu");
  view->SetPosition(33);
  view->ProgressTotal = 1200;
  view->Show();
  EXPECT_EQ(w->windowTitle(), "Info");
  EXPECT_EQ(w->DescLabel->text(), "Popis činnosti");
  EXPECT_EQ(w->DescLabel->width(), w->DescLabel->sizeHint().width());
  EXPECT_EQ(w->Label1->text(), "Tabulka stavů skladu");
  EXPECT_EQ(w->Gauge1->value(), 33);
  EXPECT_TRUE(w->isVisible());
  view->Close();
  EXPECT_FALSE(w->isVisible());
}

TEST(ProgresWin, AdapterOutlivingTheOwnerIsHarmless) {
  auto owner = std::make_unique<QWidget>();
  QtUi ui(owner.get());
  std::unique_ptr<ProgressView> view = ui.CreateProgressWindow();
  owner.reset();
  EXPECT_EQ(static_cast<TProgresWinView&>(*view).Window(), nullptr);
  view->SetLabel("x");
  view->Close();
  view.reset();
}

}  // namespace
