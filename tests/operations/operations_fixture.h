#pragma once
// Master and import-set tables of the program's layouts in a fresh
// directory, with their index files built over what was written, and the
// data module bound to them as start-up leaves it (Sor0000 open in tag KAV).

#include <filesystem>
#include <functional>
#include <string>

#include "data/data_module.h"
#include "demo_data.h"
#include "support/master_cards.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"


struct CardRow {
  std::string kav;
  double price;            // all five prices: price, price + 1, ... price + 4
  int stock[2] = {0, 0};   // SOR_S01, SOR_S02
  std::string name = {};
};
struct VariantRow {
  std::string kav, ind;
  double purchase = 0;
  int stock[2] = {0, 0};   // SKL_S01, SKL_S02
  std::string note = {};
};

class OperationsFixture {
 public:
  OperationsFixture() {
    std::filesystem::create_directories(dir_.File("data"));
    std::filesystem::create_directories(dir_.File("import"));
    data_.DataPath = dir_.File("data");
    data_.ImportPath = dir_.File("import") + "/";
    data_.StoreCode = "0000";
    data_.lockRetryPauseMs = 0;
  }

  std::string DataFile(const std::string& name) const { return dir_.File("data/" + name); }
  std::string ImportFile(const std::string& name) const { return dir_.File("import/" + name); }

  static void PutCard(XbDbfFile& f, const CardRow& c) {
    f.PutText(f.FieldByName("SOR_KAV"), c.kav);
    f.PutText(f.FieldByName("SOR_NAC"), OemText(c.name.empty() ? "Karta " + c.kav : c.name));
    for (int k = 0; k < 5; ++k) f.PutNumber(f.FieldByName("SOR_PC" + std::to_string(k + 1)), c.price + k);
    if (const XbField* s1 = f.FindField("SOR_S01")) {
      f.PutNumber(*s1, c.stock[0]);
      f.PutNumber(f.FieldByName("SOR_S02"), c.stock[1]);
    }
  }
  static void PutVariant(XbDbfFile& f, const VariantRow& v) {
    f.PutText(f.FieldByName("SKL_KAV"), v.kav);
    f.PutText(f.FieldByName("SKL_IND"), v.ind);
    f.PutNumber(f.FieldByName("SKL_SNC"), v.purchase);
    f.PutText(f.FieldByName("SKL_MEN"), "CZK");
    f.PutNumber(f.FieldByName("SKL_KUR"), 1);
    f.PutText(f.FieldByName("SKL_POZ"), OemText(v.note));
    if (const XbField* s1 = f.FindField("SKL_S01")) {
      f.PutNumber(*s1, v.stock[0]);
      f.PutNumber(f.FieldByName("SKL_S02"), v.stock[1]);
    }
  }

  void WriteMaster(const std::vector<CardRow>& cards, const std::vector<VariantRow>& variants) {
    WriteLayoutFile("Sor0000", DataFile("SOR0000.DBF"), static_cast<long>(cards.size()),
                    [&](XbDbfFile& f, long n) { PutCard(f, cards[n - 1]); }, DataFile("Sor0000.cdx"));
    WriteLayoutFile("Skl0000", DataFile("SKL0000.DBF"), static_cast<long>(variants.size()),
                    [&](XbDbfFile& f, long n) { PutVariant(f, variants[n - 1]); }, DataFile("Skl0000.cdx"));
  }
  void WriteImport(const std::vector<CardRow>& cards, const std::vector<VariantRow>& variants) {
    WriteLayoutFile("Sortiment", ImportFile("Sor0001.dbf"), static_cast<long>(cards.size()),
                    [&](XbDbfFile& f, long n) { PutCard(f, cards[n - 1]); }, ImportFile("Sor0001.cdx"));
    WriteLayoutFile("Sklad", ImportFile("Skl0001.dbf"), static_cast<long>(variants.size()),
                    [&](XbDbfFile& f, long n) { PutVariant(f, variants[n - 1]); });
  }

  // Sor0000 and Skl0000 bound as start-up binds them; Sor0000 open in tag KAV.
  void StartUp() {
    data_.Sor0000.SetDatabaseName(data_.DataPath);
    data_.Sor0000.SetTableName("Sor0000");
    data_.Sor0000.Open();
    data_.Sor0000.OpenIndexFile(data_.DataFile("Sor0000.cdx"));
    data_.Sor0000.SelectTag("KAV");
    data_.Sor0000.First();
    data_.Skl0000.SetDatabaseName(data_.DataPath);
    data_.Skl0000.SetTableName("SKL0000");
  }

 protected:
  TempDir dir_;
  RecordingUi ui_;
  TData data_{ui_, dir_.Path() + "/"};
};
