#include "data/data_module.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <stdexcept>

#include "data/table_layouts.h"
#include "data/text_functions.h"
#include "xbase/codepage.h"
#include "xbase/errors.h"
#include "xbase/file_names.h"
#include "xbase/ini_file.h"
#include "xbase/platform.h"

namespace {

TFieldType TypeOf(FieldKind kind) {
  switch (kind) {
    case FieldKind::String: return TFieldType::String;
    case FieldKind::Float: return TFieldType::Float;
    case FieldKind::Integer: return TFieldType::Integer;
    case FieldKind::Smallint: return TFieldType::Smallint;
    case FieldKind::Boolean: return TFieldType::Boolean;
    case FieldKind::Date: return TFieldType::Date;
  }
  return TFieldType::String;
}

// Names are matched without regard to letter case; DOS paths are mapped.
bool Exists(const std::string& path) { return Platform().Exists(ResolveFileName(path)); }

}  // namespace

TData::TData(Ui& ui_, std::string exeDir) : ui(ui_), ExeDir(std::move(exeDir)) {
  tables_ = {{"Ces0000", &Ces0000},         {"Sortiment", &Sortiment},     {"Cep0000", &Cep0000},
             {"Sor0000", &Sor0000},         {"Skl0000", &Skl0000},         {"SortiSkup", &SortiSkup},
             {"SortiDruh", &SortiDruh},     {"SortiPodSkp", &SortiPodSkp}, {"UziPrava", &UziPrava},
             {"Uzivatele", &Uzivatele},     {"SortiVyrobce", &SortiVyrobce}, {"MjeJed", &MjeJed},
             {"Sklad", &Sklad},             {"PrecHlav", &PrecHlav},       {"PrecPol", &PrecPol},
             {"Denik", &Denik},             {"Ciselnik", &Ciselnik}};
  for (auto& [name, table] : tables_) Declare(*table, name);
  for (TDbfTable* t : {&Sortiment, &Cep0000, &Sklad}) t->SetLockProtocol(TXbLockProtocol::Default);
  Sor0000.OnCalcFields = [this](TDbfTable& t) { Sor0000CalcFields(t); };
  Skl0000.OnCalcFields = [this](TDbfTable& t) { Skl0000CalcFields(t); };
  PrecPol.OnCalcFields = [this](TDbfTable& t) { PrecPolCalcFields(t); };
  // The lookup's own open of the store cards ends with either table, so it
  // never keeps a store's file open after an operation.
  PrecPol.AfterClose = Sortiment.AfterClose = [this](TDbfTable&) { lookupCards_.Close(); };
  for (TDbfTable* t : {&Ces0000, &Sor0000, &Skl0000})
    t->OnStatus = [this](int code, int value, int total) { Sor0000Status(code, value, total); };
  Cep0000.OnStatus = [this](int code, int value, int total) { Cep0000Status(code, value, total); };
}

void TData::Declare(TDbfTable& table, const std::string& object) { DeclareTableObject(table, object); }

void DeclareTableObject(TDbfTable& table, const std::string& object) {
  const TableLayout& layout = TableLayoutOf(object);
  table.SetLockProtocol(TXbLockProtocol::ClipLock);
  // The master tables carry their file names from the start; the store-side
  // ones are named by the operations that point them at a store.
  if (layout.dir == TableDir::Data) table.SetTableName(layout.file);
  for (const FieldDecl& decl : layout.fields) {
    TFieldKind kind = decl.calculated ? TFieldKind::Calculated
                      : decl.lookupTable.empty() ? TFieldKind::Data
                                                 : TFieldKind::Lookup;
    TField& f = table.AddField(decl.name, TypeOf(decl.kind), decl.kind == FieldKind::String ? decl.width : 0, kind);
    f.displayLabel = decl.label;
    f.displayFormat = decl.displayFormat;
    f.editFormat = decl.editFormat;
    f.displayWidth = decl.displayWidth;
  }
}

TDbfTable& TData::Table(const std::string& object) {
  for (auto& [name, table] : tables_)
    if (name == object) return *table;
  throw std::out_of_range("no table object " + object);
}

