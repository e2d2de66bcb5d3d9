#include "operations/stock_report_command.h"

#include <exception>

#include "data/data_module.h"
#include "data/text_functions.h"

namespace {
void CloseQuietly(TDbfTable& table) {
  try {
    table.Close();
  } catch (const std::exception&) {
  }
}
}  // namespace

void OpenReportTables(TData& data, TDbfTable& cards, TDbfTable& variants) {
  cards.Close();
  variants.Close();
  cards.SetDatabaseName(data.Sor0000.DatabaseName());
  cards.SetTableName(data.Sor0000.TableName());
  variants.SetDatabaseName(data.Skl0000.DatabaseName());
  variants.SetTableName(data.Skl0000.TableName());
  const std::string dir = TrimBlanks(data.DataPath) + "/";
  try {
    variants.Open();
    variants.OpenIndexFile(dir + "Skl" + data.StoreCode);
    variants.SelectTag("KAV");
    cards.Open();
    cards.OpenIndexFile(dir + "Sor" + data.StoreCode);
    cards.SelectTag("KAV");
  } catch (...) {
    CloseQuietly(cards);
    CloseQuietly(variants);
    throw;
  }
}

void CloseReportTables(TDbfTable& cards, TDbfTable& variants) {
  cards.Close();
  variants.Close();
}

void StockReportCommand(TData& data, TDbfTable& cards, TDbfTable& variants, const std::function<void()>& runReport) {
  OpenReportTables(data, cards, variants);
  try {
    if (data.ui.ConfirmAt("Bylo provedeno natažení stavů skladů ???", 50, 50)) runReport();
  } catch (...) {
    CloseQuietly(cards);
    CloseQuietly(variants);
    throw;
  }
  CloseReportTables(cards, variants);
}
