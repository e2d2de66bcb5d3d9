#include "controls/control_feedback.h"

#include <QApplication>
#include <QMessageBox>

namespace {

struct Hooks {
  TMessageHook message;
  TBeepHook beep;
  QString title;
};

Hooks& TheHooks() {
  static Hooks hooks;
  return hooks;
}

}  // namespace

void SetMessageHook(TMessageHook hook) { TheHooks().message = std::move(hook); }
void SetBeepHook(TBeepHook hook) { TheHooks().beep = std::move(hook); }

QString ApplicationTitle() {
  const QString& title = TheHooks().title;
  return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

void SetApplicationTitle(const QString& title) { TheHooks().title = title; }

void ShowControlMessage(QWidget* parent, TMessageKind kind, const QString& text) {
  if (TheHooks().message) {
    TheHooks().message(parent, kind, ApplicationTitle(), text);
    return;
  }
  QMessageBox box(kind == TMessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                  ApplicationTitle(), text, QMessageBox::Ok, parent);
  box.exec();
}

void ControlBeep() {
  if (TheHooks().beep) {
    TheHooks().beep();
    return;
  }
  QApplication::beep();
}
