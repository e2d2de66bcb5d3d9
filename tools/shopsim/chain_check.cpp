#include "chain_check.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>

#include "chain_state.h"
#include "shop_log.h"
#include "xbase/table/dbf_table.h"

namespace {

void OpenTable(TDbfTable& t, const std::string& dir, const std::string& name) {
  t.SetLockProtocol(TXbLockProtocol::ClipLock);
  t.SetDatabaseName(dir);
  t.SetTableName(name);
  t.Open();
}

struct JournalRow {
  long recno = 0;
  int64_t rad = 0, kus = 0;
  double zas = 0;
  std::string dok, key, ref;
};

// The descriptive fields a transfer writes into a store card it finds, and
// the prices it brings there by repricing.
const char* const kCardFields[] = {"SOR_NAC", "SOR_VYR", "SOR_MJE", "SOR_OBJ", "SOR_HMO", "SOR_BAL", "SOR_DRU",
                                   "SOR_SKU", "SOR_PSK", "SOR_EAN", "SOR_POZ", "SOR_OLD", "SOR_KOM", "SOR_MIN",
                                   "SOR_SLE", "SOR_KDO", "SOR_KVY", "SOR_OTV", "SOR_PC1", "SOR_PC2", "SOR_PC3",
                                   "SOR_PC4", "SOR_PC5"};

class StoreCheck {
 public:
  StoreCheck(const std::string& chainDir, const StoreRef& store, ChainCheckResult& r)
      : chainDir_(chainDir), store_(store), r_(r), opening_(ReadOpeningState(OpeningStateFile(chainDir, store.code))) {}

  void Run(const std::vector<const ShopLog*>& logs, bool transferDone) {
    ReadJournal();
    CheckSales(logs);
    CheckCounter();
    CheckStocks();
    CheckCardEdits(logs);
    if (transferDone) CheckTransfer();
  }

 private:
  void Fault(const std::string& text) { r_.faults.push_back(store_.code + ": " + text); }

  void ReadJournal() {
    TDbfTable journal;
    OpenTable(journal, store_.dir, "Den" + store_.code + ".dbf");
    for (journal.First(); !journal.Eof(); journal.Next()) {
      JournalRow row;
      row.recno = journal.RecNo();
      row.rad = journal.FieldByName("DEN_RAD").AsInteger();
      row.kus = journal.FieldByName("DEN_KUS").AsInteger();
      row.zas = journal.FieldByName("DEN_ZAS").AsFloat();
      row.dok = journal.FieldByName("DEN_DOK").AsString();
      row.ref = journal.FieldByName("DEN_REF").AsString();
      row.key = journal.FieldByName("DEN_KAV").AsString() + journal.FieldByName("DEN_IND").AsString();
      rows_.push_back(row);
    }
  }

  void CheckSales(const std::vector<const ShopLog*>& logs) {
    std::map<std::string, std::vector<const JournalRow*>> byDok;
    for (const JournalRow& row : rows_)
      if (row.ref == "SM") byDok[row.dok].push_back(&row);
    std::set<std::string> logged;
    for (const ShopLog* log : logs)
      for (const SaleEntry& e : log->sales) {
        ++r_.salesChecked;
        logged.insert(e.dok);
        const auto it = byDok.find(e.dok);
        const size_t n = it == byDok.end() ? 0 : it->second.size();
        if (n != 1) {
          Fault("journal row " + e.dok + " is in the journal " + std::to_string(n) + " times");
          continue;
        }
        const JournalRow& row = *it->second.front();
        if (row.key != e.kav + e.ind || row.kus != e.kus || row.rad != e.rad ||
            std::llround(row.zas) != e.after)
          Fault("journal row " + e.dok + " is not as the shop wrote it");
        if (!e.stockPosted) Fault("journal row " + e.dok + " without its stock change in the log");
      }
    for (const auto& [dok, rows] : byDok)
      if (!logged.count(dok)) Fault("journal row " + dok + " of a shop is in no log");
  }

  void CheckCounter() {
    std::set<int64_t> numbers;
    int64_t last = opening_.counter;
    for (const JournalRow& row : rows_) {
      if (row.recno <= opening_.journalRecords) continue;
      if (row.rad <= opening_.counter || !numbers.insert(row.rad).second)
        Fault("journal row number " + std::to_string(row.rad) + " given twice or below the opening counter");
      last = std::max(last, row.rad);
    }
    TDbfTable counter;
    OpenTable(counter, store_.dir, "Cis" + store_.code + ".dbf");
    counter.First();
    if (counter.FieldByName("CIS_DEN").AsInteger() != last)
      Fault("CIS_DEN " + counter.FieldByName("CIS_DEN").AsString() + " is not the last row number " +
            std::to_string(last));
  }

