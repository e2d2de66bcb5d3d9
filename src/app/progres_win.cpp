#include "app/progres_win.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <algorithm>

TProgresWin::TProgresWin(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("Indexace datových souborů"));
  setFixedSize(376, 78);

  DescLabel = new QLabel(QStringLiteral("Indexace souboru :"), this);
  DescLabel->move(24, 16);
  DescLabel->adjustSize();

  Label1 = new QLabel(this);
  Label1->setWordWrap(false);
  PlaceLabels();

  Gauge1 = new QProgressBar(this);
  Gauge1->setRange(0, 100);
  Gauge1->setValue(0);
  Gauge1->setGeometry(24, 40, 329, 25);
  Gauge1->setAlignment(Qt::AlignCenter);
}

void TProgresWin::SetDescription(const QString& text) {
  DescLabel->setText(text);
  PlaceLabels();
}

// Label1 starts at 128 while the description ends before it; a longer
// description (or a wider desktop font) pushes it right, its right edge
// staying where it was, so that neither text covers the other.
void TProgresWin::PlaceLabels() {
  constexpr int kDetailLeft = 128, kDetailRight = 128 + 225, kGap = 6;
  DescLabel->adjustSize();
  const int left = std::max(kDetailLeft, DescLabel->x() + DescLabel->width() + kGap);
  Label1->setGeometry(left, 16, std::max(0, kDetailRight - left), DescLabel->height());
}

void TProgresWin::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) PlaceLabels();
}

void TProgresWin::SetPosition(int percent) { Gauge1->setValue(std::clamp(percent, 0, 100)); }

void TProgresWin::ShowProgress() {
  if (isVisible()) return;
  show();
}

void TProgresWin::showEvent(QShowEvent* event) {
  PlaceLabels();
  if (!placed_) {
    placed_ = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  }
  QWidget::showEvent(event);
}
