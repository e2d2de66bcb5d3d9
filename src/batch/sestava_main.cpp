// tamorix-sestava: the current stock report written to a PDF or HTML file
// without a display and without the question of the menu command, for the
// evening job after the transfer. The configuration is DataSor.ini next to
// the program, or the file given with --ini.
//
//   tamorix-sestava --pdf FILE | --html FILE [--ini FILE]
//
// Exit code 0 when the file is written, 1 with a message on standard error
// otherwise.

#include <QGuiApplication>
#include <QLocale>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "batch/sestava_console_ui.h"
#include "data/data_module.h"
#include "data/drive_map.h"
#include "data/text_functions.h"
#include "operations/stock_report_command.h"
#include "reports/report_composer.h"
#include "reports/report_files.h"
#include "reports/stock_report.h"
#include "xbase/file_names.h"
#include "xbase/ini_file.h"
#include "xbase/platform.h"

namespace {

const char kUsage[] =
    "Použití: tamorix-sestava --pdf SOUBOR | --html SOUBOR [--ini SOUBOR]\n"
    "  Zapíše celkovou sestavu aktuální zásoby na skladě do souboru PDF nebo HTML.\n"
    "  Konfigurace: DataSor.ini vedle programu, nebo soubor zadaný volbou --ini.\n";

struct Options {
  std::string pdf, html, ini;
};

// False (after its message) for arguments that make no run.
bool ParseArguments(const std::vector<std::string>& args, Options& o, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string* target = a == "--pdf" ? &o.pdf : a == "--html" ? &o.html : a == "--ini" ? &o.ini : nullptr;
    if (a == "--help" || a == "-h") {
      err << kUsage;
      return false;
    }
    if (!target) {
      err << "Neznámá volba " << a << "\n" << kUsage;
      return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      err << "Volba " << a << " potřebuje jméno souboru\n" << kUsage;
      return false;
    }
    *target = args[++i];
  }
  if (o.pdf.empty() == o.html.empty()) {
    err << "Zadejte právě jednu z voleb --pdf a --html\n" << kUsage;
    return false;
  }
  return true;
}

// DataSor.ini read as the program reads it: the store code and the data
// directory. False after its message when the file is missing.
bool ReadConfiguration(TData& data, const std::string& ini, std::ostream& err) {
  std::string resolved = ResolveFileName(ini);
  if (!std::filesystem::exists(resolved)) {
    err << "Konfigurační soubor " << ini << " nenalezen !\n";
    return false;
  }
  IniFile file(resolved);
  data.StoreCode = file.ReadString("DataSor", "Sklad", "0000");
  data.DataPath = TrimControls(file.ReadString("DataSor", "CestaData", TData::kDevelopmentDataPath));
  data.ImportPath = file.ReadString("DataSor", "CestaImport", TData::kDevelopmentDataPath);
  LoadDriveMap(resolved);
  return true;
}

int Run(const Options& o) {
  TSestavaConsoleUi ui(std::cerr);
  std::string exeDir = ProgramDirectory();
  TData data(ui, exeDir);
  if (!ReadConfiguration(data, o.ini.empty() ? exeDir + "DataSor.ini" : o.ini, std::cerr)) return 1;
  if (!data.DataFileExists("Sor0000.dbf")) {
    std::cerr << "Nejsou dostupné datové soubory na " << data.DataPath << "\n";
    return 1;
  }
  TDbfTable::LoadAliases("/etc/xbase.cfg");
  data.Sor0000.SetDatabaseName(data.DataPath);
  data.Sor0000.SetTableName("Sor0000");
  data.Skl0000.SetDatabaseName(data.DataPath);
  data.Skl0000.SetTableName("SKL0000");

  TDataSestavy report;
  report.DecimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
  try {
    OpenReportTables(data, report.Sor0000, report.Skl0000);
    TReportDocument doc = ComposeReport(report.Sestavy.JobTitle, report.Sestavy.OnPrint);
    CloseReportTables(report.Sor0000, report.Skl0000);
    if (!o.pdf.empty()) WriteReportPdf(doc, o.pdf);
    else WriteReportHtml(doc, o.html);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

// Qt's own notes (about the runtime directory, a painter that could not
// start) are not for the evening job's log: its messages are the program's.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
}

int main(int argc, char** argv) {
  XbIgnoreFileSizeSignal();
  Options options;
  if (!ParseArguments(std::vector<std::string>(argv + 1, argv + argc), options, std::cerr)) return 1;
  // No display is needed: fonts and pages come from the offscreen platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQtMessages);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  if (QLocale::system().language() == QLocale::C) QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
  return Run(options);
}
