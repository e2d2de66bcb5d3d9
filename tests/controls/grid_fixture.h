#pragma once
// A small goods table for the data-aware widgets: declared fields with
// labels and display formats, three visible records and one deleted one,
// shown through a table object and its data source.

#include <gtest/gtest.h>

#include "controls/data_source.h"
#include "dbf_writer.h"
#include "support/temp_dir.h"
#include "xbase/table/dbf_table.h"

class GridFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(dir_.File("ZBO.DBF"), {{"KOD", 'C', 6},
                                        {"NAZ", 'C', 20},
                                        {"CEN", 'N', 12, 2},
                                        {"POC", 'N', 8, 0},
                                        {"ANO", 'L', 1},
                                        {"DAT", 'D', 8},
                                        {"VAH", 'N', 10, 3}});
    TDbfTable writer;
    Bind(writer, false);
    writer.Open();
    struct Row { const char* kod; const char* naz; double cen; int poc; bool ano; std::optional<XbDate> dat; double vah; };
    const Row rows[] = {{"000001", "Šroubovák", 1234.5, 42, true, XbDate{2004, 5, 7}, 12.5},
                        {"000002", "Kladivo", 0.5, -3, false, std::nullopt, 0},
                        {"000003", "Smazaný", 1, 1, true, std::nullopt, 1},
                        {"000004", "Pilka", 1234567.891, 7, true, XbDate{2026, 1, 31}, 1.25}};
    for (const Row& r : rows) {
      writer.Append();
      writer.FieldByName("KOD").SetAsString(r.kod);
      writer.FieldByName("NAZ").SetAsString(r.naz);
      writer.FieldByName("CEN").SetAsFloat(r.cen);
      writer.FieldByName("POC").SetAsInteger(r.poc);
      writer.FieldByName("ANO").SetAsBoolean(r.ano);
      writer.FieldByName("DAT").SetAsDate(r.dat);
      writer.FieldByName("VAH").SetAsFloat(r.vah);
      writer.Post();
    }
    writer.SetRecNo(3);
    writer.Delete();
    writer.Close();
    Bind(table_, true);
    table_.Open();
  }

  // Binds a table object to the goods table; `declare`: with the fields,
  // labels and formats the widgets show.
  void Bind(TDbfTable& t, bool declare) {
    t.SetDatabaseName(dir_.Path());
    t.SetTableName("ZBO");
    if (!declare) return;
    t.AddField("KOD", TFieldType::String, 6).displayLabel = "Karta";
    t.AddField("NAZ", TFieldType::String, 20).displayLabel = "Název";
    TField& cen = t.AddField("CEN", TFieldType::Float);
    cen.displayLabel = "Cena";
    cen.displayFormat = "#,##0.00";
    t.AddField("POC", TFieldType::Integer);
    TField& ano = t.AddField("ANO", TFieldType::Boolean);
    ano.displayLabel = "Skl.pol.";
    ano.displayFormat = "Ano; Ne";
    TField& dat = t.AddField("DAT", TFieldType::Date);
    dat.displayLabel = "Datum";
    dat.displayFormat = "dd.mm.yyyy";
    t.AddField("VAH", TFieldType::Float).displayLabel = "Hmot.";
  }

  static std::vector<std::string> Columns() { return {"KOD", "NAZ", "CEN", "POC", "ANO", "DAT", "VAH", "XXX"}; }

  TempDir dir_;
  TDbfTable table_;
  TDataSource source_{&table_};
};
