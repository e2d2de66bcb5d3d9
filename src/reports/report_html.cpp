#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "reports/report_files.h"

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Trim(const std::string& text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return text.substr(b, text.find_last_not_of(' ') - b + 1);
}

std::string Cm(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2fcm", value);
  return buf;
}

std::string FontStyle(const TReportFont& f) {
  char size[32];
  std::snprintf(size, sizeof size, "%gpt", f.size);
  return "font-family: '" + Escape(f.name) + "', Arial, 'Liberation Sans', sans-serif; font-size: " + size +
         (f.bold ? "; font-weight: bold" : "");
}

// The rows of one run of tab-stop lines.
void WriteTable(std::ostringstream& out, const std::vector<TReportTabStop>& tabs,
                std::vector<const TReportLine*>& rows) {
  if (rows.empty()) return;
  double left = tabs.empty() ? 0 : tabs[0].position;
  out << "<table style=\"margin-left: " << Cm(left) << "\">\n<colgroup>";
  for (const TReportTabStop& t : tabs) out << "<col style=\"width: " << Cm(t.width) << "\"/>";
  out << "</colgroup>\n";
  for (const TReportLine* line : rows) {
    out << "<tr style=\"" << FontStyle(line->font) << "\">";
    int column = 0;
    for (const TReportCell& cell : line->cells) {
      if (cell.stop < 0) continue;
      for (; column < cell.stop; ++column) out << "<td></td>";
      out << "<td";
      if (cell.span > 1) out << " colspan=\"" << cell.span << "\"";
      if (cell.align == TTabAlign::Right) out << " class=\"r\"";
      out << ">" << Escape(Trim(cell.text)) << "</td>";
      column += cell.span;
    }
    for (; column < static_cast<int>(tabs.size()); ++column) out << "<td></td>";
    out << "</tr>\n";
  }
  out << "</table>\n";
  rows.clear();
}

}  // namespace

std::string ReportHtml(const TReportDocument& doc, const std::function<void(int)>& onPage) {
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"cs\">\n<head>\n"
      << "<meta charset=\"utf-8\"/>\n<title>" << Escape(doc.title) << "</title>\n"
      << "<style>\n"
         "body { margin: 0.5cm; }\n"
         "div.page { page-break-after: always; margin-bottom: 1cm; }\n"
         "table { border-collapse: collapse; table-layout: fixed; }\n"
         "td { padding: 0; white-space: nowrap; overflow: hidden; }\n"
         "td.r { text-align: right; }\n"
         "p { margin: 0; }\n"
         "</style>\n</head>\n<body>\n";
  for (const TReportPage& page : doc.pages) {
    if (onPage) onPage(page.number);
    out << "<div class=\"page\" id=\"strana" << page.number << "\">\n";
    std::vector<const TReportLine*> rows;
    for (const TReportLine& line : page.lines) {
      if (line.tabbed) {
        rows.push_back(&line);
        continue;
      }
      WriteTable(out, doc.tabs, rows);
      for (const TReportCell& cell : line.cells)
        out << "<p style=\"margin-left: " << Cm(cell.x) << "; " << FontStyle(line.font) << "\">" << Escape(cell.text)
            << "</p>\n";
    }
    WriteTable(out, doc.tabs, rows);
    out << "</div>\n";
  }
  out << "</body>\n</html>\n";
  return out.str();
}

void WriteReportHtml(const TReportDocument& doc, const std::string& path, const std::function<void(int)>& onPage) {
  std::string html = ReportHtml(doc, onPage);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << html;
  file.close();
  if (!file) throw std::runtime_error("Soubor " + path + " nelze vytvořit");
}
