#include "xbase/codepage.h"

#include <gtest/gtest.h>

TEST(Codepage, EveryByteRoundTripsAndLowBytesStay) {
  const Codepage& cp = Codepage::Instance();
  bool seen[256] = {};
  for (int b = 0; b < 256; ++b) {
    uint8_t o = cp.AnsiToOem(static_cast<uint8_t>(b));
    EXPECT_EQ(cp.OemToAnsi(o), b) << "byte " << b;
    EXPECT_FALSE(seen[o]) << "two bytes share the image " << int(o);
    seen[o] = true;
    if (b <= 0x20) {
      EXPECT_EQ(o, b);
    }
  }
}

TEST(Codepage, CzechLettersHaveTheirOemCodes) {
  const Codepage& cp = Codepage::Instance();
  struct Case { const char* utf8; uint8_t oem; };
  const Case cases[] = {
      {"č", 0x9F}, {"Č", 0xAC}, {"ř", 0xFD}, {"Ř", 0xFC}, {"š", 0xE7}, {"Š", 0xE6}, {"ž", 0xA7},
      {"Ž", 0xA6}, {"ů", 0x85}, {"ě", 0xD8}, {"ď", 0xD4}, {"ť", 0x9C}, {"ň", 0xE5}, {"á", 0xA0},
  };
  for (const Case& c : cases) {
    std::string oem = cp.Utf8ToOem(c.utf8);
    ASSERT_EQ(oem.size(), 1u) << c.utf8;
    EXPECT_EQ(static_cast<uint8_t>(oem[0]), c.oem) << c.utf8;
    EXPECT_EQ(cp.OemToUtf8(oem), c.utf8);
  }
}

TEST(Codepage, UpperCaseGoesThroughAnsi) {
  const Codepage& cp = Codepage::Instance();
  EXPECT_EQ(cp.OemToUtf8(cp.OemUpper(cp.Utf8ToOem("příliš žluťoučký kůň ó"))), "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ Ó");
  EXPECT_EQ(Codepage::AnsiUpper(std::string("\xDF\xF7")), "\xDF\xF7");  // ß and ÷ have no capital
  EXPECT_EQ(cp.Utf8ToAnsi("€ ∞"), "\x80 ?");  // a character 1250 lacks becomes '?'
}
