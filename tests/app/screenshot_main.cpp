// tamorix-screenshot FILE.png: runs the program as `tamorix` does (from the
// same directory, with its DataSor.ini) and saves a picture of the main
// window a moment after it is shown, then ends. For looking at the real
// window under Xvfb.

#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/prehled_sortimentu.h"
#include "app/program.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tamorix-screenshot FILE.png\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString file = QString::fromLocal8Bit(argv[1]);
  bool saved = false;
  int code = RunProgram([&](TPrehledSortimentu& window) {
    QTimer::singleShot(1500, &window, [&] {
      saved = window.grab().save(file);
      window.close();
    });
  });
  return saved ? code : 1;
}
