#include "demo_data.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "data/table_layouts.h"
#include "dbf_writer.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"
#include "xbase/file_names.h"

namespace fs = std::filesystem;

namespace {

// Product nouns with their grammatical gender (m, f, n) and adjective stems;
// a hard stem takes -ý/-á/-é, a soft one (ending in '*') -í for every gender.
struct Noun { const char* word; char gender; };
const Noun kNouns[] = {
    {"Šroubovák", 'm'}, {"Kladivo", 'n'},   {"Pilka", 'f'},     {"Vrtačka", 'f'},  {"Metr", 'm'},
    {"Lopata", 'f'},    {"Kbelík", 'm'},    {"Štětec", 'm'},    {"Váleček", 'm'},  {"Lepidlo", 'n'},
    {"Žárovka", 'f'},   {"Prodlužka", 'f'}, {"Zámek", 'm'},     {"Řetěz", 'm'},    {"Hadice", 'f'},
    {"Konev", 'f'},     {"Pilník", 'm'},    {"Dláto", 'n'},     {"Úhelník", 'm'},  {"Vodováha", 'f'},
    {"Svěrka", 'f'},    {"Hřebík", 'm'},    {"Šroub", 'm'},     {"Matice", 'f'},   {"Podložka", 'f'},
    {"Hmoždinka", 'f'}, {"Kolečko", 'n'},   {"Trubka", 'f'},    {"Ventil", 'm'},   {"Rýč", 'm'},
};
const char* const kAdjectives[] = {
    "křížov",  "ploch",   "zámečnick", "kombinovan", "ruč*",   "akumulátorov", "svinovac*", "ocelov",
    "hliníkov", "pozinkovan", "plastov", "zahrad*", "malířsk", "úsporn", "žlut", "červen", "modr",
    "čern",    "těžk",    "lehk",      "dlouh",      "krátk",  "univerzál*",   "profesionál*", "dětsk",
    "měděn",   "nerezov", "šed",
};

std::string Agree(const char* stem, char gender) {
  std::string s = stem;
  if (s.back() == '*') {
    s.pop_back();
    return s + (s.back() == 'c' ? "í" : "ní");
  }
  return s + (gender == 'm' ? "ý" : gender == 'f' ? "á" : "é");
}
const char* const kSizes[] = {"", " 3 mm", " 5 mm", " 8 mm", " 10 mm", " 1/2\"", " 250 g", " 500 g",
                              " 1 kg", " 2 m",  " 5 m",  " 10 m", " M6",  " M8",   " 1 l",   " 5 l"};

struct Code { const char* code; const char* name; };
const Code kGroups[] = {{"NAR", "Nářadí ruční"}, {"ELE", "Elektronářadí"}, {"ZAH", "Zahrada"},
                        {"SPO", "Spojovací materiál"}, {"BAR", "Barvy a laky"}, {"INS", "Instalace"}};
const Code kKinds[] = {{"ZBO", "Zboží"}, {"SLU", "Služba"}, {"OBA", "Obaly"}};
const Code kSubgroups[] = {{"001", "Šroubováky"}, {"002", "Kladiva"}, {"003", "Pily"},
                           {"004", "Vrtáky"},     {"005", "Měřidla"}, {"006", "Ostatní"}};
const Code kMakers[] = {{"TOR", "Toriva s.r.o."}, {"KLM", "Klemata a.s."}, {"BRN", "Brněnské železárny"},
                        {"OST", "Ostravské nářadí"}, {"ZLI", "Zlínská plasty"}};
const Code kUnits[] = {{"ks", "kus"}, {"kg", "kilogram"}, {"m", "metr"}, {"l", "litr"}, {"bl", "balení"}};

std::string Oem(const std::string& utf8) { return Codepage::Instance().Utf8ToOem(utf8); }

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
}

// Creates the table file of a layout (stored fields only) and opens it for
// filling, exclusively.
class DemoTable {
 public:
  DemoTable(const fs::path& file, const TableLayout& layout) : layout_(layout) {
    CreateLayoutTable(file.string(), layout);
    XbDbfFile::Options o;
    o.shared = false;
    table_.Open(file.string(), o);
  }
  DemoTable& New() {
    table_.BlankRecord();
    return *this;
  }
  DemoTable& Text(const char* field, const std::string& utf8) {
    table_.PutText(table_.FieldByName(field), Oem(utf8));
    return *this;
  }
  DemoTable& Number(const char* field, double value) {
    table_.PutNumber(table_.FieldByName(field), value);
    return *this;
  }
  DemoTable& Logical(const char* field, bool value) {
    table_.PutLogical(table_.FieldByName(field), value);
    return *this;
  }
  DemoTable& Date(const char* field, const XbDate& date) {
    table_.PutDate(table_.FieldByName(field), date);
    return *this;
  }
  void Add() { table_.Append(); }
  XbDbfFile& File() { return table_; }

