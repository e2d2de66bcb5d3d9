#pragma once
// TReport: the page-composition layer a report's print routine writes to.
// It keeps the current font, the tab stops, the current line and the page,
// and records every printed text into a TReportDocument, which the preview,
// the printer, PDF and HTML then render alike. Lines go down the page by
// the height of the current font; the printable area is the page less its
// margins. Needs a QGuiApplication (for font metrics).

#include <functional>
#include <string>

#include "reports/report_document.h"

struct TReportMargins {
  double left = 0.5, top = 1.0, right = 0.5, bottom = 1.0;   // centimetres
};

class TReport {
 public:
  explicit TReport(std::string title = {}, TReportMargins margins = {});

  // Called when a page starts being produced, with its number (1 first).
  std::function<void(int page)> OnNewPage;

  // --- fonts ---
  void SetFont(const std::string& name, double points);
  void SetFontCharset(int charset) { font_.charset = charset; }
  void SetBold(bool bold) { font_.bold = bold; }
  const TReportFont& Font() const { return font_; }

  // --- tab stops ---
  void ClearTabs() { tabs_.clear(); }
  // Adds a stop at `position` centimetres, or (a negative position) at the
  // end of the previous stop. Border lines and shading are not drawn by
  // this layer; none are asked for.
  void SetTab(double position, TTabAlign align, double width, double margin = 0, int borderLines = 0,
              int shade = 0);

  // --- lines and pages ---
  // The first line of the page, at the left margin.
  void Home();
  // Down by one line of the current font.
  void NewLine();
  // Prints a text left-aligned at `x` centimetres on the current line (the
  // line stays).
  void PrintLeft(const std::string& text, double x);
  // Prints a text split at its tab characters into the tab stops (the part
  // before the first tab at the left margin), then goes to a new line. A
  // text runs on over the empty stops after it; otherwise it is cut at the
  // end of its stop.
  void Println(const std::string& text);
  // Lines of the current font that still fit above the bottom of the
  // printable area, the current line included; 0 below it.
  int LinesLeft() const;
  void NewPage();
  int CurrentPage() const { return static_cast<int>(doc_.pages.size()); }

  // The pages composed so far.
  const TReportDocument& Document() const { return doc_; }
  TReportDocument Take() { return std::move(doc_); }

 private:
  void StartPage();
  double LineHeight() const;

  TReportMargins margins_;
  TReportDocument doc_;
  TReportFont font_;
  std::vector<TReportTabStop> tabs_;
  double y_ = 0;   // top of the current line
  bool started_ = false;
};

// Runs a print routine on a new TReport and returns the pages.
TReportDocument ComposeReport(const std::string& title, const std::function<void(TReport&)>& print,
                              const std::function<void(int page)>& onNewPage = {});
