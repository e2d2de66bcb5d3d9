// The index rebuild of the master tables: the only place where the program
// builds index tags and the only place where it opens tables exclusively.


#include "data/data_module.h"
#include "data/table_layouts.h"
#include "xbase/errors.h"
#include "xbase/file_names.h"
#include "xbase/platform.h"

// One table of the rebuild. Its index file and tags (name, key expression,
// unique or not, the progress window's text) are those of its layout; every
// tag is built ascending, without a filter.
struct TData::IndexedTable {
  TDbfTable& table;
  std::string object;                // layout of the table object
  std::string presenceFile;          // must exist in DataPath
  std::string tableFile;             // named when it does not
  std::string exclusiveError;        // when the table cannot be rebuilt
};

namespace {

// Deletes the index file `path` (case-resolved) so that it is built anew; a
// missing file is no error, a file that stays is. The new, empty file takes
// the old one's exact name: the shops' programs know it by that name, and a
// file created from nothing would take the table's spelling instead.
void ClearIndexFile(const std::string& path) {
  bool existed = Platform().Exists(path);
  if (!Platform().RemoveFile(path)) throw EDbfError(FormatMessage("Could not delete file %s", {path}));
  if (existed && Platform().CreateNewFile(path) == XbPlatform::Created::Failed)
    ThrowDbf(msg::kCouldNotCreate, {path});
}

}  // namespace

void TData::index() {
  const IndexedTable steps[] = {
      {Skl0000, "Skl0000", "Skl" + StoreCode + ".dbf", "Skl0000.dbf",
       "Tabulka skladu nelze otevřít ve výhradním režimu !"},
      {Sor0000, "Sor0000", "Sor0000.dbf", "Sor0000.dbf", "Tabulka sortimentu nelze otevřít ve výhradním režimu !"},
      {UziPrava, "UziPrava", "Urs0000.dbf", "Urs0000.dbf", "Tabulka pravidel přístupu otevřít ve výhradním režimu !"},
      {Cep0000, "Cep0000", "Cep0000.dbf", "Cep0000.dbf", "Tabulka skupin cen nelze otevřít ve výhradním režimu !"},
  };
  for (const IndexedTable& step : steps) RebuildIndexFile(step);
}

void TData::RebuildIndexFile(const IndexedTable& step) {
  if (!DataFileExists(step.presenceFile)) {
    ui.Message("Nenalezen soubor " + DataFile(step.tableFile));
    return;
  }
  const TableLayout& layout = TableLayoutOf(step.object);
  // The file found (in whatever letter case) is replaced under its own name.
  const std::string indexPath = ResolveFileName(DataFile(layout.indexFile));
  TDbfTable& table = step.table;
  const bool wasOpen = table.Active();
  const std::string tag = table.IndexName();
  table.Close();
  // The files rebuilt are those of DataPath, also when the recovery at
  // start-up runs before the table object was bound to it.
  table.SetDatabaseName(DataPath);
  table.Exclusive = true;
  auto closeProgress = [this] {
    if (!ProgressWindow) return;
    ProgressWindow->Close();
    ProgressWindow.reset();
  };
  try {
    table.Open();
    table.CloseIndexFile(indexPath);
    ClearIndexFile(indexPath);
    ProgressWindow = ui.CreateProgressWindow();
    for (const TagDecl& t : layout.tags) {
      ProgressWindow->SetLabel(t.label);
      table.CreateIndexTag(indexPath, t.name, t.expression, "", t.unique ? 0 : 1, 0);
    }
    closeProgress();
  } catch (const Exception&) {
    // Whatever the engine refused (the exclusive open, the deletion, a tag
    // build), the user sees the table's message; a fault of the program
    // itself is not dressed up as one and reaches the caller.
    ui.Message(step.exclusiveError);
    closeProgress();
  }
  table.Close();
  table.Exclusive = false;
  if (!wasOpen) return;
  table.Open();
  table.OpenIndexFile(indexPath);
  table.SetIndexName(tag);
}