  // Writes the layout's index file (named for `storeCode` where the layout
  // is a store's) into `dir` anew, with every tag of the layout built over
  // the records written so far. Nothing for a layout without index file.
  void WriteIndex(const fs::path& dir, const std::string& storeCode = {}) {
    if (layout_.indexFile.empty()) return;
    fs::path file = dir / layout_.IndexFileFor(storeCode);
    fs::remove(ResolveCase(file.string()));
    auto index = XbCdxFile::OpenOrCreate(file.string(), table_, ExpressionKeySources(table_));
    for (const TagDecl& tag : layout_.tags) index->CreateTag(tag.name, tag.expression, "", tag.unique, false);
    index->Flush();
  }

 private:
  const TableLayout& layout_;
  XbDbfFile table_;
};

struct Card {
  std::string kav, name, group, kind, subgroup, maker, unit, ean, supplierCode, makerCode;
  double prices[5];
  double vat, weight, volume, discount, purchase;
  int package, minimum, variants;
};

std::vector<Card> MakeCards(int count, int multiVariantOneIn, std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::vector<Card> cards;
  for (int i = 0; i < count; ++i) {
    Card c;
    c.kav = Pad(100 + i * 7, 6);
    const Noun& noun = kNouns[pick(std::size(kNouns))];
    std::string name = std::string(noun.word) + " " + Agree(kAdjectives[pick(std::size(kAdjectives))], noun.gender) +
                       kSizes[pick(std::size(kSizes))];
    c.name = name;
    c.group = kGroups[pick(std::size(kGroups))].code;
    c.kind = kKinds[pick(std::size(kKinds))].code;
    c.subgroup = kSubgroups[pick(std::size(kSubgroups))].code;
    c.maker = kMakers[pick(std::size(kMakers))].code;
    c.unit = kUnits[pick(std::size(kUnits))].code;
    c.ean = "859" + Pad(static_cast<int>(rng() % 1000000000u), 10);
    c.supplierCode = "D" + Pad(pick(1000000), 7);
    c.makerCode = std::string(c.maker) + "-" + Pad(pick(100000), 5);
    double base = 5 + pick(500000) / 100.0;
    for (int k = 0; k < 5; ++k) c.prices[k] = std::round(base * (1.0 - 0.03 * k) * 100) / 100;
    c.vat = pick(4) == 0 ? 15.0 : 21.0;
    c.purchase = std::round(base * 0.7 * 100) / 100;
    c.weight = pick(5000) / 1000.0;
    c.volume = pick(2000) / 1000.0;
    c.discount = pick(4) * 5.0;
    c.package = 1 + pick(3) * 5;
    c.minimum = pick(20);
    c.variants = pick(multiVariantOneIn) == 0 ? 2 + pick(3) : 1;
    cards.push_back(c);
  }
  return cards;
}

void WriteCodeLists(const fs::path& data) {
  DemoTable groups(data / "SSK0000.DBF", TableLayoutOf("SortiSkup"));
  int order = 1;
  for (const Code& c : kGroups)
    groups.New().Text("SSK_SKU", c.code).Text("SSK_NAC", c.name).Number("SSK_POR", order++).Number("SSK_PRO", 2.5).Add();
  DemoTable kinds(data / "SDR0000.DBF", TableLayoutOf("SortiDruh"));
  order = 1;
  for (const Code& c : kKinds) kinds.New().Text("SDR_SKU", c.code).Text("SDR_NAC", c.name).Number("SDR_POR", order++).Add();
  DemoTable subgroups(data / "SPK0000.DBF", TableLayoutOf("SortiPodSkp"));
  order = 1;
  for (const Code& c : kSubgroups)
    subgroups.New().Text("SPK_SKU", c.code).Text("SPK_NAC", c.name).Number("SPK_POR", order++).Add();
  DemoTable makers(data / "SVR0000.DBF", TableLayoutOf("SortiVyrobce"));
  order = 1;
  for (const Code& c : kMakers) makers.New().Text("SVR_CIS", c.code).Text("SVR_NAC", c.name).Number("SVR_POR", order++).Add();
  DemoTable units(data / "MJE0000.DBF", TableLayoutOf("MjeJed"));
  for (const Code& c : kUnits) units.New().Text("MJE_TYP", c.code).Text("MJE_NAC", c.name).Add();
}

