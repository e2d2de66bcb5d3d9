#include "reports/stock_report.h"

#include <cstdio>

#include "data/data_module.h"
#include "data/table_layouts.h"
#include "reports/report_composer.h"
#include "xbase/date.h"

namespace {

void SumStoreColumns(TDbfTable& table, const char* prefix, const char* total) {
  int64_t sum = 0;
  for (int i = 1; i <= 15; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%s%02d", prefix, i);
    if (TField* f = table.FindField(name)) sum += f->AsInteger();
  }
  table.FieldByName(total).SetAsFloat(static_cast<double>(sum));
}

std::string Today() {
  XbDate d = XbDate::Today();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buf;
}

// The six tab stops of the report body, from the left edge: card number, name,
// stock, value and two without a column.
void SetBodyTabs(TReport& r) {
  r.SetTab(1.0, TTabAlign::Left, 2.0);
  r.SetTab(-1, TTabAlign::Left, 6.0);
  r.SetTab(-1, TTabAlign::Right, 2.0);
  r.SetTab(-1, TTabAlign::Right, 2.0);
  r.SetTab(-1, TTabAlign::Right, 2.0);
  r.SetTab(-1, TTabAlign::Right, 2.0);
}

const char kColumnHeader[] = "\tKarta\tNázev skladové položky\tZásoba\tZatížení NC";

}  // namespace

TDataSestavy::TDataSestavy() {
  DeclareTableObject(Sor0000, "Sor0000");
  DeclareTableObject(Skl0000, "Skl0000");
  Sor0000.OnCalcFields = [this](TDbfTable& t) { Sor0000CalcFields(t); };
  Skl0000.OnCalcFields = [this](TDbfTable& t) { Skl0000CalcFields(t); };
  Sestavy.SetupTitle = "Nastavení tisku sestavy";
  Sestavy.StatusTitle = "Stav přípravy tisku";
  Sestavy.PreviewTitle = "Náhled před tiskem";
  Sestavy.StatusPrinting = "Tisknu stranu %p";
  Sestavy.StatusFile = "Generuji stranu %p";
  Sestavy.DefaultFileName = "Sestava";
  Sestavy.JobTitle = "Dodavky od dodavatele";
  Sestavy.OnPrint = [this](TReport& r) { SestavyPrint(r); };
}

void TDataSestavy::Sor0000CalcFields(TDbfTable& table) { SumStoreColumns(table, "SOR_S", "SOR_STA"); }
void TDataSestavy::Skl0000CalcFields(TDbfTable& table) { SumStoreColumns(table, "SKL_S", "SKL_STA"); }

std::string TDataSestavy::Number(const char* format, double value) const {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, value);
  std::string text = buf;
  // printf writes the C locale's point; the report shows the system's separator.
  for (char& c : text)
    if (c == '.') c = DecimalSeparator;
  return text;
}

void TDataSestavy::SestavyPrint(TReport& r) {
  r.SetFont("Ariel CE", 13);
  r.SetFontCharset(238);
  r.ClearTabs();
  r.Home();
  r.NewLine();
  r.NewLine();
  r.SetBold(true);
  r.PrintLeft("Celková skladová zásoba k datu : " + Today(), 1.0);
  r.NewLine();
  r.SetBold(false);

  r.SetFont("Ariel CE", 10);
  r.NewLine();
  r.NewLine();
  r.SetFont("ArialCE", 9);
  r.SetFontCharset(238);
  SetBodyTabs(r);

  Sor0000.First();
  r.Println(kColumnHeader);
  double total = 0;
  for (; !Sor0000.Eof(); Sor0000.Next()) {
    if (Sor0000.FieldByName("SOR_STA").AsFloat() <= 0) continue;
    const std::string kav = Sor0000.FieldByName("SOR_KAV").AsString();
    if (!Skl0000.SeekKeyValues({TValue(kav)})) continue;
    double stock = 0, value = 0;
    while (!Skl0000.Eof() && Skl0000.FieldByName("SKL_KAV").AsString() == kav) {
      double variantStock = Skl0000.FieldByName("SKL_STA").AsFloat();
      stock += variantStock;
      value += Skl0000.FieldByName("SKL_SNC").AsFloat() * variantStock;
      Skl0000.Next();
    }
    total += value;
    r.Println("\t" + kav + "\t" + Sor0000.FieldByName("SOR_NAC").AsString() + "\t" + Number("%8.2f", stock) + "\t" +
              Number("%12.2f", value));
    if (r.LinesLeft() < 6) {
      r.NewLine();
      r.Println("\tStrana " + std::to_string(r.CurrentPage()) + ", pokračování na další staně\t\t");
      r.NewPage();
      r.Home();
      r.NewLine();
      r.NewLine();
      r.NewLine();
      r.Println(kColumnHeader);
    }
  }
  r.NewLine();
  r.Println("\tCelkem za sestavu\t\t\t" + Number("%14.2f", total));
}
