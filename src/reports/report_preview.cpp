#include "reports/report_preview.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "reports/report_painter.h"

namespace {
QPushButton* ToolButton(const QString& text, QWidget* parent, QHBoxLayout* row) {
  auto* b = new QPushButton(text, parent);
  b->setAutoDefault(false);
  row->addWidget(b);
  return b;
}
}  // namespace

TReportPreview::TReportPreview(const QString& title, const TReportDocument& doc, double zoomPercent, QWidget* parent)
    : QDialog(parent, Qt::Window), doc_(doc), zoom_(zoomPercent) {
  setWindowTitle(title);
  auto* column = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  FirstButton = ToolButton(QStringLiteral("|◀"), this, bar);
  PriorButton = ToolButton(QStringLiteral("◀"), this, bar);
  PageLabel = new QLabel(this);
  PageLabel->setMinimumWidth(110);
  PageLabel->setAlignment(Qt::AlignCenter);
  bar->addWidget(PageLabel);
  NextButton = ToolButton(QStringLiteral("▶"), this, bar);
  LastButton = ToolButton(QStringLiteral("▶|"), this, bar);
  bar->addSpacing(24);
  PrintButton = ToolButton(QStringLiteral("Tisk..."), this, bar);
  SaveButton = ToolButton(QStringLiteral("Uložit..."), this, bar);
  bar->addStretch(1);
  CloseButton = ToolButton(QStringLiteral("Zavřít"), this, bar);
  column->addLayout(bar);

  Scroll = new QScrollArea(this);
  Scroll->setBackgroundRole(QPalette::Dark);
  Scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  PageView = new QLabel;
  PageView->setObjectName(QStringLiteral("PageView"));
  Scroll->setWidget(PageView);
  column->addWidget(Scroll, 1);

  connect(FirstButton, &QPushButton::clicked, this, [this] { ShowPage(0); });
  connect(PriorButton, &QPushButton::clicked, this, [this] { ShowPage(page_ - 1); });
  connect(NextButton, &QPushButton::clicked, this, [this] { ShowPage(page_ + 1); });
  connect(LastButton, &QPushButton::clicked, this, [this] { ShowPage(PageCount() - 1); });
  connect(PrintButton, &QPushButton::clicked, this, [this] {
    if (OnPrint) OnPrint();
  });
  connect(SaveButton, &QPushButton::clicked, this, [this] {
    if (OnSave) OnSave();
  });
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

  ShowPage(0);
  QSize page = PageView->size();
  QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableSize() : QSize(1024, 768);
  resize(std::min(page.width() + 60, screen.width() - 40), std::min(page.height() + 90, screen.height() - 60));
}

QImage TReportPreview::PageImage(int index) const {
  QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = (screen ? screen->logicalDotsPerInch() : 96.0) * zoom_ / 100.0;
  const double dotsPerCm = dpi / 2.54;
  QImage image(static_cast<int>(doc_.width * dotsPerCm + 0.5), static_cast<int>(doc_.height * dotsPerCm + 0.5),
               QImage::Format_RGB32);
  image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
  image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
  image.fill(Qt::white);
  if (index >= 0 && index < PageCount()) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintReportPage(painter, doc_.pages[static_cast<size_t>(index)], dotsPerCm);
  }
  return image;
}

void TReportPreview::ShowPage(int index) {
  index = std::clamp(index, 0, std::max(0, PageCount() - 1));
  page_ = index;
  QImage image = PageImage(index);
  PageView->setPixmap(QPixmap::fromImage(image));
  PageView->resize(image.size());
  PageLabel->setText(QStringLiteral("Strana %1 z %2").arg(index + 1).arg(std::max(1, PageCount())));
  FirstButton->setEnabled(index > 0);
  PriorButton->setEnabled(index > 0);
  NextButton->setEnabled(index + 1 < PageCount());
  LastButton->setEnabled(index + 1 < PageCount());
}
