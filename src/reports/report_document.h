#pragma once
// The page description a report composes once and every output renders:
// the preview, the printer, PDF and HTML. Positions and sizes are in
// centimetres from the page's top left corner; font sizes in points.

#include <string>
#include <vector>

enum class TTabAlign { Left, Right };

struct TReportFont {
  std::string name = "Arial";
  double size = 10;      // points
  int charset = 1;       // 238: Central European; the text itself is Unicode
  bool bold = false;
  friend bool operator==(const TReportFont&, const TReportFont&) = default;
};

// One text of a line, in its box: left edge, width and alignment.
struct TReportCell {
  double x = 0, width = 0;
  TTabAlign align = TTabAlign::Left;
  std::string text;   // UTF-8
  int stop = -1;      // tab stop it stands in (0 the first); -1 not a tab stop
  int span = 1;       // tab stops it covers (a text runs on over empty stops)
};

// One printed line: its top, its height (from the font) and its texts.
struct TReportLine {
  double top = 0, height = 0;
  TReportFont font;
  bool tabbed = false;   // printed through the tab stops (a table row)
  std::vector<TReportCell> cells;
};

struct TReportTabStop {
  double position = 0, width = 0;
  TTabAlign align = TTabAlign::Left;
  double margin = 0;
};

struct TReportPage {
  int number = 1;
  std::vector<TReportLine> lines;
};

struct TReportDocument {
  std::string title;                       // the print job title
  double width = 21.0, height = 29.7;      // A4 portrait
  std::vector<TReportTabStop> tabs;        // the last tab stops set, for table columns
  std::vector<TReportPage> pages;
};
