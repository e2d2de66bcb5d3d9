// tamorix-prenos [--ini FILE]: the transfer of the catalogue to every store
// ("F10 Přenos") without a display, for the shops' evening run. It reads
// DataSor.ini next to itself (or FILE), binds the master tables as the
// program's start-up does, signs on by the operating-system name (never a
// dialog), runs the very same transfer, prints every message to standard
// error and a summary per store to standard output. Exit 0 when the
// transfer ran to its end, 1 otherwise, 2 for a wrong command line.

#include <filesystem>
#include <iostream>
#include <string>

#include "batch/prenos_console.h"
#include "data/data_module.h"
#include "data/drive_map.h"
#include "data/text_functions.h"
#include "operations/transfer.h"
#include "xbase/file_names.h"
#include "xbase/ini_file.h"
#include "xbase/table/dbf_table.h"
#include "xbase/platform.h"

namespace {

int Usage() {
  std::cerr << "usage: tamorix-prenos [--ini FILE]\n";
  return 2;
}

// The settings of DataSor.ini, with the program's defaults.
void ReadIni(TData& data, const std::string& path) {
  IniFile file(path);
  data.StoreCode = file.ReadString("DataSor", "Sklad", "0000");
  data.DataPath = file.ReadString("DataSor", "CestaData", TData::kDevelopmentDataPath);
  data.PrivatePath = file.ReadString("DataSor", "CestaPrivate", TData::kDevelopmentPrivatePath);
  data.ImportPath = file.ReadString("DataSor", "CestaImport", TData::kDevelopmentDataPath);
}

// Sor0000 open in card-number order, Skl0000 and Ces0000 bound, as at start-up.
void BindMasterTables(TData& data) {
  data.Sor0000.SetTableName("Sor0000");
  data.Sor0000.SetDatabaseName(data.DataPath);
  data.Sor0000.Open();
  data.Sor0000.OpenIndexFile(data.DataFile("Sor0000.cdx"));
  data.Sor0000.SelectTag("KAV");
  data.Sor0000.First();
  data.Skl0000.SetDatabaseName(data.DataPath);
  data.Skl0000.SetTableName("SKL0000");
  data.Ces0000.SetDatabaseName(data.DataPath);
  data.Uzivatele.SetDatabaseName(data.DataPath);
}

void PrintSummary(const TStoreSummary& s) {
  std::cout << s.code << " " << s.name << ": ";
  if (s.skipped) {
    std::cout << "přeskočen\n";
    return;
  }
  std::cout << "nové karty " << s.cardsCreated << ", upravené karty " << s.cardsUpdated << ", přeceněné karty "
            << s.cardsRepriced << ", nové varianty " << s.variantsCreated << ", řádky deníku " << s.journalRows
            << ", doklad " << (s.document.empty() ? "-" : s.document) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  XbIgnoreFileSizeSignal();
  std::string ini;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--ini" && i + 1 < argc) ini = argv[++i];
    else return Usage();
  }
  std::string exeDir = ProgramDirectory();
  if (ini.empty()) ini = exeDir + "DataSor.ini";
  TConsoleUi ui;
  if (!std::filesystem::exists(ini)) {
    ui.Message("Konfigurační soubor " + ini + " nenalezen !");
    return 1;
  }
  TDbfTable::LoadAliases("/etc/xbase.cfg");
  LoadDriveMap(ini);

  TData data(ui, exeDir);
  ReadIni(data, ini);
  data.DataPath = TrimControls(data.DataPath);
  if (!data.DataFileExists("Sor0000.dbf")) {
    ui.Message("Nejsou dostupné datové soubory na " + data.DataPath);
    return 1;
  }
  try {
    BindMasterTables(data);
    // Sign-on by the system name whatever LoginForm says; without a users
    // table the transfer runs without a user, as start-up does.
    if (data.DataFileExists("USR0000.dbf")) {
      data.SignOnByName();
      if (ui.loginDialogAsked) {
        ui.Message("Uživatel " + TData::CurrentUserName() + " není v tabulce uživatelů " +
                   data.DataFile("USR0000.dbf"));
        return 1;
      }
    }
  } catch (const std::exception& e) {
    ui.Error(e.what());
    return 1;
  }

  TTransfer transfer(data);
  bool done = transfer.Button5Click();
  for (const TStoreSummary& s : transfer.summaries) PrintSummary(s);
  return done ? 0 : 1;
}
