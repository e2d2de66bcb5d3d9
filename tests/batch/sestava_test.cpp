// tamorix-sestava run as the evening job runs it, on the demo data and
// without a display: the PDF and the HTML of the report, and a clear
// message with exit code 1 for every way it cannot write them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "xbase/file_names.h"
#include "demo_data.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

class SestavaTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteDemoData(dir_.Path(), DemoSize{40, 2}); }
  // Runs the program without a display or a platform chosen for it.
  CommandResult Sestava(const std::string& args) {
    return RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + BinPath("tamorix-sestava") + " " +
                      args);
  }
  std::string Ini() const { return dir_.File("DataSor.ini"); }
  TempDir dir_;
};

TEST_F(SestavaTest, WritesThePdfAndTheHtmlOfTheReportWithoutADisplay) {
  CommandResult pdf = Sestava("--pdf " + dir_.File("sestava.pdf") + " --ini " + Ini());
  EXPECT_EQ(pdf.exitCode, 0) << pdf.err;
  EXPECT_EQ(pdf.err, "");
  std::string text = RunCommand("pdftotext -layout " + dir_.File("sestava.pdf") + " -").out;
  EXPECT_EQ(text.rfind("Celková skladová zásoba k datu : ", 0), 0u) << text;
  EXPECT_NE(text.find("Celkem za sestavu"), std::string::npos);

  CommandResult html = Sestava("--ini " + Ini() + " --html " + dir_.File("sestava.html"));
  EXPECT_EQ(html.exitCode, 0) << html.err;
  std::string page = RunCommand("cat " + dir_.File("sestava.html")).out;
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<td>000100</td>"), std::string::npos);
  EXPECT_NE(page.find("Celkem za sestavu"), std::string::npos);
}

TEST_F(SestavaTest, EveryFailureIsAClearMessageAndExitCodeOne) {
  std::ofstream(dir_.File("bez-dat.ini")) << "[DataSor]\nCestaData=" << dir_.File("nic") << "\n";
  struct Case {
    std::string args, message;
  };
  const Case cases[] = {
      {"", "Zadejte právě jednu z voleb --pdf a --html"},
      {"--pdf a.pdf --html a.html --ini " + Ini(), "Zadejte právě jednu z voleb --pdf a --html"},
      {"--pdf", "Volba --pdf potřebuje jméno souboru"},
      {"--tisk", "Neznámá volba --tisk"},
      {"--pdf a.pdf --ini " + dir_.File("chybi.ini"), "Konfigurační soubor " + dir_.File("chybi.ini") + " nenalezen !"},
      {"--pdf a.pdf --ini " + dir_.File("bez-dat.ini"), "Nejsou dostupné datové soubory na " + dir_.File("nic")},
      {"--pdf " + dir_.File("neni/a.pdf") + " --ini " + Ini(), "Soubor " + dir_.File("neni/a.pdf") + " nelze vytvořit"},
      {"--html " + dir_.File("neni/a.html") + " --ini " + Ini(),
       "Soubor " + dir_.File("neni/a.html") + " nelze vytvořit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    CommandResult r = Sestava(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.message);
  }
  std::filesystem::remove(dir_.File("Sor0000.cdx"));
  std::filesystem::remove(ResolveFileName(dir_.File("data/Sor0000.cdx")));
  CommandResult r = Sestava("--pdf " + dir_.File("x.pdf") + " --ini " + Ini());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err, "");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("x.pdf")));
}

}  // namespace
