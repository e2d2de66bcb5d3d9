// How keys are encoded and ordered.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "xbase/cdx/collation.h"
#include "xbase/cdx/key_encoding.h"
#include "xbase/codepage.h"
#include "xbase/date.h"

using cdx::CompareKeys;
using cdx::CompareSearch;
using cdx::PrefixRule;

namespace {

std::string Oem(const char* utf8) { return Codepage::Instance().Utf8ToOem(utf8); }

}  // namespace

TEST(Collation, WeightsAreAPermutationKeepingTheLowBytes) {
  const auto& w = cdx::CollationWeights();
  std::set<int> seen(w.begin(), w.end());
  EXPECT_EQ(seen.size(), 256u);
  for (int b = 0; b <= 0x40; ++b) EXPECT_EQ(w[b], b);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(cdx::CollationBytes()[w[b]], b);
}

TEST(Collation, CzechAlphabetCapitalFirstPlainBeforeAccented) {
  const char* alphabet[] = {"A", "a", "Á", "á", "Ä", "ä", "B", "b", "C", "c", "Č", "č", "D", "d", "Ď", "ď",
                            "E", "e", "É", "é", "Ě", "ě", "Ë", "ë", "F", "H", "I", "Í", "R", "Ř",
                            "ř", "S", "Š", "š", "T", "Ť", "U", "Ú", "ú", "Ů", "ů", "Z", "z", "Ž", "ž", "[", "~"};
  for (size_t i = 1; i < std::size(alphabet); ++i)
    EXPECT_LT(CompareKeys(Oem(alphabet[i - 1]), Oem(alphabet[i]), true), 0) << alphabet[i - 1] << " < " << alphabet[i];
  // Upper case first: a name beginning with Č follows every C name and
  // precedes every D name, whatever follows.
  std::vector<std::string> names = {Oem("DAAA"), Oem("ČAJ"), Oem("CZZZ"), Oem("CŽ"), Oem("ČZ")};
  std::sort(names.begin(), names.end(), [](auto& a, auto& b) { return CompareKeys(a, b, true) < 0; });
  EXPECT_EQ(names, (std::vector<std::string>{Oem("CZZZ"), Oem("CŽ"), Oem("ČAJ"), Oem("ČZ"), Oem("DAAA")}));
  // Raw byte order for the other key types: 0xAC (Č) above 0x44 (D).
  EXPECT_GT(CompareKeys("\xAC", "D", false), 0);
}

TEST(Collation, PrefixRules) {
  struct Case {
    const char* search;
    const char* key;
    int partial, exact;  // sign of the comparison under each rule
  };
  const Case cases[] = {
      {"ABC", "ABC", 0, 0},
      {"AB", "ABC", 0, -1},  // a longer index key: equal for a partial search, greater for an exact one
      {"ABC", "AB", 1, 1},
      {"ABD", "ABC", 1, 1},
      {"", "A", 0, -1},
  };
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const Case& c : cases) {
    EXPECT_EQ(sign(CompareSearch(c.search, c.key, true, PrefixRule::Partial)), c.partial) << c.search << "/" << c.key;
    EXPECT_EQ(sign(CompareSearch(c.search, c.key, true, PrefixRule::Exact)), c.exact) << c.search << "/" << c.key;
  }
  EXPECT_EQ(cdx::EncodeTextKey("ABC "), cdx::EncodeTextKey("ABC"));
  EXPECT_EQ(*cdx::SearchKeyFromText("AB  ", XbKeyType::Character), "AB");
}

TEST(KeyEncoding, NumbersSortByValue) {
  std::vector<double> values = {-1e9, -2.5, -2, -0.001, 0, 1e-9, 1, 1.25, 12, 12.0625, 1e12};
  for (size_t i = 1; i < values.size(); ++i)
    EXPECT_LT(CompareKeys(cdx::EncodeNumberKey(values[i - 1]), cdx::EncodeNumberKey(values[i]), false), 0)
        << values[i - 1] << " < " << values[i];
  for (double v : values) EXPECT_EQ(cdx::DecodeNumberKey(cdx::EncodeNumberKey(v)), v);
  EXPECT_EQ(cdx::EncodeNumberKey(1), std::string("\xBF\xF0", 2));  // six trailing zero bytes left out
  EXPECT_EQ(cdx::EncodeNumberKey(-0.0), cdx::EncodeNumberKey(0));
  // The key of 12 is a prefix of the key of 12.0625: a partial search finds it.
  EXPECT_EQ(CompareSearch(cdx::EncodeNumberKey(12), cdx::EncodeNumberKey(12.0625), false, PrefixRule::Partial), 0);
}

TEST(KeyEncoding, DatesAreDayNumbers) {
  EXPECT_EQ(cdx::EncodeDateKey(XbDate{1980, 1, 1}.ToJulian()), cdx::EncodeNumberKey(2444240));
  EXPECT_EQ(cdx::EncodeDateKey(0), std::string("\x80", 1));
  EXPECT_LT(CompareKeys(cdx::EncodeDateKey(0), cdx::EncodeDateKey(XbDate{1900, 1, 1}.ToJulian()), false), 0);
  EXPECT_EQ(*cdx::SearchKeyFromText("20040229", XbKeyType::Date), cdx::EncodeDateKey(XbDate{2004, 2, 29}.ToJulian()));
  EXPECT_EQ(*cdx::SearchKeyFromText("  ", XbKeyType::Date), cdx::EncodeDateKey(0));
  EXPECT_FALSE(cdx::SearchKeyFromText("20041340", XbKeyType::Date));
  EXPECT_EQ(*cdx::SearchKeyFromText(" 12,5", XbKeyType::Numeric, ','), cdx::EncodeNumberKey(12.5));
  EXPECT_FALSE(cdx::SearchKeyFromText("12x", XbKeyType::Numeric));
}
