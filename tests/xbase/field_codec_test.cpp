#include "xbase/field_codec.h"

#include <gtest/gtest.h>

TEST(FieldCodec, FormatsFixedPointRoundingHalfAwayFromZero) {
  struct Case { double value; int decimals; const char* text; };
  const Case cases[] = {
      {0, 2, "0.00"},        {7, 0, "7"},           {1234.5, 2, "1234.50"}, {2.675, 2, "2.68"},
      {-2.675, 2, "-2.68"},  {0.125, 2, "0.13"},    {-0.001, 2, "0.00"},    {999.995, 2, "1000.00"},
      {12345678, 0, "12345678"}, {0.5, 0, "1"},    {-1.5, 0, "-2"},        {1e20, 1, "100000000000000000000.0"},
      {0.0001, 3, "0.000"},  {3.14159, 4, "3.1416"},
  };
  for (const Case& c : cases) EXPECT_EQ(codec::FormatNumber(c.value, c.decimals), c.text) << c.value;
}

TEST(FieldCodec, ParsesStoredNumbersAndRejectsGarbage) {
  struct Case { const char* text; bool ok; double value; };
  const Case cases[] = {
      {"", true, 0},          {"      ", true, 0},    {"   -2360.20", true, -2360.2}, {"12", true, 12},
      {"+5", true, 5},        {" .5", true, 0.5},     {"1e3", true, 1000},           {"20.0 ", true, 20},
      {"12a", false, 0},      {"*****", false, 0},    {"-", false, 0},               {"1.2.3", false, 0},
      {"1 2", false, 0},      {".", false, 0},        {"1e", false, 0},
  };
  for (const Case& c : cases) {
    auto v = codec::ParseNumber(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << '"' << c.text << '"';
    if (v && c.ok) {
      EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
  }
}
