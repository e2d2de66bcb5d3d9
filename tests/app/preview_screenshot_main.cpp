// tamorix-preview-screenshot FILE.png: runs the program as `tamorix` does
// (same directory, same DataSor.ini), starts the stock report from its menu,
// answers the question with OK, chooses the preview in the setup step and
// saves a picture of the preview window a moment after it is shown, then
// ends. For looking at the real preview under Xvfb.

#include <QApplication>
#include <QMessageBox>
#include <QAbstractButton>
#include <QTimer>
#include <cstdio>

#include "app/prehled_sortimentu.h"
#include "app/program.h"
#include "app/stock_commands.h"
#include "reports/report_preview.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tamorix-preview-screenshot FILE.png\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString file = QString::fromLocal8Bit(argv[1]);
  bool saved = false;
  int code = RunProgram([&](TPrehledSortimentu& window) {
    auto* report = window.findChild<TStockReportCommand*>();
    if (!report) {
      window.close();
      return;
    }
    report->System.Setup = [](const TReportSettings&) {
      return std::optional<TReportChoice>({TReportDestination::Preview, {}});
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
