// The stock report on small master tables, written to PDF and HTML and read
// back as text (pdftotext): which cards are printed and how, the totals,
// page breaks with the continuation line and the header on the next page,
// and the empty selection.

#include "reports/stock_report.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <regex>

#include "operations/operations_fixture.h"
#include "operations/stock_report_command.h"
#include "reports/report_composer.h"
#include "reports/report_files.h"
#include "support/run_command.h"
#include "xbase/date.h"

namespace {

std::vector<std::string> Split(const std::string& text, char at) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == at) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

// The non-empty lines of a text, blanks at both ends removed.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::string& l : Split(text, '\n')) {
    size_t b = l.find_first_not_of(" \f");
    if (b == std::string::npos) continue;
    lines.push_back(l.substr(b, l.find_last_not_of(' ') - b + 1));
  }
  return lines;
}

int CountMatching(const std::vector<std::string>& lines, const std::string& pattern) {
  std::regex re(pattern);
  int n = 0;
  for (const std::string& l : lines) n += std::regex_search(l, re) ? 1 : 0;
  return n;
}

std::string TodayText() {
  XbDate d = XbDate::Today();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buf;
}

const char kHeader[] = R"(^Karta\s+Název skladové položky\s+Zásoba\s+Zatížení NC$)";

class StockReportTest : public ::testing::Test, public OperationsFixture {
 protected:
  TReportDocument Compose() {
    OpenReportTables(data_, report_.Sor0000, report_.Skl0000);
    TReportDocument doc = ComposeReport(report_.Sestavy.JobTitle, report_.Sestavy.OnPrint);
    CloseReportTables(report_.Sor0000, report_.Skl0000);
    return doc;
  }
  // The text of each page of the report's PDF.
  std::vector<std::string> PdfPages() {
    std::string pdf = dir_.File("Sestava.pdf");
    WriteReportPdf(Compose(), pdf);
    CommandResult r = RunCommand("pdftotext -layout " + pdf + " -");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> pages = Split(r.out, '\f');
    if (!pages.empty() && Lines(pages.back()).empty()) pages.pop_back();
    return pages;
  }
  void SetUp() override {
    data_.Sor0000.SetDatabaseName(data_.DataPath);
    data_.Sor0000.SetTableName("SOR0000");
    data_.Skl0000.SetDatabaseName(data_.DataPath);
    data_.Skl0000.SetTableName("SKL0000");
  }
  // Cards 1..5: the card with variant stocks 3 and 2 at 10.00 and 20.00; a
  // card whose columns sum to 0 (its variants have stock); one summing to
  // -1; one with stock but no variant; one more printed card.
  void WriteSmallSet() {
    WriteMaster({{"000001", 1, {1, 0}},
                 {"000002", 1, {0, 0}},
                 {"000003", 1, {-2, 1}},
                 {"000004", 1, {4, 0}},
                 {"000005", 1, {0, 1}, "Šroubovák křížový"}},
                {{"000001", "000", 10.0, {3, 0}},
                 {"000001", "001", 20.0, {0, 2}},
                 {"000002", "000", 10.0, {5, 5}},
                 {"000003", "000", 10.0, {5, 5}},
                 {"000005", "000", 2.5, {1, 0}}});
  }
  TDataSestavy report_;
};

TEST_F(StockReportTest, PrintsCardsWithStockAndVariantsWithTheirSumsAndTheGrandTotal) {
  WriteSmallSet();
  std::vector<std::string> pages = PdfPages();
  ASSERT_EQ(pages.size(), 1u);
  std::vector<std::string> lines = Lines(pages[0]);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Celková skladová zásoba k datu : " + TodayText());
  EXPECT_TRUE(std::regex_search(lines[1], std::regex(kHeader))) << lines[1];
  EXPECT_TRUE(std::regex_search(lines[2], std::regex(R"(^000001\s+Karta 000001\s+5,00\s+70,00$)"))) << lines[2];
  EXPECT_TRUE(std::regex_search(lines[3], std::regex(R"(^000005\s+Šroubovák křížový\s+1,00\s+2,50$)"))) << lines[3];
  EXPECT_TRUE(std::regex_search(lines[4], std::regex(R"(^Celkem za sestavu\s+72,50$)"))) << lines[4];
  EXPECT_EQ(lines.size(), 5u);
  for (const char* skipped : {"000002", "000003", "000004"}) EXPECT_EQ(pages[0].find(skipped), std::string::npos);
  // The text is in a font with the Czech letters: the Arial stand-in.
  CommandResult fonts = RunCommand("pdffonts " + dir_.File("Sestava.pdf"));
  EXPECT_NE(fonts.out.find("Liberation"), std::string::npos) << fonts.out;
}

