#include "data/text_functions.h"

#include <gtest/gtest.h>

TEST(TextFunctions, TrimAndPad) {
  EXPECT_EQ(PadZerosLeft(" 7 ", 3), "007");
  EXPECT_EQ(PadZerosLeft("1234", 3), "1234");
  EXPECT_EQ(PadZerosLeft("12", 0), "12");
  EXPECT_EQ(TrimBlanks("\t a b  "), "\t a b");  // only code 32 goes
  EXPECT_EQ(TrimCharLeft("0012", '0'), "12");
  EXPECT_EQ(TrimCharRight("1200", '0'), "12");
  EXPECT_EQ(TrimCharLeft("000", '0'), "");
  EXPECT_EQ(PadCharLeft("5", '*', 3), "**5");
  EXPECT_EQ(TrimControls(" \t\r\nx y\r\n"), "x y");
  EXPECT_EQ(PlainUpper("admin čšá"), "ADMIN čšá");
}
