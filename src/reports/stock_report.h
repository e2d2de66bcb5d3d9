#pragma once
// TDataSestavy: the report module of the current stock report. Its own two
// table objects of the master catalogue (cards Sor0000 with the calculated
// SOR_STA, variants Skl0000 with the calculated SKL_STA, both shared,
// ClipLock, text translated), bound to the master files before each run by
// the stock report command; the report system settings `Sestavy`; and the
// print routine SestavyPrint, which lists card by card the stock of the
// whole chain and its value at purchase prices, with a grand total.

#include "reports/report_settings.h"
#include "xbase/table/dbf_table.h"

class TReport;

class TDataSestavy {
 public:
  TDataSestavy();
  TDataSestavy(const TDataSestavy&) = delete;
  TDataSestavy& operator=(const TDataSestavy&) = delete;

  TDbfTable Sor0000, Skl0000;
  TReportSettings Sestavy;
  // The system's decimal separator for the numbers of the report.
  char DecimalSeparator = ',';

  // Prints the whole report: the title on the first page, the column header
  // on every page, one row per card with stock in its store columns and at
  // least one variant, a continuation line before every page break (when
  // fewer than 6 lines are left after a row), the grand total at the end.
  // Reads Sor0000 in its current order (tag KAV) and seeks in Skl0000 (tag KAV).
  void SestavyPrint(TReport& report);

  // The calculated totals: the sums of the 15 store columns.
  void Sor0000CalcFields(TDbfTable& table);
  void Skl0000CalcFields(TDbfTable& table);

  // A number as printf's "%W.2f" writes it, with the decimal separator.
  std::string Number(const char* format, double value) const;
};
