#pragma once
// A day at one store's point of sale, on the store's own files, through the
// engine and with the locks the transfer uses: sales and receipts (a journal
// row under the variant's record lock, numbered from the counter row, then
// the variant's stock), edits of the store's own card fields, and now and
// then a card, a variant or the counter row held locked for a while.

#include <string>

struct ShopDayOptions {
  std::string dir;        // the store's directory, with its trailing separator
  std::string code;       // the store code, suffix of its file names
  std::string logFile;
  std::string stopFile;   // the day ends when this file exists (empty: never)
  unsigned seed = 1;
  int simId = 1;          // 0..99, part of every journal row's document number
  long operations = 100000;  // the day ends after so many operations at most
  int holdMillis = 100;   // how long a held record stays locked
  int pauseMillis = 2;    // between two operations
  int hotVariants = 0;    // > 0: half of the sales go to the first so many variants
};

// Runs the day; returns the number of operations done.
long RunShopDay(const ShopDayOptions& options);
