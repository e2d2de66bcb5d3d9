#pragma once
// Fixture of the screen tests: the demo data (30 cards, one store) in a
// fresh directory, the data module signed on, the main window shown with
// its commands, Czech conventions, today 7 May 2004, and every message box
// recorded instead of shown (the data module's through RecordingUi, the
// controls' through their hook). Modal dialogs are driven from the event
// loop: OnModal schedules a script for the next modal dialog that opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "app/prehled_sortimentu.h"
#include "controls/control_feedback.h"
#include "controls/db_grid.h"
#include "controls/locale_settings.h"
#include "data/data_module.h"
#include "demo_data.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"
#include "xbase/file_names.h"

// Runs `script` with the next modal dialog that opens over the one open
// now. A dialog the script leaves open is closed after a while, so that a
// failing test ends instead of waiting.
inline void OnModal(std::function<void(QWidget*)> script) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  auto* timer = new QTimer;
  timer->setInterval(5);
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [=] {
    QWidget* modal = QApplication::activeModalWidget();
    if (++*waited > 1000) {   // 5 s without a dialog: give up
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal dialog opened";
      return;
    }
    if (!modal || modal == before.data() || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    if (!QTest::qWaitForWindowActive(modal)) ADD_FAILURE() << "dialog not active";
    auto focusInside = [modal] {
      QWidget* f = QApplication::focusWidget();
      return f && f->window() == modal;
    };
    if (!QTest::qWaitFor(focusInside, 200)) {
      // The offscreen platform may leave the focus in the window below
      // while a key press of it opened the dialog: the dialog's own focus
      // widget takes it, as on a desktop.
      modal->activateWindow();
      if (QWidget* own = modal->focusWidget()) own->setFocus(Qt::ActiveWindowFocusReason);
      (void)QTest::qWaitFor(focusInside, 200);
    }
    QPointer<QWidget> guard = modal;
    QTimer::singleShot(8000, [guard] {
      if (guard && guard->isVisible()) {
        ADD_FAILURE() << "dialog left open: " << guard->objectName().toStdString();
        guard->close();
      }
    });
    script(modal);
  });
  timer->start();
}

template <class T>
T* Child(QWidget* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// After a dialog closed, the offscreen platform does not always give the
// window below the front again: the modal dialog on top (or the main
// window) is made active, as a desktop would.
inline QWidget* FocusAfterModal() {
  if (QWidget* focus = QApplication::focusWidget()) return focus;
  QWidget* top = QApplication::activeModalWidget();
  if (!top) top = QApplication::topLevelWidgets().value(0);
  if (!top) return nullptr;
  top->activateWindow();
  (void)QTest::qWaitForWindowActive(top);
  return QApplication::focusWidget();
}

// Keys and clicks go where a user's go: keys to the focused widget.
inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* focus = FocusAfterModal();
  ASSERT_NE(focus, nullptr);
  QTest::keyClick(focus, key, modifiers);
}
inline void Type(const QString& text) {
  QWidget* focus = FocusAfterModal();
  ASSERT_NE(focus, nullptr);
  // Qt Test types ASCII only: other letters go as key events with their text.
  for (QChar c : text) {
    if (c.unicode() < 128) {
      QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    } else {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(QApplication::focusWidget(), &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(QApplication::focusWidget(), &release);
    }
  }
}
inline void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5)); }
inline QString Focused() {
  QWidget* f = FocusAfterModal();
  return f ? f->objectName() : QString();
}

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLocaleSettings(TLocaleSettings::Czech());
    SetControlsClock([] { return QDateTime(QDate(2004, 5, 7), QTime(10, 20, 30)); });
    SetApplicationTitle("Tamorix");
    SetMessageHook([this](QWidget*, TMessageKind kind, const QString&, const QString& text) {
      controlMessages.push_back({kind, text.toStdString()});
    });
    SetBeepHook([] {});
    WriteDemoData(dir_.Path(), DemoSize{30, 1});
    data_.userName = [] { return std::string("admin"); };
    data_.lockRetryPauseMs = 1;
    data_.DataModuleCreate();
    ui_.Clear();
    window_ = std::make_unique<TPrehledSortimentu>(data_);
    ConnectMainCommands(*window_, data_);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }
  void TearDown() override {
    window_.reset();
    SetMessageHook({});
    SetBeepHook({});
    SetControlsClock({});
  }

  struct ControlMessage {
    TMessageKind kind;
    std::string text;
  };

  // The texts of every box shown, the controls' and the data module's, in
  // the order of each kind.
  std::vector<std::string> ControlTexts() const {
    std::vector<std::string> texts;
    for (const ControlMessage& m : controlMessages) texts.push_back(m.text);
    return texts;
  }

  // Reads every record of a data-directory table straight from the file.
  std::vector<std::vector<std::string>> Rows(const std::string& file, const std::vector<std::string>& fields) {
    std::vector<std::vector<std::string>> rows;
    XbDbfFile f;
    XbDbfFile::Options o;
    f.Open(data_.DataFile(file), o);
    for (long r = 1; r <= f.RecordCount(); ++r) {
      f.GoTo(r);
      std::vector<std::string> row;
      for (const std::string& name : fields) row.push_back(Trimmed(std::string(f.RawField(f.FieldByName(name)))));
      rows.push_back(row);
    }
    return rows;
  }
  long RecordCount(const std::string& file) {
    XbDbfFile f;
    f.Open(data_.DataFile(file), XbDbfFile::Options{});
    return f.RecordCount();
  }
  // The bytes of the named data-directory files (tables and index files),
  // for "nothing was written".
  std::vector<std::string> Bytes(const std::vector<std::string>& files) {
    std::vector<std::string> bytes;
    for (const std::string& name : files) {
      std::ifstream in(ResolveFileName(data_.DataFile(name)), std::ios::binary);
      bytes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return bytes;
  }
  static std::string Trimmed(const std::string& oem) {
    std::string text = Codepage::Instance().OemToUtf8(oem);
    size_t b = text.find_first_not_of(' ');
    size_t e = text.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
  }

  TempDir dir_;
  RecordingUi ui_;
  TData data_{ui_, dir_.Path() + "/"};
  std::unique_ptr<TPrehledSortimentu> window_;
  std::vector<ControlMessage> controlMessages;
};
