#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <stdexcept>

#include "reports/report_files.h"
#include "reports/report_painter.h"

void WriteReportPdf(const TReportDocument& doc, const std::string& path, const std::function<void(int)>& onPage) {
  QPdfWriter writer(QString::fromStdString(path));
  writer.setPageLayout(QPageLayout(QPageSize(QSizeF(doc.width * 10, doc.height * 10), QPageSize::Millimeter),
                                   QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  // The metafile resolution of the report: 300 dots per inch.
  writer.setResolution(300);
  writer.setTitle(QString::fromStdString(doc.title));
  writer.setCreator(QStringLiteral("Tamorix"));
  if (!PaintReportPages(writer, doc, onPage))
    throw std::runtime_error("Soubor " + path + " nelze vytvořit");
}
