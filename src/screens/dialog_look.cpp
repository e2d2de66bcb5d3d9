#include "screens/dialog_look.h"

#include <QWidget>

void PlaceOver(QWidget* dialog, const QWidget* over, int right, int below) {
  if (!over) return;
  const QWidget* window = over->window();
  dialog->move(window->frameGeometry().topLeft() + QPoint(right, below));
}
