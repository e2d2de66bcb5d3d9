// The expressions of the peer engine's tags, evaluated by ours on the peer
// tables: sorted, the keys must give the order that engine's tags hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <tuple>

#include "xbase/dbf_file.h"
#include "xbase/expr/expression.h"

namespace {

const std::string kDir = TAMORIX_PEER_FIXTURES;

void OpenPeer(XbDbfFile& table, const std::string& file) {
  XbDbfFile::Options options;
  options.writable = false;
  table.Open(kDir + "/" + file, options);
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct Entry {
  std::string text;
  double number;
  long recno;
};

TEST(ExprPeer, KeysOrderRecordsAsThePeerTagsDo) {
  XbDbfFile table;
  OpenPeer(table, "SOR0000.DBF");
  std::vector<std::string> tags = Lines(kDir + "/SOR0000.keys.txt");
  ASSERT_GT(tags.size(), 1u);
  for (size_t i = 1; i < tags.size(); ++i) {
    std::istringstream row(tags[i]);
    std::string name, key, filter, unique, descending;
    std::getline(row, name, '\t');
    std::getline(row, key, '\t');
    std::getline(row, filter, '\t');
    std::getline(row, unique, '\t');
    std::getline(row, descending, '\t');
    auto keyExpr = XbExpression::Parse(key, table);
    auto filterExpr = XbExpression::Parse(filter, table);

    std::vector<Entry> entries;
    for (long r = 1; r <= table.RecordCount(); ++r) {
      table.GoTo(r);
      if (!filterExpr->IsEmpty() && !filterExpr->Evaluate().boolean) continue;
      XbValue v = keyExpr->Evaluate();
      entries.push_back({v.text, v.number, r});
    }
    auto keyOf = [](const Entry& e) { return std::tie(e.text, e.number); };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const Entry& a, const Entry& b) { return keyOf(a) < keyOf(b); });
    if (unique == "1")
      entries.erase(std::unique(entries.begin(), entries.end(),
                                [&](const Entry& a, const Entry& b) { return keyOf(a) == keyOf(b); }),
                    entries.end());
    if (descending == "1") std::reverse(entries.begin(), entries.end());

    std::vector<std::string> expected = Lines(kDir + "/SOR0000." + name + ".txt");
    ASSERT_EQ(entries.size(), expected.size()) << name;
    for (size_t k = 0; k < entries.size(); ++k)
      ASSERT_EQ(std::to_string(entries[k].recno), expected[k]) << name << " at " << k;
  }
}

TEST(ExprPeer, UpperOfTheLowerCasePangramIsTheUpperCaseOne) {
  XbDbfFile table;
  OpenPeer(table, "CZ.DBF");
  auto upper = XbExpression::Parse("UPPER(POZN)", table);
  auto raw = XbExpression::Parse("POZN", table);
  EXPECT_EQ(upper->ResultLength(), 300);
  table.GoTo(2);
  std::string capitals = raw->Evaluate().text;
  table.GoTo(1);
  EXPECT_EQ(upper->Evaluate().text, capitals);
}

}  // namespace
