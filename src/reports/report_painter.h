#pragma once
// Paints composed pages with a QPainter: on the preview's images, on the
// printer and into PDF, all from the same page description.

#include <functional>

#include "reports/report_document.h"

class QPainter;
class QPagedPaintDevice;

// Paints one page; `dotsPerCm` maps centimetres to the painter's device
// units (the page's top left corner at the origin). Text stays text.
void PaintReportPage(QPainter& painter, const TReportPage& page, double dotsPerCm);

// Paints every page onto a paged device (printer, PDF writer) whose page is
// the whole sheet (no margins of its own); `onPage` is told each page
// number before it is painted. False when the device cannot be painted on.
bool PaintReportPages(QPagedPaintDevice& device, const TReportDocument& doc,
                      const std::function<void(int page)>& onPage = {});
