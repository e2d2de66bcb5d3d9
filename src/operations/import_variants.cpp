#include "operations/import_variants.h"

#include <cmath>
#include <exception>
#include <memory>

#include "data/data_module.h"
#include "data/text_functions.h"

namespace {

constexpr const char* kPriceFields[] = {"SOR_PC1", "SOR_PC2", "SOR_PC3", "SOR_PC4", "SOR_PC5"};
constexpr const char* kVariantFields[] = {"SKL_KAV", "SKL_IND", "SKL_SNC", "SKL_MEN", "SKL_KUR", "SKL_POZ"};

// A field's text padded with blanks to the field's width, as the index key
// holds it, so the card number and the variant index stand at their places.
std::string KeyPart(const TField& field, size_t width) {
  std::string text = field.AsString();
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// Drops an edit or insert left open by a failed post, and its lock.
void CancelPending(TDbfTable& table) {
  try {
    if (table.Active() && (table.State() == TDataSetState::Edit || table.State() == TDataSetState::Insert))
      table.Cancel();
  } catch (const std::exception&) {
  }
}

void CloseQuietly(TDbfTable& table) {
  try {
    table.Close();
  } catch (const std::exception&) {
  }
}

// Walks the import variants; raises on any failure.
void ImportRows(TData& data, ProgressView& progress) {
  TDbfTable& sklad = data.Sklad;
  TDbfTable& sortiment = data.Sortiment;
  sklad.SetTableName("Skl0001");
  sklad.Open();
  sortiment.SetTableName("Sor0001");
  sortiment.Open();
  // ImportPath carries its trailing separator; the file name goes straight after it.
  sortiment.OpenIndexFile(data.ImportPath + "Sor0001.cdx");
  sortiment.SelectTag("KAV");

  const long total = sklad.RecordCount();
  long counter = 0;
  sklad.First();
  while (!sklad.Eof()) {
    std::string kav = KeyPart(sklad.FieldByName("SKL_KAV"), 6);
    std::string key = kav + KeyPart(sklad.FieldByName("SKL_IND"), 3);
    if (sortiment.SeekKey(kav, true) && data.Sor0000.SeekKey(kav, true)) {
      data.Sor0000.Edit();
      for (const char* name : kPriceFields)
        data.Sor0000.FieldByName(name).SetAsFloat(sortiment.FieldByName(name).AsFloat());
      data.Sor0000.Post();
      // The whole 9-character key, sought exactly: the seek ignores trailing
      // blanks, so an index "0" shorter than its field would otherwise be
      // taken for a variant "000" the master has, and never imported.
      if (!data.Skl0000.SeekKey(key, true)) {
        data.Skl0000.Append();
        for (const char* name : kVariantFields)
          data.Skl0000.FieldByName(name).SetValue(sklad.FieldByName(name).Value());
        data.Skl0000.Post();
      }
    }
    sklad.Next();
    ++counter;
    progress.SetPosition(static_cast<int>(std::lround(static_cast<double>(counter) / total * 100.0)));
    progress.Show();
    data.ui.ProcessEvents();
  }
  sklad.Close();
  sortiment.Close();
}

}  // namespace

void ImportNewVariants(TData& data) {
  TDbfTable& cards = data.Sor0000;
  TDbfTable& variants = data.Skl0000;
  cards.DisableControls();
  struct Reattach {
    TDbfTable& table;
    ~Reattach() { table.EnableControls(); }
  } reattach{cards};

  variants.Open();
  variants.OpenIndexFile(TrimBlanks(data.DataPath) + "/Skl" + data.StoreCode);
  variants.SelectTag("KAV");
  cards.SelectTag("KAV");

  std::unique_ptr<ProgressView> progress = data.ui.CreateProgressWindow();
  progress->SetCaption("Info");
  progress->SetDescription("Popis činnosti");
  progress->SetLabel("Import nových variant sortimentu");

  data.Sklad.SetDatabaseName(data.ImportPath);
  data.Sortiment.SetDatabaseName(data.ImportPath);
  try {
    ImportRows(data, *progress);
  } catch (const std::exception&) {
    CancelPending(cards);
    CancelPending(variants);
    // The import files are not kept open after a failure: the shops'
    // programs may want them, and the transfer points these objects anew.
    CloseQuietly(data.Sklad);
    CloseQuietly(data.Sortiment);
    data.ui.Message("Nepodařilo se sklad otevřít");
  }

  progress->Close();
  progress.reset();
  variants.Close();
}
