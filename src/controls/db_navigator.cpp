#include "controls/db_navigator.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <exception>

#include "controls/data_source.h"
#include "xbase/table/dbf_table.h"

namespace {

// The glyph of a button: a triangle towards the move, with a bar for the
// first and last record.
QIcon Glyph(TDBNavigator::Button button, const QColor& color) {
  QPixmap pixmap(12, 12);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  bool backwards = button == TDBNavigator::nbFirst || button == TDBNavigator::nbPrior;
  bool bar = button == TDBNavigator::nbFirst || button == TDBNavigator::nbLast;
  QPolygonF triangle = backwards ? QPolygonF({QPointF(8.5, 2), QPointF(8.5, 10), QPointF(3.5, 6)})
                                 : QPolygonF({QPointF(3.5, 2), QPointF(3.5, 10), QPointF(8.5, 6)});
  p.drawPolygon(triangle);
  if (bar) p.drawRect(backwards ? QRectF(1.5, 2, 1.5, 8) : QRectF(9, 2, 1.5, 8));
  return QIcon(pixmap);
}

}  // namespace

TDBNavigator::TDBNavigator(TDataSource& source, QWidget* parent) : QWidget(parent), source_(source) {
  const char* const names[] = {"First", "Prior", "Next", "Last"};
  for (int b = nbFirst; b <= nbLast; ++b) {
    auto* button = new QToolButton(this);
    button->setObjectName(names[b]);
    button->setIcon(Glyph(static_cast<Button>(b), palette().color(QPalette::ButtonText)));
    button->setGeometry(b * kButtonWidth, 0, kButtonWidth, kButtonHeight);
    // The navigator holds the focus as a whole, so a button turning off
    // under the mouse does not send the focus elsewhere.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::pressed, this, [this] { setFocus(Qt::MouseFocusReason); });
    connect(button, &QToolButton::clicked, this, [this, b] { BtnClick(static_cast<Button>(b)); });
    buttons_[b] = button;
  }
  setFixedSize(4 * kButtonWidth, kButtonHeight);
  setFocusPolicy(Qt::ClickFocus);
  connect(&source_, &TDataSource::dataSetChanged, this, &TDBNavigator::UpdateButtons);
  connect(&source_, &TDataSource::dataSetScrolled, this, &TDBNavigator::UpdateButtons);
  connect(&source_, &TDataSource::stateChanged, this, &TDBNavigator::UpdateButtons);
  connect(qApp, &QApplication::focusChanged, this, &TDBNavigator::FocusChanged);
  UpdateButtons();
}

void TDBNavigator::BtnClick(Button button) {
  TDbfTable* t = source_.DataSet();
  if (!t || !t->Active()) return;
  try {
    switch (button) {
      case nbFirst: t->First(); break;
      case nbPrior: t->Prior(); break;
      case nbNext: t->Next(); break;
      case nbLast: t->Last(); break;
    }
  } catch (const std::exception& e) {
    emit errorOccurred(QString::fromUtf8(e.what()));
  }
  UpdateButtons();
}

void TDBNavigator::UpdateButtons() {
  TDbfTable* t = source_.DataSet();
  bool active = t && t->Active();
  bool up = active && !t->Bof();
  bool down = active && !t->Eof();
  buttons_[nbFirst]->setEnabled(up);
  buttons_[nbPrior]->setEnabled(up);
  buttons_[nbNext]->setEnabled(down);
  buttons_[nbLast]->setEnabled(down);
}

bool TDBNavigator::Contains(const QWidget* widget) const {
  return widget && (widget == this || isAncestorOf(widget));
}

void TDBNavigator::FocusChanged(QWidget* old, QWidget* now) {
  // Another window taking the focus (a dialog, another program) is no exit:
  // the focus comes back here when that window goes.
  if (Contains(old) && now && !Contains(now) && now->window() == window()) emit exited();
}