void WriteUsers(const fs::path& data) {
  DemoTable users(data / "USR0000.DBF", TableLayoutOf("Uzivatele"));
  users.New().Text("USR_KOD", "001").Text("USR_LNA", "ADMIN").Text("USR_PSW", "ADMIN").Text("USR_INI", "AD")
      .Text("USR_GRP", "ADM").Text("USR_NAC", "Správce systému").Add();
  std::string login = DemoLoginName();
  if (!login.empty() && login != "ADMIN")
    users.New().Text("USR_KOD", "002").Text("USR_LNA", login).Text("USR_PSW", "").Text("USR_INI", login.substr(0, 2))
        .Text("USR_GRP", "PRO").Text("USR_NAC", "Novák, Jan").Add();
  DemoTable rules(data / "URS0000.DBF", TableLayoutOf("UziPrava"));
  for (const char* user : {"001", "002"})
    for (const char* task : {"SOR", "SKL", "PRE", "IMP"})
      rules.New().Text("URS_KOD", user).Text("URS_URT", task).Number("URS_URS", 1).Add();
  rules.WriteIndex(data);
}

void WriteMaster(const fs::path& data, const std::vector<Card>& cards, int stores, std::mt19937& rng) {
  DemoTable sor(data / "SOR0000.DBF", TableLayoutOf("Sor0000"));
  DemoTable skl(data / "SKL0000.DBF", TableLayoutOf("Skl0000"));
  DemoTable cep(data / "CEP0000.DBF", TableLayoutOf("Cep0000"));
  for (const Card& c : cards) {
    sor.New().Text("SOR_KAV", c.kav).Text("SOR_NAC", c.name).Number("SOR_DAN", c.vat).Logical("SOR_SKL", true)
        .Logical("SOR_OLD", rng() % 50 == 0).Text("SOR_SKU", c.group).Text("SOR_VYR", c.maker).Text("SOR_MJE", c.unit)
        .Number("SOR_HMO", c.weight).Number("SOR_OBJ", c.volume).Number("SOR_BAL", c.package).Text("SOR_DRU", c.kind)
        .Text("SOR_PSK", c.subgroup).Text("SOR_EAN", c.ean).Number("SOR_MIN", c.minimum)
        .Number("SOR_SLE", c.discount).Text("SOR_KDO", c.supplierCode).Text("SOR_KVY", c.makerCode)
        .Logical("SOR_KOM", false).Number("SOR_OTV", c.package);
    for (int k = 0; k < 5; ++k) sor.Number(("SOR_PC" + std::to_string(k + 1)).c_str(), c.prices[k]);
    for (int s = 1; s <= stores; ++s) sor.Number(("SOR_S" + Pad(s, 2)).c_str(), static_cast<int>(rng() % 40));
    sor.Add();
    for (int v = 0; v < c.variants; ++v) {
      skl.New().Text("SKL_KAV", c.kav).Text("SKL_IND", Pad(v, 3)).Number("SKL_SNC", c.purchase * (1 + 0.05 * v))
          .Number("SKL_POC", static_cast<int>(rng() % 30)).Text("SKL_MEN", "CZK").Number("SKL_KUR", 1)
          .Text("SKL_POZ", v == 0 ? "" : "Varianta " + std::to_string(v + 1));
      for (int s = 1; s <= stores; ++s) skl.Number(("SKL_S" + Pad(s, 2)).c_str(), static_cast<int>(rng() % 20));
      skl.Add();
    }
    if (rng() % 10 == 0)
      cep.New().Text("CEP_SKU", c.group).Text("CEP_KAV", c.kav).Text("CEP_NAC", c.name)
          .Number("CEP_PC1", c.prices[0] * 0.9).Add();
  }
  for (DemoTable* t : {&sor, &skl, &cep}) t->WriteIndex(data);
}

