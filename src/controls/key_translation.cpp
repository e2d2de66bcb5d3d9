#include "controls/key_translation.h"

QChar TypedCharacter(const QKeyEvent& event) {
  const int key = event.key();
  if (key == Qt::Key_Backspace) return QChar(8);
  if (IsEnterKey(key)) return QChar(13);
  if (key == Qt::Key_Escape) return QChar(27);
  const bool ctrl = event.modifiers() & Qt::ControlModifier;
  const bool alt = event.modifiers() & Qt::AltModifier;
  if (ctrl && !alt) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return QChar(key - Qt::Key_A + 1);
    return {};
  }
  const QString text = event.text();
  if (text.isEmpty() || text.front() < QChar(' ') || text.front() == QChar(127)) return {};
  return text.front();
}
