#include "operations/transfer.h"

#include <sys/stat.h>

#include <cmath>
#include <exception>

#include "data/data_module.h"
#include "data/text_functions.h"
#include "operations/journal.h"
#include "operations/repricing.h"
#include "operations/store_keys.h"
#include "xbase/errors.h"
#include "xbase/file_names.h"

namespace {

// Names are matched without regard to letter case; DOS paths are mapped.
bool StoreFileExists(const std::string& path) {
  struct stat st;
  return ::stat(ResolveFileName(path).c_str(), &st) == 0;
}

// Fields copied to a store card that is there, and to one that is created.
const char* const kPresentCardFields[] = {"SOR_NAC", "SOR_VYR", "SOR_MJE", "SOR_OBJ", "SOR_HMO", "SOR_BAL", "SOR_DRU",
                                          "SOR_SKU", "SOR_PSK", "SOR_EAN", "SOR_POZ", "SOR_SKL", "SOR_OLD", "SOR_KOM",
                                          "SOR_MIN", "SOR_SLE", "SOR_KDO", "SOR_KVY", "SOR_OTV"};
const char* const kNewCardFields[] = {"SOR_KAV", "SOR_NAC", "SOR_PC1", "SOR_PC2", "SOR_PC3", "SOR_PC4", "SOR_PC5",
                                      "SOR_VYR", "SOR_MJE", "SOR_OBJ", "SOR_HMO", "SOR_BAL", "SOR_DRU", "SOR_SKU",
                                      "SOR_PSK", "SOR_EAN", "SOR_POZ", "SOR_SKL", "SOR_OLD", "SOR_KOM", "SOR_MIN",
                                      "SOR_SLE", "SOR_KDO", "SOR_KVY", "SOR_DAN", "SOR_OTV"};
const char* const kNewVariantFields[] = {"SKL_KAV", "SKL_IND", "SKL_SNC", "SKL_MEN", "SKL_KUR", "SKL_POZ"};
const char* const kPrices[] = {"SOR_PC1", "SOR_PC2", "SOR_PC3", "SOR_PC4", "SOR_PC5"};

// Pairs of field objects, source and target, of one copy list.
using FieldPairs = std::vector<std::pair<TField*, TField*>>;

template <size_t N>
FieldPairs Pairs(const TDbfTable& from, const TDbfTable& to, const char* const (&names)[N]) {
  FieldPairs pairs;
  for (const char* name : names) pairs.push_back({&from.FieldByName(name), &to.FieldByName(name)});
  return pairs;
}

void Copy(const FieldPairs& pairs) {
  for (const auto& [from, to] : pairs) to->SetValue(from->Value());
}

}  // namespace

// The field objects the walk of one store uses, found once for the store
// (a name lookup per field and card would cost more than the card itself).
struct TTransfer::StoreFields {
  StoreFields(TData& d, const std::string& cardColumn, const std::string& variantColumn)
      : kav(&d.Sor0000.FieldByName("SOR_KAV")),
        stock(&d.Sortiment.FieldByName("SOR_STA")),
        masterStock(&d.Sor0000.FieldByName(cardColumn)),
        variantKav(&d.Skl0000.FieldByName("SKL_KAV")),
        variantInd(&d.Skl0000.FieldByName("SKL_IND")),
        variantNote(&d.Skl0000.FieldByName("SKL_POZ")),
        masterVariantStock(&d.Skl0000.FieldByName(variantColumn)),
        storeVariantNote(&d.Sklad.FieldByName("SKL_POZ")),
        storeVariantStock(&d.Sklad.FieldByName("SKL_STA")),
        presentCard(Pairs(d.Sor0000, d.Sortiment, kPresentCardFields)),
        newCard(Pairs(d.Sor0000, d.Sortiment, kNewCardFields)),
        newVariant(Pairs(d.Skl0000, d.Sklad, kNewVariantFields)),
        prices(Pairs(d.Sor0000, d.Sortiment, kPrices)) {}
  TField *kav, *stock, *masterStock, *variantKav, *variantInd, *variantNote, *masterVariantStock, *storeVariantNote,
      *storeVariantStock;
  FieldPairs presentCard, newCard, newVariant, prices;
};

