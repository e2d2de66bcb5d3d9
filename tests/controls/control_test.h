#pragma once
// Fixture of the control tests: Czech conventions, today 7 May 2004 10:20:30,
// message boxes and beeps recorded instead of shown, and helpers that drive
// a shown form with Qt Test's key and mouse events; a small form with one
// control of each kind.

#include "controls/control_feedback.h"
#include "controls/db_edit_orvet.h"
#include "controls/edit_orvet.h"
#include "controls/locale_settings.h"
#include "controls/v_edit.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

class ControlTest : public ::testing::Test {
 protected:
  struct Message {
    TMessageKind kind;
    QString caption;
    QString text;
  };

  void SetUp() override {
    SetLocaleSettings(TLocaleSettings::Czech());
    SetControlsClock([] { return QDateTime(QDate(2004, 5, 7), QTime(10, 20, 30)); });
    SetApplicationTitle("Tamorix");
    SetMessageHook([this](QWidget*, TMessageKind kind, const QString& caption, const QString& text) {
      messages.push_back({kind, caption, text});
    });
    SetBeepHook([this] { ++beeps; });
  }

  void TearDown() override {
    SetMessageHook({});
    SetBeepHook({});
    SetControlsClock({});
  }

  // Shows `form` as the active window with the focus on `first`.
  static void Show(QWidget& form, QWidget* first) {
    form.resize(300, 200);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), first);
  }

  // Keys go where a user's keys go: to the focused widget.
  static void Type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5)); }

  std::vector<Message> messages;
  int beeps = 0;
};

// A form with a TEditOrvet, a TVEdit, a bound edit and a plain edit, in this
// tab order.
struct Form {
  QWidget window;
  TEditOrvet* orvet = new TEditOrvet(&window);
  TVEdit* vedit = new TVEdit(&window);
  TDBEditOrvet* bound = new TDBEditOrvet(&window);
  QLineEdit* plain = new QLineEdit(&window);

  Form() {
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* w : {static_cast<QWidget*>(orvet), static_cast<QWidget*>(vedit),
                       static_cast<QWidget*>(bound), static_cast<QWidget*>(plain)}) {
      layout->addWidget(w);
    }
    bound->SetEnterIsTab(true);
  }
};
