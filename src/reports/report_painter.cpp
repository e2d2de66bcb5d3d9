#include "reports/report_painter.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "reports/report_fonts.h"

void PaintReportPage(QPainter& painter, const TReportPage& page, double dotsPerCm) {
  painter.setPen(Qt::black);
  for (const TReportLine& line : page.lines) {
    painter.setFont(ReportQFont(line.font));
    for (const TReportCell& cell : line.cells) {
      QRectF box(cell.x * dotsPerCm, line.top * dotsPerCm, cell.width * dotsPerCm, line.height * dotsPerCm);
      int flags = Qt::TextSingleLine | Qt::AlignVCenter | (cell.align == TTabAlign::Right ? Qt::AlignRight : Qt::AlignLeft);
      painter.save();
      painter.setClipRect(box);
      painter.drawText(box, flags, QString::fromStdString(cell.text));
      painter.restore();
    }
  }
}

bool PaintReportPages(QPagedPaintDevice& device, const TReportDocument& doc, const std::function<void(int)>& onPage) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const double dotsPerCm = device.logicalDpiX() / 2.54;
  for (size_t i = 0; i < doc.pages.size(); ++i) {
    if (i > 0) device.newPage();
    if (onPage) onPage(doc.pages[i].number);
    PaintReportPage(painter, doc.pages[i], dotsPerCm);
  }
  return painter.end();
}
