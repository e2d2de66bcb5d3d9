#pragma once
// Window kinds and small layout helpers shared by the screens' dialogs.

#include <Qt>

class QWidget;

// A dialog of fixed size whose title bar has the system menu (close) only.
inline Qt::WindowFlags FixedDialogFlags() {
  return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowCloseButtonHint;
}
// A dialog without any title-bar button.
inline Qt::WindowFlags BareDialogFlags() { return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint; }

// Places the window `dialog` `right` pixels right of the left edge of the
// window `over` and `below` pixels below its top.
void PlaceOver(QWidget* dialog, const QWidget* over, int right, int below);
