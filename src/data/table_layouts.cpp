#include "data/table_layouts.h"

#include <stdexcept>

namespace {

// One declared field; the helpers below name the usual kinds and sizes.
FieldDecl Field(const std::string& name, FieldKind kind, int width, int decimals, const std::string& label,
                const std::string& display) {
  FieldDecl f;
  f.name = name;
  f.kind = kind;
  f.width = width;
  f.decimals = decimals;
  f.label = label;
  f.displayFormat = display;
  return f;
}

FieldDecl Str(const std::string& name, int width, const std::string& label = {}) {
  return Field(name, FieldKind::String, width, 0, label, {});
}
FieldDecl Num(const std::string& name, FieldKind kind, int width, int decimals, const std::string& label = {},
              const std::string& display = {}) {
  return Field(name, kind, width, decimals, label, display);
}
// Prices and values: N 12.2.
FieldDecl Price(const std::string& name, const std::string& label = {}, const std::string& display = {}) {
  return Num(name, FieldKind::Float, 12, 2, label, display);
}
FieldDecl Int(const std::string& name, const std::string& label = {}) {
  return Num(name, FieldKind::Integer, 8, 0, label);
}
FieldDecl Small(const std::string& name, const std::string& label = {}) {
  return Num(name, FieldKind::Smallint, 4, 0, label);
}
FieldDecl Bool(const std::string& name, const std::string& label = {}, const std::string& display = {}) {
  return Field(name, FieldKind::Boolean, 1, 0, label, display);
}
FieldDecl DateField(const std::string& name, const std::string& label = {}, const std::string& display = {}) {
  return Field(name, FieldKind::Date, 8, 0, label, display);
}
FieldDecl Calculated(const std::string& name, const std::string& label) {
  FieldDecl f = Num(name, FieldKind::Float, 0, 0, label);
  f.calculated = true;
  return f;
}

const char* const kAnoNe = "Ano; Ne";
const char* const kMoney = "#,##0.00";

std::vector<FieldDecl> StockColumns(const std::string& prefix, int from, int to, const std::vector<std::string>& labels) {
  std::vector<FieldDecl> out;
  for (int i = from; i <= to; ++i) {
    std::string n = std::to_string(i);
    out.push_back(Int(prefix + (i < 10 ? "0" : "") + n, labels[i - from]));
  }
  return out;
}

void Append(std::vector<FieldDecl>& to, const std::vector<FieldDecl>& more) { to.insert(to.end(), more.begin(), more.end()); }

TableLayout MasterCards() {
  TableLayout t{"Sor0000", "SOR0000.DBF", TableDir::Data, "Sor0000.cdx",
                {{"KAV", "SOR_KAV", true, "Tabulka položek sortimentu - dle karty"},
                 {"NAC", "UPPER(SOR_NAC)", false, "Tabulka položek sortimentu - dle názvu"},
                 {"KDO", "UPPER(SOR_KDO)", false, "Tabulka položek sortimentu - dle kódu dodavatele"},
                 {"KVY", "UPPER(SOR_KVY)", false, "Tabulka položek sortimentu - dle kódu vyrobce"},
                 {"PC1", "SOR_PC1", false, "Tabulka položek sortimentu - dle ceny"}},
                "KAV",
                {}};
  FieldDecl pc1 = Price("SOR_PC1", "PC Ceník A", kMoney);
  pc1.editFormat = "###0.00";
  t.fields = {Str("SOR_KAV", 6, "Karta"),
              Str("SOR_NAC", 30, "Název"),
              pc1,
              Price("SOR_PC2", "PC Ceník B"),
              Price("SOR_PC3", "PC Ceník  C"),
              Price("SOR_PC4", "PC Ceník D"),
              Price("SOR_PC5", "PC Ceník D"),
              Num("SOR_DAN", FieldKind::Float, 5, 1, "DPH %"),
              Bool("SOR_SKL", "Skl.pol.", kAnoNe),
              Bool("SOR_OLD", "Vyřazeno", kAnoNe),
              Str("SOR_SKU", 3, "Skup."),
              Str("SOR_VYR", 3, "Výrobce"),
              Str("SOR_MJE", 2, "MJ"),
              Num("SOR_HMO", FieldKind::Float, 10, 3, "Hmot."),
              Num("SOR_OBJ", FieldKind::Float, 10, 3, "Objem"),
              Small("SOR_BAL", "Balení"),
              Str("SOR_DRU", 3, "Druh"),
              Str("SOR_PSK", 3, "Podskupina"),
              Str("SOR_EAN", 13, "EAN"),
              Str("SOR_POZ", 30, "Poz."),
              Int("SOR_MIN", "Min.zas."),
              Num("SOR_SLE", FieldKind::Float, 6, 2, "Max.sleva."),
              Str("SOR_KDO", 10, "Kod.dodav."),
              Str("SOR_KVY", 10, "Kód výr."),
              Int("SOR_BLO", "Na profor."),
              Int("SOR_REQ", "Objedn."),
              Bool("SOR_KOM", "", kAnoNe)};
  Append(t.fields, StockColumns("SOR_S", 1, 10,
                                {"Zás.S1", "Zás.S2", "Zás.S3", "Zás. S4", "Zás.S5", "Zás. S6", "Zás. S7", "Zás.S8",
                                 "Zás. S9", "Zás.S10"}));
  t.fields.push_back(Calculated("SOR_STA", "Zas.cel."));
  t.fields.push_back(Num("SOR_OTV", FieldKind::Float, 10, 3, "Dod to obch  bal."));
  Append(t.fields, StockColumns("SOR_S", 11, 15, {"Zás S11", "Zás. S12", "Zás. S13", "Zás S14", "Zás S15"}));
  return t;
}

TableLayout MasterVariants() {
  TableLayout t{"Skl0000", "SKL0000.DBF", TableDir::Data, "Skl0000.cdx", {{"KAV", "SKL_KAV + SKL_IND", true, "Tabulka stavů skladu"}}, "KAV", {}};
  t.fields = {Str("SKL_KAV", 6, "Karta"),
              Str("SKL_IND", 3, "Var."),
              Price("SKL_SNC", "Nák.cena", kMoney),
              Int("SKL_POC", "Poč.roku"),
              Str("SKL_MEN", 3, "Měna"),
              Num("SKL_KUR", FieldKind::Float, 8, 3, "Kurz"),
              Str("SKL_POZ", 30, "Poznámka"),
              Int("SKL_POP", "Poč. roku"),
              Int("SKL_STP", "Účetní stav")};
  Append(t.fields, StockColumns("SKL_S", 1, 10,
                                {"Zas. S1", "Zas.S2", "Zas. S3", "Zas. S4", "Zas. S5", "Zas. S6", "Zas. S7", "Zas.S8",
                                 "Zas. S9", "Zas. S10"}));
  t.fields.push_back(Calculated("SKL_STA", "Stav.cel."));
  Append(t.fields, StockColumns("SKL_S", 11, 15, {"Zas. S11", "Zas. S12", "Zas. S13", "Zas. S14", "Zas. S15"}));
  return t;
}

TableLayout StoreList() {
  TableLayout t{"Ces0000", "CES0000.DBF", TableDir::Data, "", {}, "", {}};
  t.fields = {Str("SOR_NAC", 20), Str("SOR_CES", 40), Str("SOR_TYP", 1),
              Str("SOR_JED", 4),  Str("SOR_SOR", 7),  Str("SOR_SKL", 7)};
  return t;
}

TableLayout GroupPrices() {
  TableLayout t{"Cep0000", "CEP0000.DBF", TableDir::Data, "Cep0000.cdx",
                {{"SKU", "CEP_SKU+CEP_KAV", false, "Tabulka cen skupiny - dle skupiny"},
                 {"KAV", "CEP_KAV+CEP_SKU", false, "Tabulka cen skupiny - dle karty"}},
                "",
                {}};
  t.fields = {Str("CEP_SKU", 3, "Skup."), Str("CEP_KAV", 6, "Karta"), Str("CEP_NAC", 30, "Název"),
              Price("CEP_PC1", "Cena", kMoney)};
  return t;
}

TableLayout CodeList(const std::string& object, const std::string& file, std::vector<FieldDecl> fields) {
  TableLayout t{object, file, TableDir::Data, "", {}, "", std::move(fields)};
  return t;
}

TableLayout Users() {
  FieldDecl kod = Str("USR_KOD", 3, "Kód");
  kod.displayWidth = 3;
  TableLayout t{"Uzivatele", "USR0000.DBF", TableDir::Data, "", {}, "", {}};
  t.fields = {kod,
              Str("USR_LNA", 10, "Přihl.jméno"),
              Str("USR_PSW", 10, "Heslo"),
              Str("USR_INI", 2, "Inic."),
              Str("USR_GRP", 3, "Skup."),
              Str("USR_NAC", 20, "Příjmení, jméno,tit.")};
  return t;
}

TableLayout AccessRules() {
  TableLayout t{"UziPrava", "URS0000.DBF", TableDir::Data, "Urs0000.cdx", {{"URT", "URS_URT+URS_KOD", false, "Pravidla přístupu - dle úlohy "}}, "URT", {}};
  t.fields = {Str("URS_KOD", 3, "Uživatel"), Str("URS_URT", 3, "Úloha"), Small("URS_URS", "Stat.")};
  return t;
}

TableLayout StoreCards() {
  TableLayout t{"Sortiment", "Sor", TableDir::Store, "Sor", {{"KAV", "SOR_KAV", false, ""}}, "KAV", {}};
  t.fields = {Str("SOR_KAV", 6),  Str("SOR_NAC", 30), Price("SOR_PC1"), Price("SOR_PC2"),
              Price("SOR_PC3"),   Price("SOR_PC4"),   Price("SOR_PC5"), Int("SOR_STA"),
              Num("SOR_DAN", FieldKind::Float, 5, 1), Bool("SOR_SKL"), Bool("SOR_OLD"), Str("SOR_SKU", 3),
              Int("SOR_BLO"),     Int("SOR_REQ"),     Str("SOR_VYR", 3), Str("SOR_MJE", 2),
              Num("SOR_HMO", FieldKind::Float, 10, 3), Num("SOR_OBJ", FieldKind::Float, 10, 3),
              Small("SOR_BAL"),   Str("SOR_DRU", 3),  Str("SOR_PSK", 3), Str("SOR_EAN", 13),
              Str("SOR_POZ", 30), Int("SOR_MAJ"),     Int("SOR_PUJ"),    Bool("SOR_KOM"),
              Price("SOR_PLO"),   DateField("SOR_PPO"), Int("SOR_MIN"),  Num("SOR_SLE", FieldKind::Float, 6, 2),
              Str("SOR_KDO", 10), Str("SOR_KVY", 10), Num("SOR_OTV", FieldKind::Float, 10, 3)};
  return t;
}

TableLayout StoreVariants() {
  TableLayout t{"Sklad", "Skl", TableDir::Store, "Skl", {{"KAV", "SKL_KAV+SKL_IND", false, ""}}, "KAV", {}};
  t.fields = {Str("SKL_KAV", 6), Str("SKL_IND", 3), Price("SKL_SNC"), Int("SKL_POC"), Int("SKL_STA"),
              Str("SKL_MEN", 3), Num("SKL_KUR", FieldKind::Float, 8, 3), Str("SKL_POZ", 30), Int("SKL_POP"),
              Int("SKL_STP")};
  return t;
}

TableLayout RepricingHeaders() {
  TableLayout t{"PrecHlav", "PRH", TableDir::Store, "PRH", {{"DO1", "PRH_DO1", false, ""}}, "", {}};
  t.fields = {DateField("PRH_DAT", "Datum", "dd.mm.yyyy"),
              Str("PRH_KDY", 5, "Čas"),
              Str("PRH_DO1", 10, "Doklad"),
              Str("PRH_DO2", 10, "Cislo zdroje"),
              Str("PRH_POB", 4, "Zdroj"),
              Str("PRH_POP", 40, "Popis"),
              Price("PRH_ZNC", "Změna NC", kMoney),
              Price("PRH_ZPC", "Změna PC", kMoney),
              Str("PRH_EDT", 1, "Edit"),
              Str("PRH_PRN", 1, "Přen."),
              Str("PRH_REF", 2, "Ref.")};
  return t;
}

TableLayout RepricingItems() {
  TableLayout t{"PrecPol", "PRP", TableDir::Store, "PRP", {{"DO1", "PRP_DO1", false, ""}}, "DO1", {}};
  t.fields = {Str("PRP_DO1", 10, "Doklad"),
              Str("PRP_KAV", 6, "Karta"),
              Str("PRP_IND", 3, "Var."),
              Str("PRP_OPE", 3, "Ope"),
              Int("PRP_RAD", "Řad.den."),
              Num("PRP_KUS", FieldKind::Float, 10, 3, "Zasoba"),
              Price("PRP_ZNC", "Změna NC"),
              Price("PRP_ZPC", "Změna PC"),
              Num("PRP_DPH", FieldKind::Float, 5, 1, "DPH %")};
  for (int i = 1; i <= 5; ++i)
    t.fields.push_back(Price("PRP_PS" + std::to_string(i), "Stará PC" + std::to_string(i), kMoney));
  for (int i = 1; i <= 5; ++i)
    t.fields.push_back(Price("PRP_PC" + std::to_string(i), "Nová PC" + std::to_string(i), kMoney));
  Append(t.fields, {Str("PRP_REF", 2, "Ref."), DateField("PRP_DAT", "Datum"), Str("PRP_KDY", 5, "Čas"),
                    Str("PRP_PRN", 1, "Přenos"), Str("PRN_EDT", 1, "Editace")});
  FieldDecl name = Str("PRP_NAC", 40, "Název položky");
  name.lookupTable = "Sortiment";
  name.lookupKey = "SOR_KAV";
  name.lookupResult = "SOR_NAC";
  name.lookupSource = "PRP_KAV";
  t.fields.push_back(name);
  return t;
}

TableLayout Journal() {
  TableLayout t{"Denik", "Den", TableDir::Store, "DEN", {{"KAV", "DEN_KAV+DEN_IND", false, ""}}, "KAV", {}};
  t.fields = {Int("DEN_RAD", "ID Kod"),
              DateField("DEN_DAT", "Datum", "dd.mm.yyyy"),
              Str("DEN_KDY", 5, "Čas"),
              Str("DEN_DOK", 10, "Doklad"),
              Str("DEN_KAV", 6, "Karta"),
              Str("DEN_IND", 3, "Var."),
              Str("DEN_OPE", 3, "Ope."),
              Int("DEN_KUS", "Kusy"),
              Price("DEN_HPC", "Hod. PC", kMoney),
              Price("DEN_HNC", "Hod. NC", kMoney),
              Num("DEN_DAN", FieldKind::Float, 5, 1, "DPH"),
              Num("DEN_ZAS", FieldKind::Float, 10, 3, "Zásoba"),
              Str("DEN_REF", 2, "Ref."),
              Num("DEN_POZ", FieldKind::Float, 10, 2, "Pozn."),
              Str("DEN_PRN", 1, "Přen.")};
  return t;
}

TableLayout Counters() {
  TableLayout t{"Ciselnik", "Cis", TableDir::Store, "", {}, "", {}};
  struct C { const char* name; bool integer; const char* label; };
  const C fields[] = {
      {"CIS_ODB", true, "Odběratelé"}, {"CIS_DEN", true, "Deník"},     {"CIS_PRD", false, "Dodávky"},
      {"CIS_VYD", false, "Výdejky"},   {"CIS_PRI", false, "Příjemky"}, {"CIS_FAK", false, "Faktury"},
      {"CIS_SML", false, ""},          {"CIS_FIN", false, ""},         {"CIS_UCE", false, "Učtenky"},
      {"CIS_VCT", false, "Výčetky"},   {"CIS_PRF", false, ""},         {"CIS_DOB", false, ""},
      {"CIS_VRD", false, "Vratky"},    {"CIS_PRC", false, "Přecenění"}, {"CIS_INV", false, "Inventury"},
      {"CIS_OBJ", false, "Objednávky"}, {"CIS_DEP", true, ""},         {"CIS_PPD", false, ""},
      {"CIS_VPU", false, ""},          {"CIS_PPU", false, ""},         {"CIS_VRP", false, ""},
      {"CIS_ZPD", true, ""},           {"CIS_PUJ", false, ""},         {"CIS_VRA", false, ""},
      {"CIS_FAO", false, "Odprodej"},  {"CIS_FAN", false, "Nájem"},    {"CIS_POD", false, "Podklady"},
      {"CIS_FAI", false, "Fakt inter."}, {"CIS_ZVY", false, "Zakázky  výdejky"},
      {"CIS_ZFA", false, "Zakázky faktury"}, {"CIS_ZFI", false, "Zakázky fak. int."},
      {"CIS_PIN", false, "Půjčovna inv."}, {"CIS_PPR", false, "Půjčovna přec."},
      {"CIS_FAL", false, "Faktury volné"}, {"CIS_NAB", false, "Nabídky"}, {"CIS_OBD", false, "Obj.dodav."},
  };
  for (const C& c : fields) t.fields.push_back(c.integer ? Int(c.name, c.label) : Str(c.name, 10, c.label));
  return t;
}

std::vector<TableLayout> Build() {
  std::vector<TableLayout> all = {MasterCards(), MasterVariants(), StoreList(), GroupPrices()};
  all.push_back(CodeList("SortiSkup", "SSK0000.DBF",
                         {Str("SSK_SKU", 3, "Skup."), Str("SSK_NAC", 30, "Název skupiny"), Small("SSK_POR"),
                          Num("SSK_PRO", FieldKind::Float, 6, 2, "Provize  %", kMoney)}));
  all.push_back(CodeList("SortiDruh", "SDR0000.DBF",
                         {Str("SDR_SKU", 3, "Druh"), Str("SDR_NAC", 30, "Název druhu"), Small("SDR_POR", "Řaz.")}));
  all.push_back(CodeList("SortiPodSkp", "SPK0000.DBF",
                         {Str("SPK_SKU", 3, "Pod.Skp."), Str("SPK_NAC", 30, "Název  podskupiny"), Small("SPK_POR")}));
  all.push_back(CodeList("SortiVyrobce", "SVR0000.DBF",
                         {Str("SVR_CIS", 3, "Kód"), Str("SVR_NAC", 30, "Název výrobce"), Small("SVR_POR", "Poř.")}));
  all.push_back(CodeList("MjeJed", "MJE0000.DBF", {Str("MJE_TYP", 2, "Zrk."), Str("MJE_NAC", 25, "Název měrné jednotky")}));
  all.push_back(Users());
  all.push_back(AccessRules());
  all.push_back(StoreCards());
  all.push_back(StoreVariants());
  all.push_back(RepricingHeaders());
  all.push_back(RepricingItems());
  all.push_back(Journal());
  all.push_back(Counters());
  return all;
}

}  // namespace

char FieldDecl::TypeLetter() const {
  switch (kind) {
    case FieldKind::String: return 'C';
    case FieldKind::Boolean: return 'L';
    case FieldKind::Date: return 'D';
    default: return 'N';
  }
}

std::string TableLayout::FileFor(const std::string& storeCode) const {
  return dir == TableDir::Data ? file : file + storeCode + ".dbf";
}

std::string TableLayout::IndexFileFor(const std::string& storeCode) const {
  if (indexFile.empty() || dir == TableDir::Data) return indexFile;
  return indexFile + storeCode + ".cdx";
}

const FieldDecl* TableLayout::Find(const std::string& fieldName) const {
  for (const FieldDecl& f : fields)
    if (f.name == fieldName) return &f;
  return nullptr;
}

const std::vector<TableLayout>& AllTableLayouts() {
  static const std::vector<TableLayout> all = Build();
  return all;
}

const TableLayout& TableLayoutOf(const std::string& object) {
  for (const TableLayout& t : AllTableLayouts())
    if (t.object == object) return t;
  throw std::out_of_range("no table object " + object);
}