  void CheckStocks() {
    // Per variant: the sum of its whole journal, of its new rows, and the
    // stock after each new row when its opening stock agreed with it.
    std::map<std::string, int64_t> all, added, running;
    for (const auto& [key, v] : opening_.variants) running[key] = v.poc;
    for (const JournalRow& row : rows_) {
      all[row.key] += row.kus;
      running[row.key] += row.kus;
      if (row.recno <= opening_.journalRecords) continue;
      added[row.key] += row.kus;
      const auto v = opening_.variants.find(row.key);
      if (v != opening_.variants.end() && v->second.consistent && std::llround(row.zas) != running[row.key])
        Fault("row " + std::to_string(row.rad) + " (" + row.dok + ") of " + row.key + " says stock " +
              std::to_string(std::llround(row.zas)) + ", the journal gives " + std::to_string(running[row.key]));
    }
    TDbfTable variants;
    OpenTable(variants, store_.dir, "Skl" + store_.code + ".dbf");
    for (variants.First(); !variants.Eof(); variants.Next()) {
      const std::string key = variants.FieldByName("SKL_KAV").AsString() + variants.FieldByName("SKL_IND").AsString();
      const auto v = opening_.variants.find(key);
      if (v == opening_.variants.end()) continue;  // created by the transfer
      ++r_.variantsChecked;
      const int64_t stock = variants.FieldByName("SKL_STA").AsInteger();
      const int64_t kept = v->second.stock + added[key];      // every change on top of the opening stock
      const int64_t rebuilt = v->second.poc + all[key];       // the journal's own sum
      if (stock != kept && stock != rebuilt)
        Fault("variant " + key + " has stock " + std::to_string(stock) + ", opening stock and journal give " +
              std::to_string(kept) + (v->second.consistent ? "" : " (or " + std::to_string(rebuilt) + " rebuilt)"));
    }
  }

  void CheckCardEdits(const std::vector<const ShopLog*>& logs) {
    // A card that two shops edited has no last edit the logs could name.
    std::map<std::string, CardEdit> last;
    std::map<std::string, int> editors;
    for (const ShopLog* log : logs)
      for (const auto& [kav, edit] : log->lastCardEdit) {
        last[kav] = edit;
        ++editors[kav];
      }
    for (const auto& [kav, n] : editors)
      if (n > 1) last.erase(kav);
    if (last.empty()) return;
    TDbfTable cards;
    OpenTable(cards, store_.dir, "Sor" + store_.code + ".dbf");
    for (cards.First(); !cards.Eof(); cards.Next()) {
      const auto it = last.find(cards.FieldByName("SOR_KAV").AsString());
      if (it == last.end()) continue;
      ++r_.cardEditsChecked;
      if (cards.FieldByName("SOR_REQ").AsInteger() != it->second.req ||
          cards.FieldByName("SOR_MAJ").AsInteger() != it->second.maj)
        Fault("card " + it->first + " lost the shop's edit");
    }
  }

  void CheckTransfer() {
    std::map<std::string, std::vector<std::string>> store;
    TDbfTable cards;
    OpenTable(cards, store_.dir, "Sor" + store_.code + ".dbf");
    for (cards.First(); !cards.Eof(); cards.Next()) {
      std::vector<std::string>& values = store[cards.FieldByName("SOR_KAV").AsString()];
      for (const char* f : kCardFields) values.push_back(cards.FieldByName(f).AsString());
    }
    TDbfTable master;
    OpenTable(master, chainDir_ + "/data", "SOR0000.DBF");
    for (master.First(); !master.Eof(); master.Next()) {
      ++r_.cardsCompared;
      const std::string kav = master.FieldByName("SOR_KAV").AsString();
      const auto it = store.find(kav);
      if (it == store.end()) {
        Fault("card " + kav + " is not in the store");
        continue;
      }
      for (size_t k = 0; k < std::size(kCardFields); ++k)
        if (master.FieldByName(kCardFields[k]).AsString() != it->second[k])
          Fault("card " + kav + ": " + kCardFields[k] + " is " + it->second[k] + ", the master has " +
                master.FieldByName(kCardFields[k]).AsString());
    }
    std::map<std::string, std::string> notes;
    TDbfTable variants;
    OpenTable(variants, store_.dir, "Skl" + store_.code + ".dbf");
    for (variants.First(); !variants.Eof(); variants.Next())
      notes[variants.FieldByName("SKL_KAV").AsString() + variants.FieldByName("SKL_IND").AsString()] =
          variants.FieldByName("SKL_POZ").AsString();
    TDbfTable masterVariants;
    OpenTable(masterVariants, chainDir_ + "/data", "SKL0000.DBF");
    for (masterVariants.First(); !masterVariants.Eof(); masterVariants.Next()) {
      const std::string ind = masterVariants.FieldByName("SKL_IND").AsString();
      if (ind.empty() || ind[0] < '0' || ind[0] > '9') continue;  // not a stock variant: not transferred
      const std::string key = masterVariants.FieldByName("SKL_KAV").AsString() + ind;
      const auto it = notes.find(key);
      if (it == notes.end()) Fault("variant " + key + " is not in the store");
      else if (it->second != masterVariants.FieldByName("SKL_POZ").AsString())
        Fault("variant " + key + " lost the master's note");
    }
  }

  const std::string& chainDir_;
  const StoreRef& store_;
  ChainCheckResult& r_;
  OpeningState opening_;
  std::vector<JournalRow> rows_;
};

}  // namespace

ChainCheckResult CheckChain(const std::string& chainDir, const std::vector<std::string>& logFiles, bool transferDone) {
  ChainCheckResult r;
  std::vector<ShopLog> logs;
  for (const std::string& f : logFiles) {
    logs.push_back(ReadShopLog(f));
    for (const std::string& e : logs.back().errors) r.faults.push_back(f + ": " + e);
  }
  for (const StoreRef& store : ChainStores(chainDir)) {
    std::vector<const ShopLog*> mine;
    for (const ShopLog& log : logs)
      if (log.store == store.code) mine.push_back(&log);
    StoreCheck(chainDir, store, r).Run(mine, transferDone);
  }
  return r;
}
