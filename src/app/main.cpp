// Tamorix: the catalogue program of the shops. No command-line options are
// read; the configuration is DataSor.ini next to the executable.

#include <QApplication>

#include "app/program.h"
#include "xbase/platform.h"

int main(int argc, char** argv) {
  XbIgnoreFileSizeSignal();
  QApplication app(argc, argv);
  return RunProgram();
}
