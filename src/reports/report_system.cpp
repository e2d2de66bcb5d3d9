#include "reports/report_system.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

#include "reports/report_composer.h"
#include "reports/report_files.h"
#include "reports/report_painter.h"
#include "reports/report_preview.h"
#include "reports/report_status_window.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

bool TReportSystem::PrintPages(QPrinter& printer, const TReportDocument& doc, const std::string& jobTitle,
                               const std::function<void(int)>& onPage) {
  printer.setDocName(Q(jobTitle));
  printer.setCreator(QStringLiteral("Tamorix"));
  printer.setFullPage(true);
  printer.setPageLayout(QPageLayout(QPageSize(QSizeF(doc.width * 10, doc.height * 10), QPageSize::Millimeter),
                                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  return PaintReportPages(printer, doc, onPage);
}

void TReportSystem::Print(const TReportSettings& settings, const TReportDocument& doc, const QString& status) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(Q(settings.JobTitle));
  bool go = PrintDialog ? PrintDialog(printer) : [&] {
    QPrintDialog dialog(&printer, owner_);
    return dialog.exec() == QDialog::Accepted;
  }();
  if (!go) return;
  if (!PrintPages(printer, doc, settings.JobTitle, [&](int page) { status_(status, page); }))
    throw std::runtime_error("Sestavu nelze vytisknout na tiskárně " + printer.printerName().toStdString());
}

void TReportSystem::Save(const TReportSettings& settings, const TReportDocument& doc, const TReportChoice& choice) {
  const QString pattern = Q(settings.StatusFile);
  auto onPage = [&](int page) { status_(pattern, page); };
  if (choice.destination == TReportDestination::Html) WriteReportHtml(doc, choice.fileName, onPage);
  else WriteReportPdf(doc, choice.fileName, onPage);
}

void TReportSystem::Execute(const TReportSettings& settings) {
  StatusLog.clear();
  std::optional<TReportChoice> choice;
  if (Setup) {
    choice = Setup(settings);
  } else {
    TReportSetupDialog dialog(Q(settings.SetupTitle), Q(settings.DefaultFileName), owner_);
    if (dialog.exec() == QDialog::Accepted) choice = dialog.Choice();
  }
  if (!choice) return;

  // One status window for the run; it goes when the pages are out.
  auto window = std::make_unique<TReportStatusWindow>(Q(settings.StatusTitle), owner_);
  status_ = [this, &window](const QString& pattern, int page) {
    StatusLog << QString::fromStdString(StatusText(pattern.toStdString(), page));
    if (window) window->ShowPage(pattern, page);
  };
  const bool toFile = choice->destination == TReportDestination::Html || choice->destination == TReportDestination::Pdf;
  const QString producing = Q(toFile ? settings.StatusFile : settings.StatusPrinting);
  TReportDocument doc =
      ComposeReport(settings.JobTitle, settings.OnPrint, [&](int page) { status_(producing, page); });

  switch (choice->destination) {
    case TReportDestination::Html:
    case TReportDestination::Pdf:
      Save(settings, doc, *choice);
      break;
    case TReportDestination::Printer:
      Print(settings, doc, Q(settings.StatusPrinting));
      break;
    case TReportDestination::Preview: {
      window->hide();
      TReportPreview preview(Q(settings.PreviewTitle), doc, settings.PreviewZoom, owner_);
      // From the preview's buttons an error cannot travel up: it is shown here.
      auto guarded = [&preview](const std::function<void()>& action) {
        try {
          action();
        } catch (const std::exception& e) {
          QMessageBox::critical(&preview, QCoreApplication::applicationName(), QString::fromStdString(e.what()));
        }
      };
      preview.OnPrint = [&, guarded] { guarded([&] { Print(settings, doc, Q(settings.StatusPrinting)); }); };
      preview.OnSave = [&, guarded] { guarded([&] {
        std::optional<TReportChoice> file;
        if (SaveDialog) {
          file = SaveDialog(settings);
        } else {
          QString selected;
          QString filters = ReportFileFilter(TReportDestination::Pdf) + ";;" + ReportFileFilter(TReportDestination::Html);
          QString name = QFileDialog::getSaveFileName(&preview, Q(settings.PreviewTitle), Q(settings.DefaultFileName),
                                                      filters, &selected);
          if (!name.isEmpty()) {
            TReportDestination format =
                selected.contains(QStringLiteral("HTML")) ? TReportDestination::Html : TReportDestination::Pdf;
            file = TReportChoice{format, ReportFileName(name.toStdString(), format)};
          }
        }
        if (file) Save(settings, doc, *file);
      }); };
      if (ShowPreview) ShowPreview(preview);
      else preview.exec();
      break;
    }
  }
  status_ = nullptr;
}
