// The Qt services: message boxes with the application title, the busy
// cursor, the quit request and the sign-on hook.

#include "app/qt_ui.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

struct SeenBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Answers the next message box with `answer` and tells what it showed.
SeenBox AnswerNextBox(QMessageBox::StandardButton answer, const std::function<void()>& show) {
  SeenBox seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    box->button(answer)->click();
  });
  show();
  return seen;
}

TEST(QtUi, MessageBoxesCarryTheApplicationTitle) {
  QtUi ui;
  struct Case {
    std::function<void()> show;
    QMessageBox::StandardButton answer;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QString text;
  };
  bool confirmed = true;
  const Case cases[] = {
      {[&] { ui.Message("Neplatné heslo !!!"); }, QMessageBox::Ok, QMessageBox::Information, QMessageBox::Ok,
       "Neplatné heslo !!!"},
      {[&] { ui.Error("Cannot find file /x/SOR0000.DBF"); }, QMessageBox::Ok, QMessageBox::Critical, QMessageBox::Ok,
       "Cannot find file /x/SOR0000.DBF"},
      {[&] { confirmed = ui.Confirm("Opravdu ?"); }, QMessageBox::Cancel, QMessageBox::Question,
       QMessageBox::Ok | QMessageBox::Cancel, "Opravdu ?"},
  };
  for (const Case& c : cases) {
    SeenBox seen = AnswerNextBox(c.answer, c.show);
    EXPECT_EQ(seen.title, "Tamorix");
    EXPECT_EQ(seen.text, c.text);
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, c.buttons);
  }
  EXPECT_FALSE(confirmed);
  AnswerNextBox(QMessageBox::Ok, [&] { confirmed = ui.Confirm("Opravdu ?"); });
  EXPECT_TRUE(confirmed);
}

TEST(QtUi, BusyCursorIsOneOverride) {
  {
    QtUi ui;
    ui.SetBusyCursor(true);
    ui.SetBusyCursor(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.SetBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ui.SetBusyCursor(true);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // given back when the services go
}

TEST(QtUi, QuitRequestedDuringStartUpEndsTheLoopAtOnce) {
  QtUi ui;
  EXPECT_FALSE(ui.QuitRequested());
  ui.RequestQuit();
  EXPECT_TRUE(ui.QuitRequested());
  QWidget window;
  window.show();
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  EXPECT_EQ(ui.Exec(), 0);
  EXPECT_FALSE(ran);  // no event was handled: the user could not work
}

TEST(QtUi, SignOnDialogIsAHook) {
  QtUi ui;
  EXPECT_FALSE(ui.ShowLoginDialog().has_value());  // no dialog: as "Storno"
  ui.LoginDialog = [] { return std::optional<LoginInput>(LoginInput{"NOVAK", "heslo"}); };
  std::optional<LoginInput> input = ui.ShowLoginDialog();
  ASSERT_TRUE(input.has_value());
  EXPECT_EQ(input->name, "NOVAK");
  EXPECT_EQ(input->password, "heslo");
}

}  // namespace
