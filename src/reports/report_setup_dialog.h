#pragma once
// TReportSetupDialog: "Nastavení tisku sestavy", where the user chooses
// where the report goes: the preview, the printer, or a file in one of the
// two formats offered, "Stánky WWW (HTML)" (*.html;*.htm) and "Adobe Acrobat
// (PDF)" (*.pdf), with the default file name "Sestava".

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

enum class TReportDestination { Preview, Printer, Html, Pdf };

struct TReportChoice {
  TReportDestination destination = TReportDestination::Preview;
  std::string fileName;   // Html and Pdf: the file, its extension added when it has none
};

// The file type filters of the two formats, for file dialogs.
QString ReportFileFilter(TReportDestination format);
// The file name with the format's extension when it has none of its own.
std::string ReportFileName(const std::string& name, TReportDestination format);

class TReportSetupDialog : public QDialog {
  Q_OBJECT

 public:
  TReportSetupDialog(const QString& title, const QString& defaultFileName, QWidget* parent = nullptr);

  TReportChoice Choice() const;

  QRadioButton *PreviewButton, *PrinterButton, *HtmlButton, *PdfButton;
  QLabel* PrinterName;
  QLineEdit* FileEdit;
  QPushButton *BrowseButton, *OkButton, *CancelButton;

 private:
  void UpdateFileControls();
  void Browse();
};
