#include "reports/report_fonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <map>
#include <tuple>

namespace {
void InstallSubstitutions() {
  static bool done = false;
  if (done) return;
  done = true;
  const QStringList arial = {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
  for (const char* name : {"Ariel CE", "ArialCE", "Arial CE"})
    if (QFont::substitutes(QString::fromLatin1(name)).isEmpty()) QFont::insertSubstitutions(QString::fromLatin1(name), arial);
}
}  // namespace

QFont ReportQFont(const TReportFont& font) {
  InstallSubstitutions();
  QFont f(QString::fromStdString(font.name));
  f.setPointSizeF(font.size);
  f.setBold(font.bold);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

double ReportLineHeight(const TReportFont& font) {
  // Measured on a fine raster, so the height does not depend on the screen.
  constexpr int kDpi = 1200;
  static QImage device = [] {
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(kDpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(kDpi / 0.0254 + 0.5));
    return image;
  }();
  static std::map<std::tuple<std::string, double, bool>, double> cache;
  auto key = std::make_tuple(font.name, font.size, font.bold);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  double height = QFontMetricsF(ReportQFont(font), &device).lineSpacing() / kDpi * 2.54;
  cache.emplace(key, height);
  return height;
}
