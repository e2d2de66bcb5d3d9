// The report system's windows on a small report: the setup dialog's
// choices, the status texts while pages are produced, the preview with its
// navigation and its print and save, and the printer (a PDF printer here)
// carrying the same pages as the PDF file.

#include "reports/report_system.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "reports/report_composer.h"
#include "reports/report_files.h"
#include "reports/report_preview.h"
#include "reports/report_setup_dialog.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

// Three pages of numbered lines.
TReportSettings Settings() {
  TReportSettings s;
  s.SetupTitle = "Nastavení tisku sestavy";
  s.StatusTitle = "Stav přípravy tisku";
  s.PreviewTitle = "Náhled před tiskem";
  s.StatusPrinting = "Tisknu stranu %p";
  s.StatusFile = "Generuji stranu %p";
  s.DefaultFileName = "Sestava";
  s.JobTitle = "Dodavky od dodavatele";
  s.OnPrint = [](TReport& r) {
    r.SetFont("ArialCE", 9);
    r.SetTab(1.0, TTabAlign::Left, 2.0);
    r.SetTab(-1, TTabAlign::Right, 3.0);
    for (int page = 1; page <= 3; ++page) {
      if (page > 1) r.NewPage();
      r.Home();
      r.Println("\tStránka\t" + std::to_string(page));
    }
  };
  return s;
}

std::string PdfText(const std::string& path) { return RunCommand("pdftotext -layout " + path + " -").out; }