// One store's tables: most of the catalogue (one card in ten is not there
// yet), a few cards with other prices than the master's (all five raised, or
// price 3 alone), its own stock with a journal of the year that agrees with
// it for most variants (opening stock + receipts and sales) and disagrees
// for a few (so that a transfer rebuilds them), a counter row, and the
// index files the shops' programs keep.
void WriteStore(const fs::path& dir, const std::string& code, const std::vector<Card>& cards, int maxMoves,
                std::mt19937& rng) {
  fs::create_directories(dir);
  DemoTable sor(dir / TableLayoutOf("Sortiment").FileFor(code), TableLayoutOf("Sortiment"));
  DemoTable skl(dir / TableLayoutOf("Sklad").FileFor(code), TableLayoutOf("Sklad"));
  DemoTable den(dir / TableLayoutOf("Denik").FileFor(code), TableLayoutOf("Denik"));
  DemoTable headers(dir / TableLayoutOf("PrecHlav").FileFor(code), TableLayoutOf("PrecHlav"));
  DemoTable items(dir / TableLayoutOf("PrecPol").FileFor(code), TableLayoutOf("PrecPol"));
  DemoTable cis(dir / TableLayoutOf("Ciselnik").FileFor(code), TableLayoutOf("Ciselnik"));
  XbDate today = XbDate::Today();
  XbDate newYear{today.year, 1, 2};
  int journalRow = 0;
  for (const Card& c : cards) {
    if (rng() % 10 == 0) continue;  // not yet in this store: the transfer will create it
    unsigned priceCase = rng() % 40;  // 0, 1: all prices raised; 2: price 3 alone
    double prices[5];
    for (int k = 0; k < 5; ++k) prices[k] = c.prices[k];
    if (priceCase < 2) for (double& p : prices) p += 10;
    if (priceCase == 2) prices[2] = std::round(prices[2] * 1.1 * 100) / 100;
    int cardStock = 0;
    for (int v = 0; v < c.variants; ++v) {
      int opening = static_cast<int>(rng() % 30);
      int stock = opening;
      int moves = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxMoves));
      for (int m = 0; m < moves; ++m) {
        bool receipt = m == 0 || rng() % 3 == 0;
        int kus = receipt ? 1 + static_cast<int>(rng() % 20) : -static_cast<int>(rng() % (stock > 0 ? stock + 1 : 3));
        stock += kus;
        XbDate when = XbDate::FromJulian(newYear.ToJulian() + static_cast<long>(rng() % 300));
        if (when > today) when = today;
        const int rad = ++journalRow;
        den.New().Number("DEN_RAD", rad).Date("DEN_DAT", when).Text("DEN_KDY", receipt ? "08:15" : "15:40")
            .Text("DEN_DOK", (receipt ? "PR" : "VY") + Pad(rad, 8)).Text("DEN_KAV", c.kav)
            .Text("DEN_IND", Pad(v, 3)).Text("DEN_OPE", receipt ? "001" : "002").Number("DEN_KUS", kus)
            .Number("DEN_HPC", kus * c.prices[0]).Number("DEN_HNC", kus * c.purchase).Number("DEN_DAN", c.vat)
            .Number("DEN_ZAS", stock).Text("DEN_REF", "AD").Add();
      }
      // One variant in 25 has a stock that its journal does not explain.
      int held = rng() % 25 == 0 ? stock + 2 : stock;
      cardStock += held;
      skl.New().Text("SKL_KAV", c.kav).Text("SKL_IND", Pad(v, 3)).Number("SKL_SNC", c.purchase)
          .Number("SKL_POC", opening).Number("SKL_STA", held).Text("SKL_MEN", "CZK").Number("SKL_KUR", 1).Add();
    }
    sor.New().Text("SOR_KAV", c.kav).Text("SOR_NAC", c.name).Number("SOR_STA", cardStock).Number("SOR_DAN", c.vat)
        .Logical("SOR_SKL", true).Logical("SOR_OLD", false).Text("SOR_SKU", c.group).Text("SOR_VYR", c.maker)
        .Text("SOR_MJE", c.unit).Number("SOR_BAL", c.package).Text("SOR_EAN", c.ean).Text("SOR_KDO", c.supplierCode)
        .Text("SOR_KVY", c.makerCode).Number("SOR_MIN", c.minimum).Number("SOR_SLE", c.discount);
    for (int k = 0; k < 5; ++k) sor.Number(("SOR_PC" + std::to_string(k + 1)).c_str(), prices[k]);
    sor.Add();
  }
  cis.New().Number("CIS_DEN", journalRow).Text("CIS_PRC", Pad(0, 10)).Add();
  for (DemoTable* t : {&sor, &skl, &den, &headers, &items}) t->WriteIndex(dir, code);
}

// A store of the list whose card table is missing (its directory holds only
// an empty variant table): the transfer reports it and goes on.
void WriteStoreWithoutCards(const fs::path& dir, const std::string& code) {
  fs::create_directories(dir);
  DemoTable skl(dir / TableLayoutOf("Sklad").FileFor(code), TableLayoutOf("Sklad"));
  skl.WriteIndex(dir, code);
}

