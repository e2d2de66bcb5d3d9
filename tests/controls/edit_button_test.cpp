// The button inside the right edge of TEditOrvet and TDBEditOrvet: where it
// stands, that text never runs under it, its width rules and its click.

#include "control_test.h"

#include "controls/edit_button.h"

#include <QStyle>


namespace {

using EditButton = ControlTest;

// The edit's area inside its frame.
QRect InnerArea(const QLineEdit& edit) {
  const int frame = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit);
  return edit.rect().adjusted(frame, frame, -frame, -frame);
}

void ExpectInsideRightEdge(const QLineEdit& edit, const TEditButton& button, int width) {
  const QRect inner = InnerArea(edit);
  EXPECT_TRUE(button.isVisible());
  EXPECT_EQ(button.geometry(), QRect(inner.right() + 1 - width, inner.top(), width, inner.height()));
  // The text area ends before the button.
  EXPECT_GT(edit.textMargins().right(), width);
}

// Shows, widens, resizes and hides the button of a shown `edit`.
template <class Edit>
void CheckLayout(Edit& edit) {
  EXPECT_FALSE(edit.EditButton()->isVisible());  // hidden until asked for
  EXPECT_EQ(edit.textMargins().right(), 0);
  edit.SetButtonVisible(true);
  ExpectInsideRightEdge(edit, *edit.EditButton(), 15);
  edit.SetButtonWidth(20);
  ExpectInsideRightEdge(edit, *edit.EditButton(), 20);
  edit.resize(220, 30);
  ExpectInsideRightEdge(edit, *edit.EditButton(), 20);
  edit.SetButtonVisible(false);
  EXPECT_FALSE(edit.EditButton()->isVisible());
  EXPECT_EQ(edit.textMargins().right(), 0);
}

TEST_F(EditButton, StandsInsideTheRightEdgeAndFollowsResizes) {
  QWidget form;
  auto* orvet = new TEditOrvet(&form);
  auto* bound = new TDBEditOrvet(&form);
  orvet->setGeometry(10, 10, 150, 24);
  bound->setGeometry(10, 40, 150, 24);
  form.show();
  CheckLayout(*orvet);
  CheckLayout(*bound);
}

TEST_F(EditButton, WidthIsAtLeast15AndAtMostTheEditsWidth) {
  TEditOrvet edit;
  edit.resize(100, 24);
  const std::pair<int, int> cases[] = {{0, 15}, {14, 15}, {15, 15}, {40, 40}, {100, 100}, {500, 100}};
  for (const auto& [asked, width] : cases) {
    edit.SetButtonWidth(asked);
    EXPECT_EQ(edit.ButtonWidth(), width) << asked;
  }
}

TEST_F(EditButton, LongTextEndsBeforeTheButton) {
  QWidget form;
  auto* edit = new TEditOrvet(&form);
  edit->setGeometry(10, 10, 120, 24);
  edit->SetButtonVisible(true);
  edit->SetAlignment(Qt::AlignRight);
  edit->setText(QString(40, 'W'));
  form.show();
  // Paint the edit and find the rightmost dark pixel left of the button.
  const QImage image = edit->grab().toImage();
  const int buttonLeft = edit->EditButton()->x();
  int rightmostText = -1;
  for (int x = 0; x < buttonLeft; ++x) {
    for (int y = 4; y < image.height() - 4; ++y) {
      if (qGray(image.pixel(x, y)) < 100) rightmostText = x;
    }
  }
  EXPECT_GT(rightmostText, 0);
  EXPECT_LT(rightmostText, buttonLeft - 1);
}

TEST_F(EditButton, ClickFiresOnClickButtonWithTheEditAsSender) {
  Form form;
  TEditOrvet* edit = form.orvet;
  edit->SetButtonVisible(true);
  QObject* sender = nullptr;
  edit->OnClickButton = [&](QObject* s) { sender = s; };
  Show(form.window, form.plain);
  QTest::mouseClick(edit->EditButton(), Qt::LeftButton);
  EXPECT_EQ(sender, edit);
  EXPECT_EQ(QApplication::focusWidget(), edit);  // the button takes no focus; its edit does
  EXPECT_EQ(edit->EditButton()->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