bool TData::IniPrepare() {
  DataPath = kDevelopmentDataPath;
  PrivatePath = kDevelopmentPrivatePath;
  if (ExeDir.empty()) ExeDir = ProgramDirectory();
  StoreCode = "0000";
  std::string ini = ExeDir + "DataSor.ini";
  if (!Exists(ini)) {
    ui.Message("Konfigurační soubor " + ini + " nenalezen !");
    return false;
  }
  IniFile file(ini);
  // A file that is there but cannot be read (no right to it, a directory of
  // that name) must not start the program on the development paths.
  if (!file.Loaded()) {
    ui.Message("Konfigurační soubor " + ini + " nelze přečíst !");
    return false;
  }
  StoreCode = file.ReadString("DataSor", "Sklad", "0000");
  DataPath = file.ReadString("DataSor", "CestaData", kDevelopmentDataPath);
  PrivatePath = file.ReadString("DataSor", "CestaPrivate", kDevelopmentPrivatePath);
  ImportPath = file.ReadString("DataSor", "CestaImport", kDevelopmentDataPath);
  LoginFormEnabled = file.ReadBool("DataSor", "LoginForm", false);
  return true;
}

bool TData::DataFileExists(const std::string& name) const { return Exists(DataFile(name)); }

void TData::DataModuleCreate() {
  if (!IniPrepare()) {
    ui.Message("Není dostupný konfigurační soubor DataSor.ini");
    ui.RequestQuit();
    return;
  }
  DataPath = TrimControls(DataPath);
  if (!DataFileExists("Sor0000.dbf")) {
    ui.Message("Nejsou dostupné datové soubory na " + DataPath);
    ui.RequestQuit();
    return;
  }
  try {
    OpenMasterTables();
  } catch (const std::exception&) {
    RecoverMasterTables();
  }
}

void TData::OpenCardsInKavOrder() {
  Sor0000.Close();
  Sor0000.SetTableName("Sor0000");
  Sor0000.SetDatabaseName(DataPath);
  Sor0000.Open();
  const TableLayout& cards = TableLayoutOf("Sor0000");
  Sor0000.OpenIndexFile(DataFile(cards.indexFile));
  Sor0000.SelectTag(cards.selectedTag);
  Sor0000.First();
}

void TData::OpenMasterTables() {
  OpenCardsInKavOrder();
  Skl0000.SetDatabaseName(DataPath);
  Skl0000.SetTableName("SKL0000");
  for (TDbfTable* t : {&SortiVyrobce, &MjeJed, &SortiDruh}) {
    t->Close();
    t->SetDatabaseName(DataPath);
  }
  SortiSkup.Close();
  SortiSkup.SetDatabaseName(DataPath);
  SortiSkup.SetTableName("SSK0000");
  SortiPodSkp.Close();
  SortiPodSkp.SetDatabaseName(DataPath);
  Ces0000.Close();
  Ces0000.SetDatabaseName(DataPath);
  Ces0000.Open();
  Ces0000.First();
  Cep0000.SetDatabaseName(DataPath);
  Cep0000.Close();
  for (TDbfTable* t : {&UziPrava, &Uzivatele}) {
    t->Close();
    t->SetDatabaseName(DataPath);
  }
  if (!DataFileExists("USR0000.dbf")) {
    ui.Message("Data nejsou dostupná v adresáři " + DataPath);
    return;
  }
  if (LoginFormEnabled) SignOnByDialog();
  else SignOnByName();
}

// The master index files are rebuilt and the two tables opened again; no
// sign-on. The first error ends the recovery (start-up goes on with the
// main window).
void TData::RecoverMasterTables() {
  try {
    index();
    OpenCardsInKavOrder();
    Ces0000.Close();
    Ces0000.SetDatabaseName(DataPath);
    Ces0000.Open();
    Ces0000.First();
    Uzivatele.Close();
    Uzivatele.SetDatabaseName(DataPath);
  } catch (const std::exception& e) {
    ui.Error(e.what());
  }
}

bool TData::FindUser(const std::string& name) {
  Uzivatele.Open();
  return Uzivatele.Locate("USR_LNA", {TValue(name)});
}

void TData::TakeUser() {
  UserFullName = Uzivatele.FieldByName("USR_NAC").AsString();
  UserInitials = Uzivatele.FieldByName("USR_INI").AsString();
  UserCode = Uzivatele.FieldByName("USR_KOD").AsString();
  UserGroup = Uzivatele.FieldByName("USR_GRP").AsString();
}

void TData::SignOnByName() {
  std::string name = userName();
  // A name longer than 10 characters once trimmed is cut to the first 10 of
  // the name as returned; then upper-cased by the code-page-1250 rule.
  const Codepage& cp = Codepage::Instance();
  std::string ansi = cp.Utf8ToAnsi(name);
  if (TrimControls(ansi).size() > 10) ansi = ansi.substr(0, 10);
  name = cp.AnsiToUtf8(Codepage::AnsiUpper(ansi));
  if (FindUser(name)) {
    TakeUser();
    return;
  }
  SignOnByDialog();
  Uzivatele.Close();
}