TTransfer::TTransfer(TData& data, TTimeSettings time) : data_(data), time_(std::move(time)) {}

void TTransfer::CloseStoreTables() {
  for (TDbfTable* t : {&data_.Sortiment, &data_.Sklad, &data_.Ciselnik, &data_.Denik, &data_.PrecHlav, &data_.PrecPol})
    t->Close();
}

bool TTransfer::Button5Click() {
  summaries.clear();
  Ui& ui = data_.ui;
  if (DetachBrowseView) DetachBrowseView();
  std::unique_ptr<ProgressView> progress;
  bool done = false;
  try {
    data_.Ces0000.Open();
    data_.Skl0000.Open();
    data_.Skl0000.OpenIndexFile(TrimBlanks(data_.DataPath) + "/" + "Skl" + data_.StoreCode);
    data_.Skl0000.SelectTag("KAV");
    progress = ui.CreateProgressWindow();
    progress->SetCaption("Info");
    progress->SetDescription("Popis činnosti");
    progress->SetLabel("Tabulka stavů skladu");
    for (data_.Ces0000.First(); !data_.Ces0000.Eof(); data_.Ces0000.Next()) TransferStore(*progress);
    data_.Skl0000.Close();
    data_.Ces0000.Close();
    done = true;
  } catch (const std::exception& e) {
    // The program stays usable: nothing of the store stays open or locked,
    // the master tables are back in browse state.
    for (TDbfTable* t : {&data_.Sortiment, &data_.Sklad, &data_.Ciselnik, &data_.Denik, &data_.PrecHlav,
                         &data_.PrecPol, &data_.Sor0000, &data_.Skl0000})
      AbandonEdit(*t);
    try {
      CloseStoreTables();
      data_.Skl0000.Close();
      data_.Ces0000.Close();
    } catch (const std::exception&) {
    }
    if (progress) progress->Close();
    progress.reset();
    if (AttachBrowseView) AttachBrowseView();
    ui.Error(e.what());
    return false;
  }
  progress->Close();
  progress.reset();
  if (AttachBrowseView) AttachBrowseView();
  return done;
}

void TTransfer::TransferStore(ProgressView& progress) {
  TDbfTable& stores = data_.Ces0000;
  const std::string code = stores.FieldByName("SOR_JED").AsString();
  const std::string cardColumn = stores.FieldByName("SOR_SOR").AsString();
  const std::string variantColumn = stores.FieldByName("SOR_SKL").AsString();
  const std::string dir = stores.FieldByName("SOR_CES").AsString();
  summaries.emplace_back();
  TStoreSummary& summary = summaries.back();
  summary.code = code;
  summary.name = stores.FieldByName("SOR_NAC").AsString();

  TJournal journal(data_, time_);
  TRepricing repricing(data_, journal);
  repricing.StartStore();
  CloseStoreTables();
  struct Binding {
    TDbfTable& table;
    const char* file;
    const char* index;
  };
  const Binding bindings[] = {{data_.Sortiment, "Sor", "Sor"}, {data_.Sklad, "Skl", "Skl"},
                              {data_.Ciselnik, "Cis", nullptr}, {data_.Denik, "Den", "DEN"},
                              {data_.PrecHlav, "PRH", "PRH"},  {data_.PrecPol, "PRP", "PRP"}};
  for (const Binding& b : bindings) {
    b.table.SetDatabaseName(dir);
    b.table.SetTableName(b.file + code + ".dbf");
    b.table.IndexFiles.clear();
    b.table.SetIndexName("");
  }

  const long total = data_.Sor0000.RecordCount();
  long counter = 0;
  progress.SetLabel("Úpravy skladu " + summary.name);
  if (!StoreFileExists(dir + "Sor" + code + ".dbf")) {
    data_.ui.Message("Soubor " + dir + "Sor" + code + "dbf  nebyl nalezen ! ");
    summary.skipped = true;
    return;
  }
  if (!StoreFileExists(dir + "Skl" + code + ".dbf")) {
    summary.skipped = true;
    return;
  }

  for (const Binding& b : bindings) {
    if (!b.index || &b.table == &data_.Ciselnik) continue;
    b.table.Open();
    b.table.OpenIndexFile(dir + b.index + code + ".cdx");
  }
  data_.Sortiment.SelectTag("KAV");
  data_.Sklad.SelectTag("KAV");
  // A column name that the master tables do not have ends the transfer here.
  const StoreFields fields(data_, cardColumn, variantColumn);

  for (data_.Sor0000.First(); !data_.Sor0000.Eof(); data_.Sor0000.Next()) {
    TransferCard(repricing, summary, fields);
    ++counter;
    progress.SetPosition(static_cast<int>(std::nearbyint(100.0 * counter / total)));
    progress.Show();
    data_.ui.ProcessEvents();
  }
  data_.Skl0000.SetKeyRange("", "");
  summary.cardsRepriced = repricing.cardsRepriced;
  summary.journalRows = journal.rowsWritten;
  summary.document = repricing.DocumentNumber();

  // Closing the headers ends the store's document and gives up its lock.
  for (const Binding& b : {bindings[0], bindings[1], bindings[3], bindings[4], bindings[5]})
    b.table.CloseIndexFile(dir + b.index + code + ".cdx");
  for (TDbfTable* t : {&data_.Sortiment, &data_.Sklad, &data_.Denik, &data_.PrecHlav, &data_.PrecPol}) t->Close();
}