TEST(ReportSetupDialogTest, OffersPreviewPrinterAndTheTwoFileFormatsWithTheDefaultName) {
  TReportSetupDialog dialog(QStringLiteral("Nastavení tisku sestavy"), QStringLiteral("Sestava"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Nastavení tisku sestavy"));
  EXPECT_EQ(dialog.HtmlButton->text(), QStringLiteral("Stánky WWW (HTML)"));
  EXPECT_EQ(dialog.PdfButton->text(), QStringLiteral("Adobe Acrobat (PDF)"));
  EXPECT_EQ(ReportFileFilter(TReportDestination::Html), QStringLiteral("Stánky WWW (HTML) (*.html *.htm)"));
  EXPECT_EQ(dialog.Choice().destination, TReportDestination::Preview);
  EXPECT_FALSE(dialog.FileEdit->isEnabled());

  struct Case {
    QRadioButton* button;
    QString typed;
    TReportDestination destination;
    std::string file;
  };
  const Case cases[] = {
      {dialog.HtmlButton, "Sestava", TReportDestination::Html, "Sestava.html"},
      {dialog.HtmlButton, "stav.htm", TReportDestination::Html, "stav.htm"},
      {dialog.PdfButton, "Sestava", TReportDestination::Pdf, "Sestava.pdf"},
      {dialog.PrinterButton, "Sestava", TReportDestination::Printer, ""},
  };
  for (const Case& c : cases) {
    c.button->setChecked(true);
    dialog.FileEdit->setText(c.typed);
    EXPECT_EQ(dialog.Choice().destination, c.destination);
    EXPECT_EQ(dialog.Choice().fileName, c.file);
  }
  dialog.PdfButton->setChecked(true);
  dialog.FileEdit->clear();
  EXPECT_FALSE(dialog.OkButton->isEnabled()) << "a file needs a name";
  dialog.FileEdit->setText("   ");
  EXPECT_FALSE(dialog.OkButton->isEnabled()) << "blanks are no name";
}

class ReportSystemTest : public ::testing::Test {
 protected:
  TempDir dir_;
  TReportSystem system_;
  TReportSettings settings_ = Settings();
};

TEST_F(ReportSystemTest, StornoInTheSetupProducesNothing) {
  bool printed = false;
  settings_.OnPrint = [&](TReport&) { printed = true; };
  system_.Setup = [](const TReportSettings&) { return std::optional<TReportChoice>(); };
  system_.Execute(settings_);
  EXPECT_FALSE(printed);
  EXPECT_TRUE(system_.StatusLog.isEmpty());
}

TEST_F(ReportSystemTest, FilesAndThePrinterGetTheSamePagesWithTheirStatusTexts) {
  const std::string pdf = dir_.File("Sestava.pdf"), html = dir_.File("Sestava.html"), printed = dir_.File("tisk.pdf");
  system_.Setup = [&](const TReportSettings&) { return std::optional<TReportChoice>({TReportDestination::Pdf, pdf}); };
  system_.Execute(settings_);
  EXPECT_EQ(system_.StatusLog, (QStringList{"Generuji stranu 1", "Generuji stranu 2", "Generuji stranu 3",
                                            "Generuji stranu 1", "Generuji stranu 2", "Generuji stranu 3"}));

  system_.Setup = [&](const TReportSettings&) { return std::optional<TReportChoice>({TReportDestination::Html, html}); };
  system_.Execute(settings_);
  EXPECT_TRUE(std::filesystem::exists(html));

  QString dialogDocName;
  system_.PrintDialog = [&](QPrinter& printer) {
    dialogDocName = printer.docName();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(printed));
    return true;
  };
  system_.Setup = [](const TReportSettings&) { return std::optional<TReportChoice>({TReportDestination::Printer, {}}); };
  system_.Execute(settings_);
  EXPECT_EQ(dialogDocName, QStringLiteral("Dodavky od dodavatele"));
  EXPECT_EQ(system_.StatusLog.last(), QStringLiteral("Tisknu stranu 3"));
  EXPECT_EQ(system_.StatusLog.first(), QStringLiteral("Tisknu stranu 1"));
  std::string text = PdfText(printed);
  EXPECT_EQ(text, PdfText(pdf));
  EXPECT_NE(text.find("Stránka"), std::string::npos);
  EXPECT_NE(RunCommand("pdfinfo " + printed).out.find("Dodavky od dodavatele"), std::string::npos);

  // Storno in the print dialog prints nothing.
  std::filesystem::remove(printed);
  system_.PrintDialog = [](QPrinter&) { return false; };
  system_.Execute(settings_);
  EXPECT_FALSE(std::filesystem::exists(printed));
}

// A file name the setup was given that cannot be written: the run ends with
// the Czech message, and nothing is left under that name.
TEST_F(ReportSystemTest, AFileThatCannotBeWrittenIsReported) {
  std::filesystem::create_directory(dir_.File("adresar.pdf"));
  struct Case {
    TReportDestination format;
    std::string file;
  };
  const Case cases[] = {
      {TReportDestination::Pdf, dir_.File("nikde/Sestava.pdf")},
      {TReportDestination::Html, dir_.File("nikde/Sestava.html")},
      {TReportDestination::Pdf, dir_.File("adresar.pdf")},
      {TReportDestination::Html, dir_.File(std::string(300, 'x') + ".html")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    system_.Setup = [&](const TReportSettings&) { return std::optional<TReportChoice>({c.format, c.file}); };
    try {
      system_.Execute(settings_);
      ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
      EXPECT_EQ(std::string(e.what()), "Soubor " + c.file + " nelze vytvořit");
    }
    std::error_code tooLong;
    EXPECT_FALSE(std::filesystem::is_regular_file(c.file, tooLong));
  }
}

TEST_F(ReportSystemTest, ThePreviewPagesThroughAndCanStillSave) {
  const std::string saved = dir_.File("z-nahledu.html");
  system_.Setup = [](const TReportSettings&) { return std::optional<TReportChoice>({TReportDestination::Preview, {}}); };
  system_.SaveDialog = [&](const TReportSettings&) {
    return std::optional<TReportChoice>({TReportDestination::Html, saved});
  };
  int shown = 0;
  system_.ShowPreview = [&](TReportPreview& preview) {
    ++shown;
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Náhled před tiskem"));
    EXPECT_EQ(preview.PageCount(), 3);
    EXPECT_EQ(preview.PageLabel->text(), QStringLiteral("Strana 1 z 3"));
    EXPECT_FALSE(preview.PriorButton->isEnabled());
    preview.NextButton->click();
    preview.NextButton->click();
    EXPECT_EQ(preview.PageIndex(), 2);
    EXPECT_FALSE(preview.NextButton->isEnabled());
    preview.FirstButton->click();
    EXPECT_EQ(preview.PageIndex(), 0);
    // At 100 %, an A4 page is 21 cm wide on the screen.
    QImage page = preview.PageImage(0);
    EXPECT_NEAR(page.width() / (page.dotsPerMeterX() / 100.0), 21.0, 0.05);
    // The text is painted: dark pixels where the first line stands, none at the bottom.
    auto darkPixels = [&](int fromRow, int toRow) {
      int n = 0;
      for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < page.width(); ++x) n += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
      return n;
    };
    EXPECT_GT(darkPixels(0, page.height() / 10), 20);
    EXPECT_EQ(darkPixels(page.height() / 2, page.height()), 0);
    preview.SaveButton->click();
  };
  system_.Execute(settings_);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(system_.StatusLog.first(), QStringLiteral("Tisknu stranu 1"));
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_NE(RunCommand("cat " + saved).out.find("<td>Stránka</td>"), std::string::npos);
}

}  // namespace
