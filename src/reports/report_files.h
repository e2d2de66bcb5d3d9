#pragma once
// The report written to files: PDF through Qt's PDF writer (real,
// selectable text in embedded fonts) and HTML as one well-formed page per
// report, each composed page a block with its tab-stop lines as the rows of
// one table. Both raise std::runtime_error with a Czech message when the
// file cannot be written.

#include <functional>
#include <string>

#include "reports/report_document.h"

void WriteReportPdf(const TReportDocument& doc, const std::string& path,
                    const std::function<void(int page)>& onPage = {});
void WriteReportHtml(const TReportDocument& doc, const std::string& path,
                     const std::function<void(int page)>& onPage = {});
// The HTML text itself.
std::string ReportHtml(const TReportDocument& doc, const std::function<void(int page)>& onPage = {});