TEST_F(StockReportTest, TheEmptySelectionPrintsTitleHeaderAndZeroTotal) {
  WriteMaster({{"000001", 1, {0, 0}}}, {{"000001", "000", 10.0, {3, 0}}});
  std::vector<std::string> pages = PdfPages();
  ASSERT_EQ(pages.size(), 1u);
  std::vector<std::string> lines = Lines(pages[0]);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(std::regex_search(lines[1], std::regex(kHeader)));
  EXPECT_TRUE(std::regex_search(lines[2], std::regex(R"(^Celkem za sestavu\s+0,00$)"))) << lines[2];
}

// Many cards: every page but the last ends with its continuation line, every
// page carries the column header and only the first the title; no row is
// lost. With as many cards as fill the first page, the continuation follows
// the last card and the total stands alone on the next page after the header.
TEST_F(StockReportTest, PageBreaksCarryTheContinuationLineAndTheHeader) {
  auto write = [this](int cards) {
    std::vector<CardRow> c;
    std::vector<VariantRow> v;
    for (int i = 1; i <= cards; ++i) {
      char kav[16];
      std::snprintf(kav, sizeof kav, "%06d", i);
      c.push_back({kav, 1, {1, 0}});
      v.push_back({kav, "000", 1.0, {1, 0}});
    }
    WriteMaster(c, v);
  };
  write(200);
  std::vector<std::string> pages = PdfPages();
  ASSERT_GE(pages.size(), 3u);
  int rows = 0, firstPageRows = 0;
  for (size_t p = 0; p < pages.size(); ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    std::vector<std::string> lines = Lines(pages[p]);
    EXPECT_EQ(CountMatching(lines, "^Celková skladová zásoba"), p == 0 ? 1 : 0);
    EXPECT_TRUE(std::regex_search(lines[p == 0 ? 1 : 0], std::regex(kHeader)));
    int here = CountMatching(lines, R"(^\d{6}\s+Karta)");
    rows += here;
    if (p == 0) firstPageRows = here;
    if (p + 1 < pages.size())
      EXPECT_EQ(lines.back(), "Strana " + std::to_string(p + 1) + ", pokračování na další staně");
    else
      EXPECT_TRUE(std::regex_search(lines.back(), std::regex(R"(^Celkem za sestavu\s+200,00$)")));
  }
  EXPECT_EQ(rows, 200);

  write(firstPageRows);
  pages = PdfPages();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Lines(pages[0]).back(), "Strana 1, pokračování na další staně");
  std::vector<std::string> last = Lines(pages[1]);
  ASSERT_EQ(last.size(), 2u);
  EXPECT_TRUE(std::regex_search(last[0], std::regex(kHeader)));
  EXPECT_TRUE(std::regex_search(last[1], std::regex(R"(^Celkem za sestavu\s+)" + std::to_string(firstPageRows) + ",00$")));
}

// The HTML page: well-formed, the rows as table rows, numbers with the
// system's decimal separator.
TEST_F(StockReportTest, HtmlIsOneWellFormedPageWithTheRowsAsTableRows) {
  WriteSmallSet();
  struct Case {
    char separator;
    std::string row, total;
  };
  const Case cases[] = {
      {',', R"(<td>000001</td><td>Karta 000001</td><td class="r">5,00</td><td class="r">70,00</td>)", "72,50"},
      {'.', R"(<td>000001</td><td>Karta 000001</td><td class="r">5.00</td><td class="r">70.00</td>)", "72.50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.separator));
    report_.DecimalSeparator = c.separator;
    std::string path = dir_.File("Sestava.html");
    WriteReportHtml(Compose(), path);
    CommandResult r = RunCommand("cat " + path);
    const std::string& html = r.out;
    QXmlStreamReader xml(QByteArray::fromStdString(html));
    int rows = 0;
    while (!xml.atEnd())
      if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("tr")) ++rows;
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(rows, 4);  // header, two cards, total
    EXPECT_NE(html.find(c.row), std::string::npos) << html;
    EXPECT_NE(html.find("<td colspan=\"3\">Celkem za sestavu</td><td class=\"r\">" + c.total + "</td>"),
              std::string::npos);
    EXPECT_NE(html.find("Celková skladová zásoba k datu : " + TodayText()), std::string::npos);
    EXPECT_NE(html.find("<title>Dodavky od dodavatele</title>"), std::string::npos);
  }
}

}  // namespace
