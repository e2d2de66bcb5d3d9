#pragma once
// TData: the one data module. It owns every table object, the directories
// read from DataSor.ini, the signed-on user, and the small shared services of
// screens and operations (record locks with retries, calculated stock
// totals, progress of tag builds).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/ui.h"
#include "xbase/table/dbf_table.h"

class TData {
 public:
  // `exeDir` stands for the directory of the executable (with a trailing
  // separator); empty: the directory of the running program.
  explicit TData(Ui& ui, std::string exeDir = {});
  TData(const TData&) = delete;
  TData& operator=(const TData&) = delete;

  Ui& ui;

  // Table objects, in the order the module declares them.
  TDbfTable Ces0000, Sortiment, Cep0000, Sor0000, Skl0000, SortiSkup, SortiDruh, SortiPodSkp, UziPrava, Uzivatele,
      SortiVyrobce, MjeJed, Sklad, PrecHlav, PrecPol, Denik, Ciselnik;
  // The table object of that name ("Sor0000", "Sortiment", ...).
  TDbfTable& Table(const std::string& object);

  // The progress window that is running, if any.
  std::unique_ptr<ProgressView> ProgressWindow;
  std::string DataPath, PrivatePath, ExeDir, StoreCode, ImportPath;
  std::string UserFullName, UserInitials, UserCode, UserGroup;
  bool LoginFormEnabled = false;

  // Fixed paths used before DataSor.ini is read and as its defaults.
  static constexpr const char* kDevelopmentDataPath = "/srv/tamorix/data";
  static constexpr const char* kDevelopmentPrivatePath = "/srv/tamorix/private";

  // Reads DataSor.ini next to the executable; false (after its message) when
  // the file is missing.
  bool IniPrepare();

  // Start-up: reads DataSor.ini, binds the master table objects to DataPath,
  // opens Sor0000 in card-number order (tag KAV of Sor0000.cdx) and Ces0000,
  // and signs the user on. A missing DataSor.ini or Sor0000.dbf asks the
  // program to end (through the Ui, once start-up is over). Any error while
  // opening or signing on rebuilds the master index files and opens the two
  // tables again, without sign-on; an error in that recovery is shown with
  // its own text and ends it.
  void DataModuleCreate();

  // The index rebuild: deletes and rebuilds the index files of Skl0000,
  // Sor0000, UziPrava and Cep0000 in DataPath, each table opened
  // exclusively, with a progress window per table in ProgressWindow. A
  // table that is missing or cannot be rebuilt gets its message and the
  // others still run; every table gets back its open state and tag. An
  // error while attaching an index file again is raised and stops the
  // rebuild.
  void index();

  // DataPath, a separator and the file name.
  std::string DataFile(const std::string& name) const { return DataPath + "/" + name; }
  // True when the file is in DataPath, whatever the letter case of its name.
  bool DataFileExists(const std::string& name) const;

  // Sign-on against the users table (bound to DataPath): by the
  // operating-system name, falling back to the dialog when the name is not
  // known; or through the dialog alone.
  void SignOnByName();
  void SignOnByDialog();

  // Locks the current record of an open table object in up to 10 attempts,
  // letting pending events run (and pausing briefly) between them. False
  // after the message "Nelze zamknout zaznam v tabulce " + table name.
  bool LockRecordWithRetry(TDbfTable& table);

  // Computed fields: SOR_STA / SKL_STA, the sum of the 15 store columns.
  void Sor0000CalcFields(TDbfTable& table);
  void Skl0000CalcFields(TDbfTable& table);
  // The lookup field PRP_NAC of a repricing item: SOR_NAC of the store card
  // (Sortiment) whose SOR_KAV is the item's PRP_KAV; empty when there is none
  // or Sortiment is closed. Read through a table object of its own, so the
  // position and any edit of Sortiment stay untouched.
  void PrecPolCalcFields(TDbfTable& table);
  // Progress of tag builds: -1/1 shows the window with its total, 1 and 11
  // move the gauge.
  void Sor0000Status(int code, int value, int total);
  void Cep0000Status(int code, int value, int total) { Sor0000Status(code, value, total); }

  // The login name of the operating-system user running the program.
  static std::string CurrentUserName();

  // Pause between two record-lock attempts, in milliseconds.
  int lockRetryPauseMs = 50;
  // The operating-system name used for sign-on (CurrentUserName unless a
  // test sets another).
  std::function<std::string()> userName = &TData::CurrentUserName;

 private:
  void Declare(TDbfTable& table, const std::string& object);
  // The protected block of start-up and the recovery after an error in it.
  void OpenMasterTables();
  void RecoverMasterTables();
  // Sor0000 bound to DataPath, open in card-number order on its first record.
  void OpenCardsInKavOrder();
  // Rebuilds the index file of one table (one step of `index`).
  struct IndexedTable;
  void RebuildIndexFile(const IndexedTable& step);
  // Locates `name` in USR_LNA of the open users table.
  bool FindUser(const std::string& name);
  void TakeUser();
  // The store-card file Sortiment stands on, opened for the lookup.
  TDbfTable lookupCards_;
  std::vector<std::pair<std::string, TDbfTable*>> tables_;
};

// Declares a table object as the data module declares the one of that name
// ("Sor0000", "Sortiment", ...): the lock protocol, the file name of a master
// table, and a field object for every field of its layout.
void DeclareTableObject(TDbfTable& table, const std::string& object);

// Remembers, per table object, whether it is open, its tag name and its
// record number, and puts them back (in the order the tables were given).
class TableStateSaver {
 public:
  explicit TableStateSaver(std::vector<TDbfTable*> tables);
  void Restore();

 private:
  struct Saved {
    TDbfTable* table;
    bool active;
    std::string indexName;
    long recno;
  };
  std::vector<Saved> saved_;
};
