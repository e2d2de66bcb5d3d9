// tamorix-preview-screenshot FILE.png [SETUP.png]: runs the program as
// `tamorix` does (same directory, same DataSor.ini), starts the stock report
// from its menu, answers the question with OK, chooses the preview in the
// setup dialog (saving a picture of that dialog to SETUP.png when given) and
// saves a picture of the preview window a moment after it is shown, then
// ends. For looking at the real windows under Xvfb.

#include <QApplication>
#include <QMessageBox>
#include <QRadioButton>
#include <QAbstractButton>
#include <QTimer>
#include <cstdio>

#include "app/prehled_sortimentu.h"
#include "app/program.h"
#include "app/stock_commands.h"
#include "reports/report_preview.h"
#include "reports/report_setup_dialog.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: tamorix-preview-screenshot FILE.png [SETUP.png]\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString file = QString::fromLocal8Bit(argv[1]);
  const QString setupFile = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
  bool saved = false;
  int code = RunProgram([&](TPrehledSortimentu& window) {
    auto* report = window.findChild<TStockReportCommand*>();
    if (!report) {
      window.close();
      return;
    }
    report->System.Setup = [&](const TReportSettings& settings) {
      TReportSetupDialog dialog(QString::fromStdString(settings.SetupTitle),
                                QString::fromStdString(settings.DefaultFileName), &window);
      QTimer::singleShot(700, &dialog, [&] {
        if (!setupFile.isEmpty()) dialog.grab().save(setupFile);
        dialog.PreviewButton->setChecked(true);
        dialog.accept();
      });
      std::optional<TReportChoice> choice;
      if (dialog.exec() == QDialog::Accepted) choice = dialog.Choice();
      return choice;
    };
    report->System.ShowPreview = [&](TReportPreview& preview) {
      QTimer::singleShot(1500, &preview, [&] {
        saved = preview.grab().save(file);
        preview.accept();
      });
      preview.exec();
    };
    // The question: OK.
    QTimer::singleShot(500, &window, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        box->button(QMessageBox::Ok)->click();
    });
    window.Celkovsestavazsobynasklad1Click();
    window.close();
  });
  return saved ? code : 1;
}
