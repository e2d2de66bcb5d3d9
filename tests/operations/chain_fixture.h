#pragma once
// A small chain on disk for the operations' tests: the master card and
// variant tables with their index files, a store list, and stores with the
// six tables and the index files of the shops' programs, filled from short
// row lists; the data module bound to it as start-up binds it; the tables
// read back row by row; the index files proved by dbftool.

#include <filesystem>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "data/data_module.h"
#include "data/table_layouts.h"
#include "demo_data.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"

namespace chain {

// One field value of a row to write.
struct Cell {
  std::variant<std::string, double, bool> v;
  Cell(const char* s) : v(std::string(s)) {}
  Cell(std::string s) : v(std::move(s)) {}
  Cell(double d) : v(d) {}
  Cell(int i) : v(static_cast<double>(i)) {}
  Cell(bool b) : v(b) {}
};
using Row = std::vector<std::pair<std::string, Cell>>;
// A row read back: every field as text (numbers in plain form).
using ReadRow = std::map<std::string, std::string>;

struct Tag {
  std::string name, expression;
  bool unique = false;
};

// Writes the table of the layout `object` at `path` with `rows`, and, when
// `tags` is not empty, the index file `indexPath` with those tags.
inline void WriteTable(const std::string& path, const std::string& object, const std::vector<Row>& rows,
                       const std::string& indexPath = {}, const std::vector<Tag>& tags = {}) {
  CreateLayoutTable(path, TableLayoutOf(object));
  XbDbfFile file;
  XbDbfFile::Options o;
  o.shared = false;
  file.Open(path, o);
  const Codepage& cp = Codepage::Instance();
  for (const Row& row : rows) {
    file.BlankRecord();
    for (const auto& [name, cell] : row) {
      const XbField& f = file.FieldByName(name);
      if (auto* s = std::get_if<std::string>(&cell.v)) {
        if (f.type == 'D') file.PutDate(f, XbDate::FromDtos(*s));
        else file.PutText(f, cp.Utf8ToOem(*s));
      } else if (auto* d = std::get_if<double>(&cell.v)) {
        file.PutNumber(f, *d);
      } else {
        file.PutLogical(f, std::get<bool>(cell.v));
      }
    }
    file.Append();
  }
  if (!tags.empty()) {
    std::filesystem::remove(indexPath);
    auto index = XbCdxFile::OpenOrCreate(indexPath, file, ExpressionKeySources(file));
    for (const Tag& t : tags) index->CreateTag(t.name, t.expression, "", t.unique, false);
    index->Flush();
  }
  file.Close();
}

// Reads every record of the table file (deleted ones too) in file order.
inline std::vector<ReadRow> ReadTable(const std::string& path) {
  TDbfTable t;
  std::filesystem::path p(path);
  t.SetDatabaseName(p.parent_path().string());
  t.SetTableName(p.filename().string());
  t.SetReadOnly(true);
  t.Open();
  std::vector<ReadRow> rows;
  for (t.First(); !t.Eof(); t.Next()) {
    ReadRow r;
    for (const auto& f : t.Fields()) r[f->FieldName()] = f->AsString();
    rows.push_back(std::move(r));
  }
  return rows;
}

inline double Num(const ReadRow& r, const std::string& field) {
  auto it = r.find(field);
  return it == r.end() || it->second.empty() ? 0 : std::stod(it->second);
}

// The rows of `rows` whose `field` holds `value`.
inline std::vector<ReadRow> Where(const std::vector<ReadRow>& rows, const std::string& field, const std::string& value) {
  std::vector<ReadRow> out;
  for (const ReadRow& r : rows)
    if (r.count(field) && r.at(field) == value) out.push_back(r);
  return out;
}

// A card of the master or of a store: number, name, five prices, VAT.
inline Row Card(const std::string& kav, std::vector<double> prices, double vat = 21, Row more = {}) {
  Row r{{"SOR_KAV", kav}, {"SOR_NAC", "Karta " + kav}, {"SOR_DAN", vat}};
  for (size_t k = 0; k < prices.size(); ++k) r.push_back({"SOR_PC" + std::to_string(k + 1), prices[k]});
  for (auto& c : more) r.push_back(c);
  return r;
}
inline Row Variant(const std::string& kav, const std::string& ind, int poc, int sta, Row more = {}) {
  Row r{{"SKL_KAV", kav}, {"SKL_IND", ind}, {"SKL_POC", poc}, {"SKL_STA", sta}, {"SKL_MEN", "CZK"}, {"SKL_KUR", 1.0}};
  for (auto& c : more) r.push_back(c);
  return r;
}
inline Row MasterVariant(const std::string& kav, const std::string& ind, Row more = {}) {
  Row r{{"SKL_KAV", kav}, {"SKL_IND", ind}, {"SKL_MEN", "CZK"}, {"SKL_KUR", 1.0}};
  for (auto& c : more) r.push_back(c);
  return r;
}
inline Row Journal(int rad, const std::string& kav, const std::string& ind, int kus, double zas) {
  return {{"DEN_RAD", rad}, {"DEN_DAT", "20261201"}, {"DEN_KDY", "08:00"}, {"DEN_KAV", kav}, {"DEN_IND", ind},
          {"DEN_OPE", "PRI"}, {"DEN_KUS", kus}, {"DEN_ZAS", zas}, {"DEN_DOK", "P000000001"}};
}

struct Store {
  std::string code = "0001";
  std::string name = "Prodejna";
  std::vector<Row> cards, variants, journal, headers, items;
  int cisDen = 0;
  std::string cisPrc = "0";
  bool cardTable = true;
  bool variantTable = true;
  std::string sorCes;   // empty: the store's directory with a trailing "/"
};

class Chain {
 public:
  Chain() { std::filesystem::create_directories(DataDir()); }
  std::string DataDir() const { return dir_.Path() + "/data"; }
  std::string StoreDir(const std::string& code) const { return dir_.Path() + "/S" + code; }
  std::string StoreFile(const std::string& code, const std::string& object) const {
    return StoreDir(code) + "/" + TableLayoutOf(object).FileFor(code);
  }
  std::string MasterFile(const std::string& object) const { return DataDir() + "/" + TableLayoutOf(object).file; }

