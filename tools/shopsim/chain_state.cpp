#include "chain_state.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "xbase/file_names.h"
#include "xbase/table/dbf_table.h"

namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(ResolveFileName(path).c_str(), &st) == 0;
}

// A table read by its own field list, shared, as a shop program opens it.
void OpenTable(TDbfTable& t, const std::string& dir, const std::string& name) {
  t.SetLockProtocol(TXbLockProtocol::ClipLock);
  t.SetDatabaseName(dir);
  t.SetTableName(name);
  t.Open();
}

}  // namespace

std::vector<StoreRef> ChainStores(const std::string& chainDir) {
  TDbfTable list;
  OpenTable(list, chainDir + "/data", "CES0000.DBF");
  std::vector<StoreRef> stores;
  for (list.First(); !list.Eof(); list.Next()) {
    StoreRef s{list.FieldByName("SOR_JED").AsString(), list.FieldByName("SOR_CES").AsString()};
    if (Exists(s.dir + "Sor" + s.code + ".dbf")) stores.push_back(s);
  }
  return stores;
}

OpeningState TakeOpeningState(const StoreRef& store) {
  OpeningState state;
  std::map<std::string, int64_t> moved;
  TDbfTable journal;
  OpenTable(journal, store.dir, "Den" + store.code + ".dbf");
  state.journalRecords = journal.RecordCount();
  for (journal.First(); !journal.Eof(); journal.Next())
    moved[journal.FieldByName("DEN_KAV").AsString() + journal.FieldByName("DEN_IND").AsString()] +=
        journal.FieldByName("DEN_KUS").AsInteger();
  TDbfTable variants;
  OpenTable(variants, store.dir, "Skl" + store.code + ".dbf");
  for (variants.First(); !variants.Eof(); variants.Next()) {
    OpeningVariant v;
    v.stock = variants.FieldByName("SKL_STA").AsInteger();
    v.poc = variants.FieldByName("SKL_POC").AsInteger();
    const std::string key = variants.FieldByName("SKL_KAV").AsString() + variants.FieldByName("SKL_IND").AsString();
    v.consistent = v.stock == v.poc + moved[key];
    state.variants[key] = v;
  }
  TDbfTable counter;
  OpenTable(counter, store.dir, "Cis" + store.code + ".dbf");
  counter.First();
  state.counter = counter.FieldByName("CIS_DEN").AsInteger();
  return state;
}

std::string OpeningStateFile(const std::string& chainDir, const std::string& code) {
  return chainDir + "/shopsim/opening-" + code + ".txt";
}

void WriteOpeningState(const std::string& path, const OpeningState& state) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::trunc);
  out << "N " << state.journalRecords << " " << state.counter << "\n";
  for (const auto& [key, v] : state.variants)
    out << "V " << key << " " << v.stock << " " << v.poc << " " << (v.consistent ? 1 : 0) << "\n";
  if (!out) throw std::runtime_error("cannot write " + path);
}

OpeningState ReadOpeningState(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  OpeningState state;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    if (kind == "N") {
      s >> state.journalRecords >> state.counter;
    } else if (kind == "V") {
      // The key is card number and variant index, 9 characters without blanks
      // in the demo's chains.
      std::string key;
      OpeningVariant v;
      int consistent = 0;
      s >> key >> v.stock >> v.poc >> consistent;
      v.consistent = consistent != 0;
      state.variants[key] = v;
    }
  }
  return state;
}

void ChangeMasterForTransfer(const std::string& chainDir, int day) {
  const std::string data = chainDir + "/data";
  const std::string mark = " " + std::to_string(day);
  TDbfTable cards;
  OpenTable(cards, data, "SOR0000.DBF");
  for (const auto& e : fs::directory_iterator(data)) {
    std::string stem = e.path().stem().string(), ext = e.path().extension().string();
    for (auto* s : {&stem, &ext})
      for (char& c : *s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (stem == "SOR0000" && ext == ".CDX") cards.OpenIndexFile(e.path().string());
  }
  // The first cards are repriced every day: their variants come first in
  // the stores' tables, where the simulators' busiest variants are (--hot).
  long n = 0;
  for (cards.First(); !cards.Eof(); cards.Next()) {
    ++n;
    const bool reprice = n % 11 == day % 11 || n <= 20;
    if (n % 7 != day % 7 && !reprice) continue;
    cards.Edit();
    if (n % 7 == day % 7)
      cards.FieldByName("SOR_NAC").SetAsString("Novy nazev " + cards.FieldByName("SOR_KAV").AsString() + mark);
    if (reprice) cards.FieldByName("SOR_PC1").SetAsFloat(cards.FieldByName("SOR_PC1").AsFloat() + 1);
    cards.Post();
  }
  TDbfTable variants;
  OpenTable(variants, data, "SKL0000.DBF");
  n = 0;
  for (variants.First(); !variants.Eof(); variants.Next()) {
    if (++n % 5 != day % 5) continue;
    variants.Edit();
    variants.FieldByName("SKL_POZ").SetAsString("Poznamka " + std::to_string(n) + mark);
    variants.Post();
  }
}
