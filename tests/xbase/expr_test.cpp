// The expression language: the keys the system's own tags build, names,
// operators, errors and the field list.

#include <gtest/gtest.h>

#include "expr_table.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/codepage.h"
#include "xbase/errors.h"

namespace {

const std::vector<FieldSpec> kCards = {
    {"SOR_KAV", 'C', 6}, {"SOR_NAC", 'C', 30}, {"SOR_PC1", 'N', 12, 2}, {"SOR_DAT", 'D', 8}, {"SOR_OLD", 'L', 1},
};

std::string Oem(const char* utf8) { return Codepage::Instance().Utf8ToOem(utf8); }

std::string ErrorOf(const XbDbfFile& table, const std::string& expression) {
  try {
    XbExpression::Parse(expression, table)->Evaluate();
  } catch (const EDbfExpression& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(Expression, VariantKeyKeepsTheBlanksInside) {
  ExprTable t("SKL0000.DBF", {{"SKL_KAV", 'C', 6}, {"SKL_IND", 'C', 3}});
  t.Put("SKL_KAV", "000123");
  t.Put("SKL_IND", "7");
  auto e = XbExpression::Parse("SKL_KAV + SKL_IND", t.table);
  EXPECT_EQ(ExprTable::Show(e->Evaluate()), "C:0001237  ");
  EXPECT_EQ(e->ResultKind(), XbValueKind::Text);
  EXPECT_EQ(e->ResultLength(), 9);
  EXPECT_EQ(e->FieldList(), "SKL_KAV;SKL_IND;");
}

TEST(Expression, UpperFollowsTheTablesTranslation) {
  std::string name = Oem("čaj zelený");
  std::string upperName = Oem("ČAJ ZELENÝ");
  for (bool translate : {true, false}) {
    ExprTable t("SOR0000.DBF", kCards, translate);
    t.Put("SOR_NAC", name);
    auto e = XbExpression::Parse("UPPER(SOR_NAC)", t.table);
    XbValue v = e->Evaluate();
    ASSERT_EQ(v.text.size(), 30u);
    EXPECT_EQ(e->ResultLength(), 30);
    // With translation the accented letters become capitals too; without it
    // only the ASCII letters change.
    std::string expected = translate ? upperName : name;
    if (!translate)
      for (char& c : expected)
        if (c >= 'a' && c <= 'z') c -= 32;
    EXPECT_EQ(v.text, expected + std::string(30 - expected.size(), ' ')) << translate;
  }
}

// The keys of a character field and of UPPER() of one are taken from the
// record's bytes without evaluating: they must be the keys the evaluation
// gives, and every other shape is evaluated.
TEST(Expression, KeysTakenFromTheRecordEqualTheEvaluatedKeys) {
  const char* const kDirect[] = {"SOR_NAC", "UPPER(SOR_NAC)", "upper( Sor0000.sor_nac )", "SOR0000->SOR_KAV"};
  const char* const kEvaluated[] = {"UPPER(SOR_NAC+SOR_KAV)", "LOWER(SOR_NAC)", "UPPER(TRIM(SOR_NAC))", "SOR_PC1"};
  const std::string kTexts[] = {Oem("čaj zelený"), Oem("  vnitřní mezery  "), "", Oem("ŽLUŤOUČKÝ kůň"), "abc\x01def"};
  for (bool translate : {true, false}) {
    ExprTable t("SOR0000.DBF", kCards, translate);
    XbKeySourceFactory sources = ExpressionKeySources(t.table);
    for (const char* expression : kDirect)
      EXPECT_TRUE(XbExpression::Parse(expression, t.table)->DirectFieldText()) << expression;
    for (const char* expression : kEvaluated)
      EXPECT_FALSE(XbExpression::Parse(expression, t.table)->DirectFieldText()) << expression;
    for (const std::string& text : kTexts) {
      t.Put("SOR_NAC", text);
      t.Put("SOR_KAV", text.substr(0, 6));
      for (const char* expression : kDirect) {
        auto e = XbExpression::Parse(expression, t.table);
        EXPECT_EQ(sources(expression, "")->Key(t.table.Buffer(), 1), EncodeKeyValue(e->Evaluate()))
            << expression << " on \"" << text << "\", translation " << translate;
      }
    }
  }
}

TEST(Expression, PlainAndQualifiedNamesNameTheSameField) {
  ExprTable t("Sor0000.dbf", kCards);
  t.Put("SOR_KAV", "000123");
  for (const char* name : {"SOR_KAV", "sor_kav", "SOR0000->SOR_KAV", "sor0000 -> Sor_Kav", "SOR0000.SOR_KAV"}) {
    auto e = XbExpression::Parse(name, t.table);
    EXPECT_EQ(ExprTable::Show(e->Evaluate()), "C:000123") << name;
    EXPECT_EQ(e->FieldList(), "SOR_KAV;") << name;
  }
  // A point after a field is the start of a word operator, not a qualifier.
  EXPECT_EQ(t.Eval("SOR0000.SOR_OLD.OR.SOR_KAV='000123'"), "L:T");
}

TEST(Expression, KeyConversionsOfTheSystemsTags) {
  ExprTable t("SOR0000.DBF", kCards);
  t.table.PutNumber(t.table.FieldByName("SOR_PC1"), 123.6);
  EXPECT_EQ(t.Eval("STR(SOR_PC1)"), "C:       124");
  EXPECT_EQ(t.Eval("STR(SOR_PC1, 2)"), "C:**");
  EXPECT_EQ(t.Eval("DTOS(SOR_DAT)"), "C:        ");
  t.Put("SOR_DAT", "20040102");
  EXPECT_EQ(t.Eval("DTOS(SOR_DAT)"), "C:20040102");
  EXPECT_EQ(t.Eval("SOR_PC1"), "N:123.6");
}

TEST(Expression, ResultKindAndLengthComeFromABlankRecord) {
  ExprTable t("SOR0000.DBF", kCards);
  t.Put("SOR_NAC", "something long enough");
  struct Case { const char* text; XbValueKind kind; int length; };
  const Case cases[] = {
      {"SOR_KAV", XbValueKind::Text, 6},        {"UPPER(SOR_NAC)", XbValueKind::Text, 30},
      {"SOR_PC1", XbValueKind::Number, 8},      {"SOR_DAT", XbValueKind::Date, 8},
      {"DTOS(SOR_DAT)", XbValueKind::Text, 8},  {"TRIM(SOR_NAC)", XbValueKind::Text, 0},
      {"SOR_OLD", XbValueKind::Boolean, 1},     {"   ", XbValueKind::Empty, 10},
  };
  for (const Case& c : cases) {
    auto e = XbExpression::Parse(c.text, t.table);
    EXPECT_EQ(e->ResultKind(), c.kind) << c.text;
    EXPECT_EQ(e->ResultLength(), c.length) << c.text;
    EXPECT_EQ(e->IsEmpty(), c.kind == XbValueKind::Empty) << c.text;
    EXPECT_EQ(e->Text(), c.text);
  }
  EXPECT_EQ(XbExpression::Parse("", t.table)->Evaluate().kind, XbValueKind::Empty);
}

TEST(Expression, DateFieldsReadAsTheTableObjectReadsThem) {
  ExprTable t("SOR0000.DBF", kCards);
  struct Case { const char* stored; const char* dtos; };
  const Case cases[] = {
      {"        ", "C:        "}, {"00000000", "C:        "}, {"20040229", "C:20040229"},
      {"20041301", "C:        "},  // 8 digits that are no date: the empty date
      {"20030229", "C:        "}, {"1.2.2004", "C:20040201"},  // a short date
  };
  for (const Case& c : cases) {
    t.Put("SOR_DAT", c.stored);
    EXPECT_EQ(t.Eval("DTOS(SOR_DAT)"), c.dtos) << c.stored;
  }
}

TEST(Expression, EveryErrorTextOfTheLanguage) {
  ExprTable t("SOR0000.DBF", kCards);
  struct Case { const char* text; const char* message; };
  const Case cases[] = {
      {"SOR_XYZ", "There is no function for SOR_XYZ"},
      {"foo(SOR_KAV)", "There is no function for FOO"},
      {"SKL0000->SOR_KAV", "There is no function for SKL0000.SOR_KAV"},
      {"SOR0000.NIC", "There is no function for SOR0000.NIC"},
      {"  SOR_KAV SOR_NAC ", "Syntax Error in expression \"SOR_KAV SOR_NAC\""},
      {"SOR_KAV + * 2", "Syntax Error in expression \"SOR_KAV + * 2\""},
      {"SOR_KAV)", "Syntax Error in expression \"SOR_KAV)\""},
      {"1.2.3", "Syntax Error in expression \"1.2.3\""},
      {"SOR_KAV @ 1", "Syntax Error in expression \"SOR_KAV @ 1\""},
      {"LEFT(SOR_KAV, 1, 2)", "Syntax Error in expression \"LEFT(SOR_KAV, 1, 2)\""},
      {"(SOR_KAV", "Missing closing parentheses"},
      {"UPPER(SOR_NAC", "Missing closing parentheses"},
      {"SOR_OLD .AND", "Missing closing period"},
      {".T", "Missing closing period"},
      {".Y.", "Expecting \".T.\" or \".F.\""},
      {"SOR_KAV = 'abc", "Missing closing \"'\" on literal"},
      {"SOR_KAV = \"abc", "Missing closing \"\"\" on literal"},
      {"SOR_KAV = [abc", "Missing closing \"]\" on literal"},
      {"SOR_DAT = {1.2.2004", "Missing closing \"}\" on literal"},
      {"UPPER('abc)", "Missing closing \"'\" on literal"},
      {"SOR_KAV +", "Expression cannot be evaluated"},
      {"()", "Expression cannot be evaluated"},
      {".NOT.", "Expression cannot be evaluated"},
      {"STR(SOR_KAV)", "Number needed for Argument 1 of STR"},
      {"STR()", "Number needed for Argument 1 of STR"},
      {"SUBSTR(SOR_KAV, 'x')", "Number needed for Argument 2 of SUBSTR"},
      {"DTOS(SOR_KAV)", "Date needed for Argument 1 of DTOS"},
      {"UPPER(SOR_PC1)", "Text needed for Argument 1 of UPPER"},
      {"IIF(SOR_KAV, 1, 2)", "Boolean needed for Argument 1 of IIF"},
      {"MAX(SOR_KAV, 1)", "Text needed for Argument 2 of MAX"},
      {"SOR_OLD + 1", "A number value is required but invalid"},
      {"SOR_PC1 * 'x'", "A number value is required but invalid"},
      {"SOR_KAV + 1", "A Char value is required but invalid"},
      {"PADL(SOR_KAV, 10, 'xy')", "A Char value is required but invalid"},
      {"SOR_KAV .AND. .T.", "A logical value is required but invalid"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(t.table, c.text), c.message) << c.text;
}

TEST(Expression, FieldContentThatIsNoValueFailsTheEvaluation) {
  ExprTable t("SOR0000.DBF", kCards);
  auto date = XbExpression::Parse("DTOS(SOR_DAT)", t.table);
  t.Put("SOR_DAT", "31.2.04");
  EXPECT_THROW(
      try { date->Evaluate(); } catch (const EDbfExpression& e) {
        EXPECT_STREQ(e.what(), "Invalid date in field SOR0000->SOR_DAT (31.2.04)");
        throw;
      },
      EDbfExpression);
  // The same text as the table layer gives for the field.
  t.Put("SOR_PC1", "12a");
  std::string tableMessage;
  try {
    t.table.GetNumber(t.table.FieldByName("SOR_PC1"));
  } catch (const EDbfError& e) {
    tableMessage = e.what();
  }
  EXPECT_EQ(tableMessage, "Invalid numeric value in field SOR0000->SOR_PC1 (         12a)");
  EXPECT_EQ(ErrorOf(t.table, "SOR_PC1"), tableMessage);
}

TEST(Expression, OperatorsBindByTheirLevels) {
  ExprTable t("SOR0000.DBF", kCards);
  t.Put("SOR_KAV", "AB");
  struct Case { const char* text; const char* value; };
  const Case cases[] = {
      {"2+3*4", "N:14"},          {"(2+3)*4", "N:20"},        {"2^3^2", "N:64"},
      {"2**3*2", "N:16"},         {"-2^2", "N:4"},            {"10-4-3", "N:3"},
      {"12/4/3", "N:1"},          {"2*-3", "N:-6"},           {"1+2 = 3", "L:T"},
      {"1 < 2 .AND. 3 > 4", "L:F"},   {".T. .OR. .F. .AND. .F.", "L:T"},
      {"NOT 1 = 2", "L:T"},           {".not. .T. or .T.", "L:T"},  {"!(1=1)", "L:F"},
      {"1 = 2 OR NOT .F. AND .T.", "L:T"},  {"1 = 1 .AND. !SOR_OLD", "L:T"},
      {"1 # 2", "L:T"},   {"1 != 2", "L:T"},  {"1 <> 1", "L:F"},  {"1 ne 2", "L:T"},
      {"1 EQ 1", "L:T"},  {"2 GT 1", "L:T"},  {"2 lt 1", "L:F"},  {"2 >= 2", "L:T"},
      {"2 => 3", "L:F"},  {"2 =< 2", "L:T"},  {"1 .GE. 2", "L:F"}, {"2 <= 1", "L:F"},
      {"1.AND.2", "?"},
      {"TRUE .AND. !FALSE", "L:T"},   {"PI > 3.14 .AND. PI < 3.15", "L:T"},
  };
  for (const Case& c : cases) {
    if (std::string(c.value) == "?") {
      EXPECT_EQ(ErrorOf(t.table, c.text), "A logical value is required but invalid") << c.text;
      continue;
    }
    EXPECT_EQ(t.Eval(c.text), c.value) << c.text;
  }
}

TEST(Expression, TextsDatesAndLogicalsUnderTheOperators) {
  ExprTable t("SOR0000.DBF", kCards);
  t.Put("SOR_KAV", "AB");
  t.Put("SOR_DAT", "20040301");
  struct Case { const char* text; const char* value; };
  const Case cases[] = {
      {"SOR_KAV + 'C'", "C:AB    C"},       {"SOR_KAV - 'C'", "C:ABC    "},
      {"SOR_KAV = 'AB'", "L:T"},            {"SOR_KAV == 'AB'", "L:T"},
      {"SOR_KAV = 'A*'", "L:T"},            {"SOR_KAV = '?B'", "L:T"},
      {"SOR_KAV = 'A?C'", "L:F"},           {"SOR_KAV == 'A*'", "L:F"},
      {"SOR_KAV <> 'A*'", "L:F"},           {"SOR_KAV = 'A'", "L:F"},
      {"SOR_KAV < 'AC'", "L:T"},            {"'B' > SOR_KAV", "L:T"},
      {"'AB' $ 'XABY'", "L:T"},             {"SOR_KAV $ 'XABY'", "L:T"},
      {"'ab' $ 'XABY'", "L:F"},             {"SOR_NAC $ 'XABY'", "L:F"},
      {"SOR_DAT - 1", "D:20040229"},        {"SOR_DAT + 31", "D:20040401"},
      {"SOR_DAT - {1.2.2004}", "N:29"},     {"SOR_DAT > {29.2.2004}", "L:T"},
      {"SOR_DAT = {^2004-03-01}", "L:T"},   {"{} < SOR_DAT", "L:T"},
      {"SOR_OLD = .F.", "L:T"},             {"SOR_OLD < .T.", "L:T"},
      {"[x] + \"y\" + 'z'", "C:xyz"},       {"-SOR_PC1", "N:-0"},
  };
  for (const Case& c : cases) EXPECT_EQ(t.Eval(c.text), c.value) << c.text;
}

TEST(Expression, FieldListNamesEachFieldOnceFromLeftToRight) {
  ExprTable t("SOR0000.DBF", kCards);
  struct Case { const char* text; const char* list; };
  const Case cases[] = {
      {"UPPER(SOR_NAC)", "SOR_NAC;"},
      {"sor0000->sor_pc1 > 0 .and. STR(SOR_PC1) + sor_kav = ''", "SOR_PC1;SOR_KAV;"},
      {"IIF(SOR_OLD, SOR_NAC, SOR_KAV)", "SOR_OLD;SOR_NAC;SOR_KAV;"},
      {"RECNO()", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(XbExpression::Parse(c.text, t.table)->FieldList(), c.list) << c.text;
}

TEST(Expression, RecordImageAndRecordNumberComeFromTheCaller) {
  ExprTable t("SOR0000.DBF", kCards);
  auto e = XbExpression::Parse("STR(RECNO(), 3) + IIF(DELETED(), 'D', 'L') + SOR_KAV", t.table);
  std::string record(static_cast<size_t>(t.table.RecordLength()), ' ');
  record[0] = '*';
  record.replace(1, 6, "000777");
  EXPECT_EQ(ExprTable::Show(e->Evaluate(record.data(), 42)), "C: 42D000777");
  EXPECT_EQ(ExprTable::Show(e->Evaluate()), "C:  0L      ");
}

TEST(Expression, DeepNestingIsRefusedNotACrash) {
  ExprTable t("SOR0000.DBF", kCards);
  std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(ErrorOf(t.table, deep), "Syntax Error in expression \"" + deep + "\"");
  EXPECT_EQ(t.Eval(std::string(50, '(') + "1" + std::string(50, ')')), "N:1");
}

}  // namespace