  // The master catalogue with its index files.
  void Master(const std::vector<Row>& cards, const std::vector<Row>& variants) {
    WriteTable(MasterFile("Sor0000"), "Sor0000", cards, DataDir() + "/Sor0000.cdx", Tags("Sor0000"));
    WriteTable(MasterFile("Skl0000"), "Skl0000", variants, DataDir() + "/Skl0000.cdx", Tags("Skl0000"));
  }

  // A store's six tables and its index files, and its row in the store list
  // (written by StoreList).
  void AddStore(const Store& s) {
    std::string dir = StoreDir(s.code);
    std::filesystem::create_directories(dir);
    auto write = [&](const char* object, const std::vector<Row>& rows) {
      const TableLayout& l = TableLayoutOf(object);
      std::string index = l.indexFile.empty() ? std::string() : dir + "/" + l.IndexFileFor(s.code);
      WriteTable(StoreFile(s.code, object), object, rows, index, Tags(object));
    };
    if (s.cardTable) write("Sortiment", s.cards);
    if (s.variantTable) write("Sklad", s.variants);
    write("Denik", s.journal);
    write("PrecHlav", s.headers);
    write("PrecPol", s.items);
    write("Ciselnik", {{{"CIS_DEN", s.cisDen}, {"CIS_PRC", s.cisPrc}}});
    int column = static_cast<int>(list_.size()) + 1;
    std::string n = (column < 10 ? "0" : "") + std::to_string(column);
    list_.push_back({{"SOR_NAC", s.name}, {"SOR_CES", s.sorCes.empty() ? dir + "/" : s.sorCes}, {"SOR_TYP", "P"},
                     {"SOR_JED", s.code}, {"SOR_SOR", "SOR_S" + n}, {"SOR_SKL", "SKL_S" + n}});
  }
  void StoreList() { WriteTable(MasterFile("Ces0000"), "Ces0000", list_); }

