#include "shop_log.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

ShopLogWriter::ShopLogWriter(const std::string& path) : file_(std::fopen(path.c_str(), "a")) {
  if (!file_) throw std::runtime_error("cannot write the log " + path);
}

ShopLogWriter::~ShopLogWriter() { std::fclose(file_); }

void ShopLogWriter::Line(const std::string& text) {
  std::fputs((text + "\n").c_str(), file_);
  std::fflush(file_);
}

ShopLog ReadShopLog(const std::string& path) {
  ShopLog log;
  log.file = path;
  std::ifstream in(path);
  if (!in) log.errors.push_back("cannot read " + path);
  std::map<std::string, size_t> saleByDok;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    if (kind == "#") {
      std::string word;
      s >> word >> log.store;
    } else if (kind == "J") {
      SaleEntry e;
      s >> e.dok >> e.kav >> e.ind >> e.kus >> e.before >> e.after >> e.rad;
      if (!s || saleByDok.count(e.dok)) log.errors.push_back("bad or repeated line: " + line);
      saleByDok[e.dok] = log.sales.size();
      log.sales.push_back(e);
    } else if (kind == "S") {
      std::string dok;
      int64_t after = 0;
      s >> dok >> after;
      auto it = saleByDok.find(dok);
      if (!s || it == saleByDok.end() || log.sales[it->second].after != after)
        log.errors.push_back("stock line without its journal line: " + line);
      else log.sales[it->second].stockPosted = true;
    } else if (kind == "C") {
      std::string kav;
      CardEdit c;
      s >> kav >> c.req >> c.maj;
      if (!s) log.errors.push_back("bad line: " + line);
      log.lastCardEdit[kav] = c;
    } else if (kind == "H") {
      ++log.holds;
    } else if (kind == "X") {
      ++log.givenUp;
    } else if (!kind.empty()) {
      log.errors.push_back("unknown line: " + line);
    }
  }
  return log;
}
