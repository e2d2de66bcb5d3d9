#pragma once
// The log a shop simulator writes of what it did, one line per event, so
// that the checker can prove from it alone that every journal row is in the
// store's journal once and that no stock change or card edit was lost.
//
//   # store CODE sim ID seed SEED
//   J DOK KAV IND KUS BEFORE AFTER RAD   journal row posted (DEN_DOK = DOK)
//   S DOK AFTER                          the variant's SKL_STA posted after it
//   C KAV REQ MAJ                        store card's SOR_REQ and SOR_MAJ posted
//   H WHAT MILLIS                        a record held locked for a while
//   X WHAT                               a step given up (lock not got, error)

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Appends lines to a log file, each flushed as it is written, so that the
// log is complete up to the last line even when the process is killed.
class ShopLogWriter {
 public:
  explicit ShopLogWriter(const std::string& path);
  ~ShopLogWriter();
  ShopLogWriter(const ShopLogWriter&) = delete;
  ShopLogWriter& operator=(const ShopLogWriter&) = delete;
  void Line(const std::string& text);

 private:
  std::FILE* file_ = nullptr;
};

struct SaleEntry {
  std::string dok, kav, ind;
  int64_t kus = 0, before = 0, after = 0, rad = 0;
  bool stockPosted = false;
};
struct CardEdit {
  int64_t req = 0, maj = 0;
};

// What one log says about one store.
struct ShopLog {
  std::string file, store;
  std::vector<SaleEntry> sales;
  std::map<std::string, CardEdit> lastCardEdit;  // by card number
  int holds = 0, givenUp = 0;
  std::vector<std::string> errors;  // lines that could not be read
};

ShopLog ReadShopLog(const std::string& path);
