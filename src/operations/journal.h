#pragma once
// Entries of a store's stock journal and the rebuilding of a card's stock
// from it. Both work on the store-side table objects of the data module
// (Sortiment, Sklad, Denik, Ciselnik), which the caller has pointed at one
// store; both put back the open state, tag and record of Sklad, Denik and
// Sortiment (in that order) before they return. Records are locked card ->
// variant -> counter row and given up in reverse order on every path.

#include <string>

#include "operations/time_of_day.h"

class TData;

class TJournal {
 public:
  explicit TJournal(TData& data, TTimeSettings time = {});

  // Appends one journal row for the variant (card number `kav`, variant
  // index `ind`): number from the counter CIS_DEN, today's date, the time
  // cut to 5 characters, quantity 0, `value` as DEN_HPC and `vat` as DEN_DAN
  // (both single precision), the variant's stock as DEN_ZAS, the user's
  // initials. When the variant's stock disagrees with its last journal row
  // (DEN_ZAS rounded half to even; no row: 0) the card is rebuilt first.
  // True when the row was written; false when the card or variant is not
  // in the store, a lock was not obtained (after the lock message), or the
  // row could not be written (the card is rebuilt then).
  bool ZapisSleva(const std::string& kav, const std::string& ind, const std::string& document,
                  const std::string& operation, float value, float vat);

  // Rebuilds SKL_STA of the card's variants "000".."999" as SKL_POC plus the
  // journal's DEN_KUS, and SOR_STA as their sum, with a progress window per
  // variant. True when the card is in the store and no error was raised
  // (also when the card lock was not obtained and nothing was rebuilt).
  bool RekonstrukceKarty(const std::string& kav);

  // Journal rows written and cards rebuilt since the object was made.
  int rowsWritten = 0;
  int cardsRebuilt = 0;

  const TTimeSettings& Time() const { return time_; }

 private:
  // Steps from the variant lock to the posted row.
  bool WriteRow(const std::string& kav, const std::string& ind, const std::string& document,
                const std::string& operation, float value, float vat);
  // Opens Sortiment, Denik and Sklad where closed.
  void OpenTables();
  TData& data_;
  TTimeSettings time_;
};
