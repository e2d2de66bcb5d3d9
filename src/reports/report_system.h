#pragma once
// TReportSystem: runs a report as its settings say. It shows the setup
// dialog; then it composes the pages once through the report's print
// routine, with the status window telling the page being produced, and
// sends the same pages where the user chose: the preview (from which the
// user can still print or save), the printer through the platform's print
// dialog (job title from the settings), or an HTML or PDF file. Storno in
// the setup dialog or the print dialog produces nothing. An error of the
// print routine or of writing a file is raised to the caller.
//
// The dialogs are reached through hooks that default to the real windows,
// so a test can script them.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "reports/report_document.h"
#include "reports/report_settings.h"
#include "reports/report_setup_dialog.h"

class QPrinter;
class QWidget;
class TReportPreview;

class TReportSystem {
 public:
  explicit TReportSystem(QWidget* owner = nullptr) : owner_(owner) {}

  void Execute(const TReportSettings& settings);

  // Prints composed pages on a printer set up by the caller: the whole
  // sheet as the page, the job title as the document name.
  static bool PrintPages(QPrinter& printer, const TReportDocument& doc, const std::string& jobTitle,
                         const std::function<void(int page)>& onPage = {});

  // The setup dialog: the choice, or nothing for Storno.
  std::function<std::optional<TReportChoice>(const TReportSettings&)> Setup;
  // The platform's print dialog on the printer: true to print.
  std::function<bool(QPrinter&)> PrintDialog;
  // Shows the preview modally.
  std::function<void(TReportPreview&)> ShowPreview;
  // The save dialog of the preview: the format and file, or nothing.
  std::function<std::optional<TReportChoice>(const TReportSettings&)> SaveDialog;

  // Every status text shown during the last run, in turn.
  QStringList StatusLog;

 private:
  void Print(const TReportSettings& settings, const TReportDocument& doc, const QString& status);
  void Save(const TReportSettings& settings, const TReportDocument& doc, const TReportChoice& choice);
  QWidget* owner_;
  std::function<void(const QString& pattern, int page)> status_;
};
