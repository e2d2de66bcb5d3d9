#pragma once
// Key presses seen as the characters they type, so that the controls can
// filter and replace typed characters.

#include <QChar>
#include <QKeyEvent>

// The character a key press types: printable characters, Backspace (8),
// Enter (13), Esc (27), and the control characters of Ctrl+letter (Ctrl+C is
// 3, Ctrl+V 22). A null character for keys that type nothing (arrows,
// Delete, Home, function keys).
QChar TypedCharacter(const QKeyEvent& event);

// Passes `event` to `handle` as a key press that types `c` instead of its
// own character, and carries the accepted state back.
template <class Handler>
void DeliverTyped(QKeyEvent* event, QChar c, Handler handle) {
  if (c == TypedCharacter(*event)) {
    handle(event);
    return;
  }
  QKeyEvent retyped(event->type(), event->key(), event->modifiers(), QString(c),
                    event->isAutoRepeat(), event->count());
  handle(&retyped);
  event->setAccepted(retyped.isAccepted());
}

inline bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
inline bool IsTabKey(int key) { return key == Qt::Key_Tab || key == Qt::Key_Backtab; }

// No Ctrl and no Alt held: the key may act as Tab or Enter.
inline bool IsPlainKey(const QKeyEvent& event) {
  return !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}
