#pragma once
// The demo data set: a complete, realistic set of the program's tables, for
// trying the program without a shop's data.

#include <string>

struct DemoSize {
  int cards = 5000;   // master cards
  int stores = 3;     // stores in the store list, each with its own directory
  // One more row in the store list, for a store whose card table is missing.
  bool storeWithoutCards = true;
  // One card in this many has 2 to 4 variants, the others one.
  int multiVariantOneIn = 5;
  // Journal rows per store variant: 1 to this many.
  int journalMovesUpTo = 3;
};

// Writes into `dir`: DataSor.ini, data/ with every master table, stores/PRODn/
// with the six tables of each store (and a
// store without its card table), and import/ with an import set; every
// table that has an index file gets it, with all its tags built over the
// records. Existing files there are replaced.
void WriteDemoData(const std::string& dir, const DemoSize& size = {});

struct TableLayout;

// Writes the empty table file `path` with the stored fields of a layout, in
// the widths of the demo files.
void CreateLayoutTable(const std::string& path, const TableLayout& layout);

// The sign-on name of the operating-system user, as the program derives it.
std::string DemoLoginName();
