#include "reports/report_composer.h"

#include <cmath>

#include "reports/report_fonts.h"

namespace {
std::vector<std::string> SplitAtTabs(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == '\t') parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}
}  // namespace

TReport::TReport(std::string title, TReportMargins margins) : margins_(margins) {
  doc_.title = std::move(title);
  y_ = margins_.top;
}

void TReport::StartPage() {
  TReportPage page;
  page.number = static_cast<int>(doc_.pages.size()) + 1;
  doc_.pages.push_back(std::move(page));
  y_ = margins_.top;
  if (OnNewPage) OnNewPage(doc_.pages.back().number);
}

void TReport::SetFont(const std::string& name, double points) {
  font_.name = name;
  font_.size = points;
}

void TReport::SetTab(double position, TTabAlign align, double width, double margin, int, int) {
  if (position < 0) position = tabs_.empty() ? margins_.left : tabs_.back().position + tabs_.back().width;
  tabs_.push_back({position, width, align, margin});
  doc_.tabs = tabs_;
}

double TReport::LineHeight() const { return ReportLineHeight(font_); }

void TReport::Home() {
  if (doc_.pages.empty()) StartPage();
  y_ = margins_.top;
}

void TReport::NewLine() {
  if (doc_.pages.empty()) StartPage();
  y_ += LineHeight();
}

void TReport::PrintLeft(const std::string& text, double x) {
  if (doc_.pages.empty()) StartPage();
  TReportLine line{y_, LineHeight(), font_, false, {}};
  line.cells.push_back({x, doc_.width - margins_.right - x, TTabAlign::Left, text});
  doc_.pages.back().lines.push_back(std::move(line));
}

void TReport::Println(const std::string& text) {
  if (doc_.pages.empty()) StartPage();
  std::vector<std::string> parts = SplitAtTabs(text);
  TReportLine line{y_, LineHeight(), font_, true, {}};
  if (!parts[0].empty()) {
    double end = tabs_.empty() ? doc_.width - margins_.right : tabs_[0].position;
    line.cells.push_back({margins_.left, end - margins_.left, TTabAlign::Left, parts[0]});
  }
  // Stops beyond the last one continue with its width.
  auto stop = [this](size_t i) {
    if (i < tabs_.size()) return tabs_[i];
    TReportTabStop last = tabs_.empty() ? TReportTabStop{margins_.left, 2.0} : tabs_.back();
    last.position += last.width * static_cast<double>(i - tabs_.size() + 1);
    return last;
  };
  for (size_t i = 1; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;
    TReportTabStop s = stop(i - 1);
    TReportCell cell{s.position + s.margin, s.width - 2 * s.margin, s.align, parts[i], static_cast<int>(i - 1), 1};
    // A left-aligned text runs on over the empty stops that follow it.
    if (s.align == TTabAlign::Left) {
      size_t j = i + 1;
      while (j < parts.size() && parts[j].empty()) ++j;
      if (j == parts.size()) j = std::max(j, tabs_.size() + 1);
      for (size_t k = i + 1; k < j; ++k) {
        TReportTabStop next = stop(k - 1);
        cell.width = next.position + next.width - next.margin - cell.x;
        ++cell.span;
      }
    }
    line.cells.push_back(std::move(cell));
  }
  doc_.pages.back().lines.push_back(std::move(line));
  y_ += LineHeight();
}

int TReport::LinesLeft() const {
  double bottom = doc_.height - margins_.bottom;
  if (y_ > bottom) return 0;
  return static_cast<int>(std::floor((bottom - y_) / LineHeight() + 1e-9));
}

void TReport::NewPage() { StartPage(); }

TReportDocument ComposeReport(const std::string& title, const std::function<void(TReport&)>& print,
                              const std::function<void(int page)>& onNewPage) {
  TReport report(title);
  report.OnNewPage = onNewPage;
  report.Home();
  print(report);
  return report.Take();
}