void TTransfer::TransferCard(TRepricing& repricing, TStoreSummary& summary, const StoreFields& f) {
  TDbfTable& master = data_.Sor0000;
  TDbfTable& masterVariants = data_.Skl0000;
  TDbfTable& cards = data_.Sortiment;
  TDbfTable& variants = data_.Sklad;
  const std::string kav = f.kav->AsString();

  if (cards.SeekKey(CardKey(kav), true, false)) {
    cards.Edit();
    Copy(f.presentCard);
    cards.Post();
    master.Edit();
    f.masterStock->SetAsInteger(f.stock->AsInteger());
    master.Post();
    ++summary.cardsUpdated;
    bool differ = false;
    for (const auto& [masterPrice, storePrice] : f.prices)
      if (masterPrice->AsFloat() != storePrice->AsFloat()) {
        differ = true;
        break;
      }
    if (differ) {
      bool open = true;
      if (!repricing.DocumentOpen()) open = repricing.OpenDocument();
      else repricing.ResumeDocument();
      if (open) {
        // The summary keeps the document's number while the store is at work.
        summary.document = repricing.DocumentNumber();
        repricing.PrecenKartu(data_.PrecHlav.FieldByName("PRH_DO1").AsString(), kav, f.prices[0].first->AsFloat(),
                              f.prices[1].first->AsFloat(), f.prices[2].first->AsFloat(),
                              f.prices[3].first->AsFloat(), f.prices[4].first->AsFloat());
      }
    }
  } else {
    cards.Append();
    Copy(f.newCard);
    cards.Post();
    ++summary.cardsCreated;
  }

  // The range puts the master variants on the card's first one. It is
  // cleared once after the store's walk, not after each card: the next
  // card's range replaces it, and a cleared range would only move to the
  // first variant of the whole table for nothing.
  masterVariants.SetKeyRange(CardKey(kav) + "000", CardKey(kav) + "999");
  while (!masterVariants.Eof()) {
    if (variants.SeekKeyValues({TValue(f.variantKav->AsString()), TValue(f.variantInd->AsString())})) {
      variants.Edit();
      f.storeVariantNote->SetValue(f.variantNote->Value());
      variants.Post();
      masterVariants.Edit();
      f.masterVariantStock->SetAsInteger(f.storeVariantStock->AsInteger());
      masterVariants.Post();
    } else {
      variants.Append();
      Copy(f.newVariant);
      variants.Post();
      ++summary.variantsCreated;
    }
    masterVariants.Next();
  }
}