  // The data module bound as start-up binds it: Sor0000 open in card-number
  // order, Skl0000 and Ces0000 named, the user's initials set.
  void Bind(TData& data) const {
    data.DataPath = DataDir();
    data.StoreCode = "0000";
    data.UserInitials = "JN";
    data.lockRetryPauseMs = 1;
    data.Sor0000.Close();
    data.Sor0000.SetDatabaseName(DataDir());
    data.Sor0000.SetTableName("Sor0000");
    data.Sor0000.Open();
    data.Sor0000.OpenIndexFile(DataDir() + "/Sor0000.cdx");
    data.Sor0000.SelectTag("KAV");
    data.Sor0000.First();
    data.Skl0000.SetDatabaseName(DataDir());
    data.Skl0000.SetTableName("SKL0000");
    data.Ces0000.SetDatabaseName(DataDir());
  }

  // Points the store-side objects at one store and opens them as the
  // transfer does (for tests of the journal and the repricing alone).
  void OpenStore(TData& data, const std::string& code) const {
    std::string dir = StoreDir(code) + "/";
    struct B { TDbfTable& t; const char* object; };
    for (B b : {B{data.Sortiment, "Sortiment"}, B{data.Sklad, "Sklad"}, B{data.Denik, "Denik"},
                B{data.PrecHlav, "PrecHlav"}, B{data.PrecPol, "PrecPol"}, B{data.Ciselnik, "Ciselnik"}}) {
      b.t.Close();
      const TableLayout& l = TableLayoutOf(b.object);
      b.t.SetDatabaseName(dir);
      b.t.SetTableName(l.FileFor(code));
      b.t.IndexFiles.clear();
      if (!l.indexFile.empty()) b.t.IndexFiles.push_back(dir + l.IndexFileFor(code));
      b.t.SetIndexName("");
      if (!l.indexFile.empty()) b.t.Open();
    }
    data.Sortiment.SelectTag("KAV");
    data.Sklad.SelectTag("KAV");
  }

  // dbftool check on every index file of the chain; empty when all are clean,
  // else what dbftool said about the ones that are not.
  std::string CheckIndexes() const {
    std::string report;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path())) {
      std::string ext = entry.path().extension().string();
      if (ext != ".cdx" && ext != ".CDX") continue;
      std::filesystem::path dbf = entry.path();
      dbf.replace_extension(".dbf");
      CommandResult r = RunCommand(BinPath("dbftool") + " check '" + ResolveDbf(dbf) + "' --index '" +
                                   entry.path().string() + "'");
      if (r.exitCode != 0) report += r.out + r.err;
    }
    return report;
  }

 private:
  static std::string ResolveDbf(std::filesystem::path dbf) {
    for (const auto& e : std::filesystem::directory_iterator(dbf.parent_path())) {
      std::string a = e.path().filename().string(), b = dbf.filename().string();
      if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                             [](char x, char y) { return std::toupper(x) == std::toupper(y); }))
        return e.path().string();
    }
    return dbf.string();
  }
  static std::vector<Tag> Tags(const std::string& object) {
    std::vector<Tag> tags;
    for (const TagDecl& t : TableLayoutOf(object).tags) tags.push_back({t.name, t.expression, t.unique});
    return tags;
  }
  TempDir dir_;
  std::vector<Row> list_;
};

}  // namespace chain

namespace chain {

// The byte range a shop program locks for record `recno` of the table file.
inline XbLockRegion ShopRecordRegion(const std::string& path, TXbLockProtocol protocol, long recno, bool indexOpen) {
  XbDbfFile f;
  XbDbfFile::Options o;
  o.writable = false;
  f.Open(path, o);
  return RecordLockRegion(protocol, recno, indexOpen, f.HeaderLength(), f.RecordLength());
}

}  // namespace chain
