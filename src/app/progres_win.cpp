#include "app/progres_win.h"

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
  Label1->setGeometry(128, 16, 225, DescLabel->height());

  Gauge1 = new QProgressBar(this);
  Gauge1->setRange(0, 100);
  Gauge1->setValue(0);
  Gauge1->setGeometry(24, 40, 329, 25);
  Gauge1->setAlignment(Qt::AlignCenter);
}

void TProgresWin::SetDescription(const QString& text) {
  DescLabel->setText(text);
  DescLabel->adjustSize();
}

void TProgresWin::SetPosition(int percent) { Gauge1->setValue(std::clamp(percent, 0, 100)); }

void TProgresWin::ShowProgress() {
  if (isVisible()) return;
  show();
}

void TProgresWin::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  }
  QWidget::showEvent(event);
}
