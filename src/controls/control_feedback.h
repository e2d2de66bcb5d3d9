#pragma once
// How the controls speak to the user: message boxes captioned with the
// application title and the warning beep. Both go through replaceable hooks,
// so that a test records what a user would have seen or heard instead of
// blocking on a modal box.

#include <QString>

#include <functional>

class QWidget;

enum class TMessageKind {
  Plain,  // a message with an OK button and no icon
  Error,  // the error icon and an OK button
};

using TMessageHook =
    std::function<void(QWidget* parent, TMessageKind kind, const QString& caption, const QString& text)>;
using TBeepHook = std::function<void()>;

// Replace the hooks; an empty function restores the real message box / beep.
void SetMessageHook(TMessageHook hook);
void SetBeepHook(TBeepHook hook);

// The caption of every box: the title set here, or else the application's
// display name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// Shows a modal box over `parent` (through the hook when one is set).
void ShowControlMessage(QWidget* parent, TMessageKind kind, const QString& text);
// The desktop's warning beep (through the hook when one is set).
void ControlBeep();
