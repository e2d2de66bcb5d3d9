#pragma once
// Fonts of the report pages. Names are handed to Qt as the report writes
// them ("Ariel CE", "ArialCE"); those two, which no Linux desktop has, are
// mapped by Qt's substitution table to Arial and its metric-compatible
// stand-in Liberation Sans, so widths and line heights in centimetres hold.
// Needs a QGuiApplication.

#include <QFont>

#include "reports/report_document.h"

// The Qt font of a report font (point size; the paint device scales it).
QFont ReportQFont(const TReportFont& font);
// The height of one line of the font, in centimetres.
double ReportLineHeight(const TReportFont& font);
