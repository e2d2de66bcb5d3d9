#include "controls/form_focus.h"

#include <QWidget>

void KeepFocus(QWidget* control) {
  if (control->isVisible() && control->isEnabled() && control->focusPolicy() != Qt::NoFocus) {
    control->setFocus(Qt::OtherFocusReason);
  }
}
