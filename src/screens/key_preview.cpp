#include "screens/key_preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

TKeyPreview::TKeyPreview(QWidget* form, Handler handler) : QObject(form), form_(form), handler_(std::move(handler)) {
  qApp->installEventFilter(this);
}

TKeyPreview::~TKeyPreview() { qApp->removeEventFilter(this); }

bool TKeyPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  // Once per press: when it reaches the focused control of the form (or the
  // form itself, when nothing in it has the focus).
  auto* widget = static_cast<QWidget*>(watched);
  QWidget* focus = QApplication::focusWidget();
  if (widget->window() != form_ || !(widget == focus || (!focus && widget == form_))) return false;
  // A key the form acts on is swallowed, so it never travels on to the
  // parents of the control (where, the focus gone meanwhile, it would be
  // seen once more).
  auto* key = static_cast<QKeyEvent*>(event);
  return handler_(key->key(), key->modifiers() & ~Qt::KeypadModifier);
}