void WriteImportSet(const fs::path& dir, const std::vector<Card>& cards, std::mt19937& rng) {
  fs::create_directories(dir);
  DemoTable sor(dir / TableLayoutOf("Sortiment").FileFor("0001"), TableLayoutOf("Sortiment"));
  DemoTable skl(dir / TableLayoutOf("Sklad").FileFor("0001"), TableLayoutOf("Sklad"));
  for (size_t i = 0; i < cards.size(); i += 97) {
    const Card& c = cards[i];
    sor.New().Text("SOR_KAV", c.kav).Text("SOR_NAC", c.name).Number("SOR_DAN", c.vat).Text("SOR_MJE", c.unit);
    for (int k = 0; k < 5; ++k) sor.Number(("SOR_PC" + std::to_string(k + 1)).c_str(), c.prices[k] * 1.05);
    sor.Add();
    skl.New().Text("SKL_KAV", c.kav).Text("SKL_IND", Pad(c.variants, 3)).Number("SKL_SNC", c.purchase * 1.05)
        .Number("SKL_POC", static_cast<int>(rng() % 10)).Text("SKL_MEN", "CZK").Number("SKL_KUR", 1)
        .Text("SKL_POZ", "Nová dodávka").Add();
  }
  // The import reads its variants in file order: only the cards have an index.
  sor.WriteIndex(dir, "0001");
}

}  // namespace

void CreateLayoutTable(const std::string& path, const TableLayout& layout) {
  std::vector<FieldSpec> specs;
  for (const FieldDecl& f : layout.fields)
    if (f.Stored()) specs.push_back({f.name, f.TypeLetter(), f.width, f.decimals});
  CreateTable(path, specs);
}

std::string DemoLoginName() {
  std::string name;
  if (passwd* pw = ::getpwuid(::geteuid())) name = pw->pw_name;
  if (name.empty())
    if (const char* user = std::getenv("USER")) name = user;
  name = name.substr(0, 10);
  const Codepage& cp = Codepage::Instance();
  return cp.AnsiToUtf8(Codepage::AnsiUpper(cp.Utf8ToAnsi(name)));
}

void WriteDemoData(const std::string& dirText, const DemoSize& size) {
  fs::path dir = fs::absolute(dirText);
  fs::path data = dir / "data";
  fs::path stores = dir / "stores";
  fs::path import = dir / "import";
  fs::create_directories(data);
  fs::create_directories(dir / "private");
  std::mt19937 rng(20261210);
  std::vector<Card> cards = MakeCards(size.cards, size.multiVariantOneIn, rng);
  WriteMaster(data, cards, size.stores, rng);
  WriteCodeLists(data);
  WriteUsers(data);

  DemoTable list(data / "CES0000.DBF", TableLayoutOf("Ces0000"));
  const char* const names[] = {"Prodejna Brno", "Prodejna Olomouc", "Prodejna Zlín", "Prodejna Jihlava"};
  for (int s = 1; s <= size.stores; ++s) {
    std::string code = Pad(s, 4);
    fs::path storeDir = stores / ("PROD" + std::to_string(s));
    WriteStore(storeDir, code, cards, size.journalMovesUpTo, rng);
    list.New().Text("SOR_NAC", names[(s - 1) % std::size(names)]).Text("SOR_CES", storeDir.string() + "/")
        .Text("SOR_TYP", "P").Text("SOR_JED", code).Text("SOR_SOR", "SOR_S" + Pad(s, 2))
        .Text("SOR_SKL", "SKL_S" + Pad(s, 2)).Add();
  }
  if (size.storeWithoutCards && size.stores < 15) {
    int s = size.stores + 1;
    std::string code = Pad(s, 4);
    fs::path storeDir = stores / ("PROD" + std::to_string(s));
    WriteStoreWithoutCards(storeDir, code);
    list.New().Text("SOR_NAC", "Prodejna Třebíč").Text("SOR_CES", storeDir.string() + "/").Text("SOR_TYP", "P")
        .Text("SOR_JED", code).Text("SOR_SOR", "SOR_S" + Pad(s, 2)).Text("SOR_SKL", "SKL_S" + Pad(s, 2)).Add();
  }
  WriteImportSet(import, cards, rng);

  std::ofstream ini(dir / "DataSor.ini", std::ios::trunc);
  ini << "[DataSor]\r\n"
      << "Sklad=0000\r\n"
      << "CestaData=" << data.string() << "\r\n"
      << "CestaPrivate=" << (dir / "private").string() << "\r\n"
      << "CestaImport=" << import.string() << "/\r\n"
      << "LoginForm=0\r\n";
  if (!ini) throw std::runtime_error("Could not create file " + (dir / "DataSor.ini").string());
}
