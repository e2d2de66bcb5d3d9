#include "reports/report_setup_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

QString ReportFileFilter(TReportDestination format) {
  return format == TReportDestination::Html ? QStringLiteral("Stánky WWW (HTML) (*.html *.htm)")
                                            : QStringLiteral("Adobe Acrobat (PDF) (*.pdf)");
}

std::string ReportFileName(const std::string& name, TReportDestination format) {
  QString file = QString::fromStdString(name);
  if (QFileInfo(file).suffix().isEmpty()) file += format == TReportDestination::Html ? ".html" : ".pdf";
  return file.toStdString();
}

TReportSetupDialog::TReportSetupDialog(const QString& title, const QString& defaultFileName, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* column = new QVBoxLayout(this);
  auto* box = new QGroupBox(QStringLiteral("Výstup sestavy"), this);
  auto* grid = new QGridLayout(box);
  PreviewButton = new QRadioButton(QStringLiteral("Náhled na obrazovce"), box);
  PrinterButton = new QRadioButton(QStringLiteral("Tiskárna"), box);
  HtmlButton = new QRadioButton(QStringLiteral("Stánky WWW (HTML)"), box);
  PdfButton = new QRadioButton(QStringLiteral("Adobe Acrobat (PDF)"), box);
  auto* group = new QButtonGroup(this);
  for (QRadioButton* b : {PreviewButton, PrinterButton, HtmlButton, PdfButton}) group->addButton(b);
  PreviewButton->setChecked(true);
  QString printer = QPrinterInfo::defaultPrinterName();
  PrinterName = new QLabel(printer.isEmpty() ? QStringLiteral("(výchozí tiskárna systému)") : printer, box);
  grid->addWidget(PreviewButton, 0, 0, 1, 2);
  grid->addWidget(PrinterButton, 1, 0);
  grid->addWidget(PrinterName, 1, 1);
  grid->addWidget(HtmlButton, 2, 0, 1, 2);
  grid->addWidget(PdfButton, 3, 0, 1, 2);
  column->addWidget(box);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(new QLabel(QStringLiteral("Soubor:"), this));
  FileEdit = new QLineEdit(defaultFileName, this);
  FileEdit->setMinimumWidth(260);
  fileRow->addWidget(FileEdit, 1);
  BrowseButton = new QPushButton(QStringLiteral("…"), this);
  BrowseButton->setAutoDefault(false);
  fileRow->addWidget(BrowseButton);
  column->addLayout(fileRow);

  auto* buttons = new QDialogButtonBox(this);
  OkButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  CancelButton = buttons->addButton(QStringLiteral("Storno"), QDialogButtonBox::RejectRole);
  OkButton->setDefault(true);
  column->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(group, &QButtonGroup::buttonToggled, this, [this] { UpdateFileControls(); });
  connect(FileEdit, &QLineEdit::textChanged, this, [this] { UpdateFileControls(); });
  connect(BrowseButton, &QPushButton::clicked, this, &TReportSetupDialog::Browse);
  UpdateFileControls();
}

void TReportSetupDialog::UpdateFileControls() {
  bool file = HtmlButton->isChecked() || PdfButton->isChecked();
  FileEdit->setEnabled(file);
  BrowseButton->setEnabled(file);
  // A file needs a name.
  OkButton->setEnabled(!file || !FileEdit->text().trimmed().isEmpty());
}

void TReportSetupDialog::Browse() {
  TReportDestination format = HtmlButton->isChecked() ? TReportDestination::Html : TReportDestination::Pdf;
  QString name = QFileDialog::getSaveFileName(this, windowTitle(),
                                              QString::fromStdString(ReportFileName(FileEdit->text().toStdString(), format)),
                                              ReportFileFilter(format));
  if (!name.isEmpty()) FileEdit->setText(name);
}

TReportChoice TReportSetupDialog::Choice() const {
  TReportChoice c;
  if (PrinterButton->isChecked()) c.destination = TReportDestination::Printer;
  else if (HtmlButton->isChecked()) c.destination = TReportDestination::Html;
  else if (PdfButton->isChecked()) c.destination = TReportDestination::Pdf;
  if (c.destination == TReportDestination::Html || c.destination == TReportDestination::Pdf)
    c.fileName = ReportFileName(FileEdit->text().trimmed().toStdString(), c.destination);
  return c;
}
