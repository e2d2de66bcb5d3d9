#pragma once
// The transfer of the master catalogue to every store of the store list
// ("F10 Přenos"): cards missing in a store are created there, present ones
// get the master's descriptive fields, changed prices are booked as a
// repricing document with journal rows, missing variants are created, and
// each store's stock of its cards and variants comes back into the master's
// column for that store (SOR_SOR / SOR_SKL of the store list).

#include <functional>
#include <string>
#include <vector>

#include "operations/time_of_day.h"

class TData;
class ProgressView;
class TRepricing;

// What the transfer did in one store.
struct TStoreSummary {
  std::string code, name;
  bool skipped = false;        // card or variant table missing: nothing written
  int cardsCreated = 0, cardsUpdated = 0, cardsRepriced = 0, variantsCreated = 0, journalRows = 0;
  std::string document;        // number of the store's repricing document, empty: none
};

class TTransfer {
 public:
  explicit TTransfer(TData& data, TTimeSettings time = {});

  // The main window's browse view of Sor0000: detached for the walk,
  // attached again (with the grid focused) at the end.
  std::function<void()> DetachBrowseView, AttachBrowseView;

  // The whole transfer (Button5Click of the main window). An error that
  // ends it is shown with its own text; the store's tables are closed, the
  // progress window goes and the browse view comes back; what was posted
  // until then stays written. True when the transfer ran to its end.
  bool Button5Click();

  // One entry per row of the store list that was reached, in order.
  std::vector<TStoreSummary> summaries;

 private:
  void TransferStore(ProgressView& progress);
  struct StoreFields;
  void TransferCard(TRepricing& repricing, TStoreSummary& summary, const StoreFields& fields);
  void CloseStoreTables();
  TData& data_;
  TTimeSettings time_;
};
