#pragma once
// What the checker needs to know of a chain: its stores (from the store
// list), and per store the opening state taken before the shops and the
// transfer start (each variant's stock, the journal's length, the counter).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct StoreRef {
  std::string code, dir;  // dir with its trailing separator
};

// The stores of the chain's store list whose card table is there.
std::vector<StoreRef> ChainStores(const std::string& chainDir);

struct OpeningVariant {
  int64_t stock = 0, poc = 0;
  bool consistent = false;  // the stock is its opening stock plus its journal
};
struct OpeningState {
  std::map<std::string, OpeningVariant> variants;  // by card number + variant index
  long journalRecords = 0;
  int64_t counter = 0;  // CIS_DEN
};

// Reads the store's files as they are now.
OpeningState TakeOpeningState(const StoreRef& store);
void WriteOpeningState(const std::string& path, const OpeningState& state);
OpeningState ReadOpeningState(const std::string& path);
// Where the opening state of a store is kept.
std::string OpeningStateFile(const std::string& chainDir, const std::string& code);

// Changes the master catalogue so that the transfer of that day has
// something to write into every store: new names, notes and prices on some
// cards and variants (others each day).
void ChangeMasterForTransfer(const std::string& chainDir, int day);