void TData::SignOnByDialog() {
  std::optional<LoginInput> input = ui.ShowLoginDialog();
  if (!input) {
    ui.RequestQuit();
    return;
  }
  std::string name = PlainUpper(input->name);
  std::string password = PlainUpper(input->password);
  if (!FindUser(name)) {
    Uzivatele.Close();
    ui.RequestQuit();
    return;
  }
  std::string stored = TrimControls(PlainUpper(Uzivatele.FieldByName("USR_PSW").AsString()));
  if (stored != TrimControls(password)) {
    ui.Message("Neplatné heslo !!!");
    Uzivatele.Close();
    ui.RequestQuit();
    return;
  }
  TakeUser();
}

bool TData::LockRecordWithRetry(TDbfTable& table) {
  bool locked = false;
  try {
    for (int attempt = 1; attempt <= 10; ++attempt) {
      locked = table.LockCurrentRecord();
      ui.ProcessEvents();
      if (locked) break;
      // A shop program holds such locks for a moment: give it that moment.
      if (attempt < 10 && lockRetryPauseMs > 0)
        Platform().Pause(lockRetryPauseMs);
    }
  } catch (const Exception&) {
    locked = false;
  }
  if (!locked) {
    std::string name = table.TableName();
    ui.Message("Nelze zamknout zaznam v tabulce " + name);
  }
  return locked;
}

namespace {
// One pass over the field objects, without a lookup by name per column: this
// runs for every record the table object fetches, and a transfer fetches
// each master card and variant several times per store.
void SumStoreColumns(TDbfTable& table, const char* prefix, const char* total) {
  int64_t sum = 0;
  TField* totalField = nullptr;
  const size_t n = std::strlen(prefix);
  for (const auto& f : table.Fields()) {
    const std::string& name = f->FieldName();
    if (name == total) {
      totalField = f.get();
      continue;
    }
    if (name.size() != n + 2 || name.compare(0, n, prefix) != 0 || !std::isdigit(static_cast<unsigned char>(name[n])) ||
        !std::isdigit(static_cast<unsigned char>(name[n + 1])))
      continue;
    int column = (name[n] - '0') * 10 + (name[n + 1] - '0');
    if (column >= 1 && column <= 15) sum += f->AsInteger();
  }
  if (!totalField) totalField = &table.FieldByName(total);
  totalField->SetAsFloat(static_cast<double>(sum));
}
}  // namespace

void TData::Sor0000CalcFields(TDbfTable& table) { SumStoreColumns(table, "SOR_S", "SOR_STA"); }
void TData::Skl0000CalcFields(TDbfTable& table) { SumStoreColumns(table, "SKL_S", "SKL_STA"); }

void TData::PrecPolCalcFields(TDbfTable& table) {
  TField& name = table.FieldByName("PRP_NAC");
  if (!Sortiment.Active()) {
    lookupCards_.Close();
    return;
  }
  bool same = lookupCards_.Active() && lookupCards_.File().FileName() == Sortiment.File().FileName();
  if (!same) {
    lookupCards_.Close();
    lookupCards_.SetDatabaseName(Sortiment.DatabaseName());
    lookupCards_.SetTableName(Sortiment.TableName());
    lookupCards_.IndexFiles = Sortiment.IndexFiles;
    lookupCards_.SetIndexName(Sortiment.IndexName());
    lookupCards_.SetReadOnly(true);
    lookupCards_.Open();
  }
  std::string kav = table.FieldByName("PRP_KAV").AsString();
  if (!kav.empty() && lookupCards_.Locate("SOR_KAV", {TValue(kav)}))
    name.SetAsString(lookupCards_.FieldByName("SOR_NAC").AsString());
}

void TData::Sor0000Status(int code, int value, int total) {
  if (ProgressWindow) {
    if (code == -1 && value == 1) {
      ProgressWindow->ProgressTotal = total;
      ProgressWindow->Show();
    } else if ((code == 1 || code == 11) && ProgressWindow->ProgressTotal > 0) {
      double percent = static_cast<double>(value) / ProgressWindow->ProgressTotal * 100.0;
      ProgressWindow->SetPosition(static_cast<int>(std::nearbyint(percent)));
    }
  }
  ui.ProcessEvents();
}

std::string TData::CurrentUserName() {
  return Platform().UserName();
}

TableStateSaver::TableStateSaver(std::vector<TDbfTable*> tables) {
  for (TDbfTable* t : tables) saved_.push_back({t, t->Active(), t->IndexName(), t->Active() ? t->RecNo() : 0});
}

void TableStateSaver::Restore() {
  for (const Saved& s : saved_) {
    s.table->SetActive(s.active);
    s.table->SetIndexName(s.indexName);
    if (s.active && s.recno > 0) s.table->SetRecNo(s.recno);
  }
}
