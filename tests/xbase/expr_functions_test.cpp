// The function library of the expression language, each function as one or
// a few rows of expression -> value on one card record.

#include <gtest/gtest.h>

#include "expr_table.h"

namespace {

struct Case {
  const char* expression;
  const char* value;  // as ExprTable::Show writes it
};

class ExprFunctions : public ::testing::Test {
 protected:
  ExprFunctions()
      : t_("SOR0000.DBF", {{"SOR_KAV", 'C', 6},
                           {"SOR_NAC", 'C', 30},
                           {"SOR_PC1", 'N', 12, 2},
                           {"SOR_DAT", 'D', 8},
                           {"SOR_OLD", 'L', 1}}) {
    t_.Put("SOR_KAV", "000123");
    t_.Put("SOR_NAC", "  abc Def");
    t_.table.PutNumber(t_.table.FieldByName("SOR_PC1"), 123.6);
    t_.Put("SOR_DAT", "20040301");  // a Monday
    t_.table.PutLogical(t_.table.FieldByName("SOR_OLD"), true);
  }

  void Check(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(t_.Eval(c.expression), c.value) << c.expression;
  }

  ExprTable t_;
};

TEST_F(ExprFunctions, KeyBuilding) {
  Check({
      {"DTOS(SOR_DAT)", "C:20040301"},         {"DTOS({})", "C:        "},
      {"DTOS(2444240)", "C:19800101"},         {"STR(SOR_PC1, 8, 2)", "C:  123.60"},
      {"STR(SOR_PC1, 3)", "C:124"},            {"STR(-1.5, 4)", "C:  -2"},
      {"STR(1234.5, 6, 2)", "C:******"},       {"STRZERO(SOR_PC1, 6)", "C:000124"},
      {"STRZERO(5, 3, 1)", "C:5.0"},           {"STRZERO(-5, 4)", "C:00-5"},
      {"SUBSTR(SOR_KAV, 4)", "C:123"},         {"SUBSTR(SOR_KAV, 2, 3)", "C:001"},
      {"SUBSTR(SOR_KAV, 5, 10)", "C:23"},      {"SUBSTR(SOR_KAV, 0, 3)", "C:"},
      {"SUBSTR(SOR_KAV, 7)", "C:"},            {"LEFT(SOR_KAV, 3)", "C:000"},
      {"LEFT('ab', 4)", "C:ab  "},             {"RIGHT(SOR_KAV, 2)", "C:23"},
      {"RIGHT('ab', 5)", "C:ab"},              {"TRIM(SOR_NAC)", "C:  abc Def"},
      {"RTRIM(SOR_NAC)", "C:  abc Def"},       {"LTRIM('  x  ')", "C:x  "},
      {"ALLTRIM(SOR_NAC)", "C:abc Def"},       {"ALLTRIM(CHR(9) + 'a' + CHR(13))", "C:a"},
      {"PADL('ab', 5)", "C:   ab"},            {"PADR('ab', 5, '*')", "C:ab***"},
      {"PADC('ab', 5, '-')", "C:-ab--"},       {"PADL('abcdef', 3)", "C:abcdef"},
      {"PADL(12, 4, '0')", "C:0012"},          {"PADR(SOR_PC1, 7, '_')", "C:123.6__"},
      {"IIF(SOR_OLD, 'y', 'n')", "C:y"},       {"IIF(.T., 1, STR(SOR_KAV))", "N:1"},
      {"DESCEND('AB')", "C:\xBF\xBE"},         {"ASC(DESCEND(CHR(0)))", "N:0"},
      {"DESCEND(SOR_PC1)", "N:-123.6"},        {"DESCEND(.T.)", "L:F"},
      {"DESCEND({1.1.1980}) - {}", "N:2787568"},
      {"DESCEND(SOR_DAT) - DESCEND(SOR_DAT + 1)", "N:1"},
  });
}

TEST_F(ExprFunctions, Text) {
  Check({
      {"upper('abc')", "C:ABC"},               {"LOWER('AbC')", "C:abc"},
      {"PROPER('hELLO wORLD')", "C:Hello World"},
      {"ASC('A')", "N:65"},                    {"ASC('')", "N:0"},
      {"CHR(65)", "C:A"},                      {"LEN(SOR_NAC)", "N:30"},
      {"LEN(TRIM(SOR_NAC))", "N:9"},           {"AT('2', SOR_KAV)", "N:5"},
      {"AT('0', SOR_KAV, 3)", "N:3"},          {"AT('x', SOR_KAV)", "N:0"},
      {"AT('DEF', SOR_NAC)", "N:0"},           {"ATC('DEF', SOR_NAC)", "N:7"},
      {"SOUNDEX('Robert')", "C:R163"},         {"SOUNDEX('Tymczak')", "C:T522"},
      {"SOUNDEX('Ashcraft')", "C:A261"},       {"SOUNDEX('Lee')", "C:L000"},
      {"SPACE(3)", "C:   "},                   {"REPLICATE('ab', 3)", "C:ababab"},
      {"STRTRAN('a-b-c', '-')", "C:abc"},      {"STRTRAN('a-b-c', '-', '+')", "C:a+b+c"},
      {"STRTRAN('a-b-c-d', '-', '+', 2)", "C:a-b+c+d"},
      {"STRTRAN('a-b-c-d', '-', '+', 2, 1)", "C:a-b+c-d"},
      {"STRTRAN('a,b', ',', '(')", "C:a(b"},   {"IIF(.T., [a,b], {1.1.2004})", "C:a,b"},
      {"UPPER ('x')", "C:X"},                  {"SUBS(SOR_KAV, 4)", "C:123"},
      {"STRZ(7, 3)", "C:007"},
  });
}

TEST_F(ExprFunctions, Numbers) {
  Check({
      {"ABS(-2.5)", "N:2.5"},                  {"INT(-2.7)", "N:-2"},
      {"CEILING(2.1)", "N:3"},                 {"FLOOR(-2.1)", "N:-3"},
      {"MOD(7, -3)", "N:-2"},                  {"MOD(-7, 3)", "N:2"},
      {"MOD(5, 0)", "N:5"},                    {"ROUND(2.675, 2)", "N:2.68"},
      {"ROUND(1250, -2)", "N:1300"},           {"SQRT(16)", "N:4"},
      {"EXP(0)", "N:1"},                       {"ROUND(LOG(EXP(2)), 6)", "N:2"},
      {"LOG10(1000)", "N:3"},                  {"ROUND(SIN(PI()/2), 6)", "N:1"},
      {"ROUND(COS(0), 6)", "N:1"},             {"ROUND(TAN(PI/4), 6)", "N:1"},
      {"ROUND(RTOD(ASIN(1)), 6)", "N:90"},     {"ROUND(RTOD(ACOS(0)), 6)", "N:90"},
      {"ROUND(RTOD(ATAN(1)), 6)", "N:45"},     {"ROUND(RTOD(ATN2(1, -1)), 6)", "N:135"},
      {"ROUND(DTOR(180), 6)", "N:3.141593"},   {"FV(100, 0.1, 2)", "N:210"},
      {"FV(100, 0, 3)", "N:300"},              {"ROUND(PV(121, 0.1, 2), 6)", "N:210"},
      {"VAL(' -12.5abc')", "N:-12.5"},         {"VAL('abc')", "N:0"},
      {"VAL(SOR_KAV)", "N:123"},
  });
}

// Numbers no argument should be: bounded, defined results instead of
// huge allocations or undefined conversions.
TEST_F(ExprFunctions, AbsurdArgumentsGiveBoundedResults) {
  Check({
      {"DTOS(10^300)", "C:        "},          {"DTOS(SOR_DAT + 10^300)", "C:        "},
      {"DTOS(-1)", "C:        "},              {"LEN(SPACE(10^20))", "N:65535"},
      {"ASC(CHR(0/0))", "N:0"},                {"STR(0/0, 3)", "C:***"},
      {"STR(1/0)", "C:**********"},            {"LEN(PADL('x', -5))", "N:1"},
  });
}

TEST_F(ExprFunctions, DatesAndComparisons) {
  Check({
      {"CTOD('1.3.2004') = SOR_DAT", "L:T"},   {"CTOD('01/03/04')", "D:20040301"},
      {"CTOD('31.2.2004')", "D:"},             {"CTOD('  .  .    ')", "D:"},
      {"DTOC(SOR_DAT)", "C:01.03.2004"},       {"DTOC({})", "C:  .  .    "},
      {"DOW(SOR_DAT)", "N:2"},                 {"DOW({})", "N:0"},
      {"YEAR(SOR_DAT)", "N:2004"},             {"MONTH(SOR_DAT)", "N:3"},
      {"DAY(SOR_DAT)", "N:1"},                 {"DATE() > {1.1.2020}", "L:T"},
      {"MAX(3, 5)", "N:5"},                    {"MIN('b', 'a')", "C:a"},
      {"MAX(SOR_DAT, {1.1.2005})", "D:20050101"},
      {"BETWEEN(SOR_PC1, 100, 200)", "L:T"},   {"BETWEEN('b', 'c', 'd')", "L:F"},
      {"INLIST(SOR_KAV, '1', '000123')", "L:T"},  {"INLIST(2, 1, 3)", "L:F"},
      {"EMPTY(SOR_NAC)", "L:F"},               {"EMPTY(SPACE(3))", "L:T"},
      {"EMPTY(0)", "L:T"},                     {"EMPTY({})", "L:T"},
      {"EMPTY(.F.)", "L:T"},
  });
}

TEST_F(ExprFunctions, Table) {
  Check({
      {"BOF()", "L:T"},                        {"EOF()", "L:F"},
      {"TYPE('SOR_KAV')", "C:C"},              {"TYPE('SOR_PC1 * 2')", "C:N"},
      {"TYPE('SOR_DAT')", "C:D"},              {"TYPE('SOR_OLD')", "C:L"},
      {"TYPE('NIC')", "C:U"},                  {"TYPE('1 +')", "C:U"},
      {"FIELDNO('sor_pc1')", "N:3"},           {"FIELDNO('SOR0000->SOR_DAT')", "N:4"},
      {"FIELDNO('NIC')", "N:0"},
  });
}

}  // namespace
