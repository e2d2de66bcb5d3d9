#pragma once
// The settings of a report system component: the texts of its windows, its
// default output file, its print job title and the print routine that
// produces the pages. The windows that use them are in the report screens
// (setup dialog, preview, status window, printer); the console export uses
// the same routine and titles.

#include <functional>
#include <string>

class TReport;

struct TReportSettings {
  std::string SetupTitle;       // the setup dialog
  std::string StatusTitle;      // the status window
  std::string PreviewTitle;     // the preview window
  std::string StatusPrinting;   // status while printing or previewing, %p the page number
  std::string StatusFile;       // status while writing a file, %p the page number
  std::string DefaultFileName;  // without extension
  std::string JobTitle;         // print job and document title
  double ScaleX = 100, ScaleY = 100, PreviewZoom = 100;   // per cent
  std::function<void(TReport&)> OnPrint;
};

// A status text with its page number put in for %p.
inline std::string StatusText(const std::string& pattern, int page) {
  std::string text = pattern;
  size_t at = text.find("%p");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(page));
  return text;
}
