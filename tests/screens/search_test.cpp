// The search of F5 on the demo data: the options with their tags, the text
// becoming a price for the price search, Enter searching at once, and the
// main grid left in the chosen order at the card found.

#include <gtest/gtest.h>

#include <QRadioButton>

#include "controls/v_edit.h"
#include "screen_test.h"
#include "screens/search_dialog.h"

namespace {

class SearchTest : public ScreenTest {
 protected:
  void Search(std::function<void(TSorHle*)> script) {
    OnModal([script](QWidget* w) { script(static_cast<TSorHle*>(w)); });
    window_->DBGrid1->setFocus();
    QTest::keyClick(window_->DBGrid1, Qt::Key_F5);
  }
  std::string Current(const char* field) { return data_.Sor0000.FieldByName(field).AsString(); }
};

TEST_F(SearchTest, OpensOnTheNameSearchWithAnEmptyTextAndTheButtonOff) {
  for (int round = 0; round < 2; ++round) {
    Search([](TSorHle* d) {
      EXPECT_EQ(d->windowTitle(), QString::fromUtf8("Hledej položku databáze"));
      EXPECT_TRUE(d->RadioButton1->isChecked());
      EXPECT_EQ(Focused(), "RadioButton1");
      EXPECT_TRUE(d->VEdit1->text().isEmpty());
      EXPECT_FALSE(d->BitBtn1->isEnabled());
      d->RadioButton4->setChecked(true);
      d->VEdit1->setFocus();
      Type("x");
      EXPECT_TRUE(d->BitBtn1->isEnabled());
      Press(Qt::Key_Escape);
    });
  }
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "KAV");   // Esc moves nothing
}

// A lower-case beginning of a name finds the first card whose upper-cased
// name starts with it; Enter in the text searches and closes at once.
TEST_F(SearchTest, NameBeginningInLowerCase) {
  const std::string name = Rows("SOR0000.DBF", {"SOR_NAC"})[7][0];
  const QString prefix = QString::fromStdString(name).left(4).toLower();
  Search([&](TSorHle*) {
    Press(Qt::Key_Return);   // from the option to the text
    EXPECT_EQ(Focused(), "VEdit1");
    Type(prefix);
    Press(Qt::Key_Return);
  });
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "NAC");
  EXPECT_TRUE(QString::fromStdString(Current("SOR_NAC")).toUpper().startsWith(prefix.toUpper()))
      << Current("SOR_NAC");
  // The first of that beginning in the name order: the grid's row above has a smaller name.
  const int row = window_->DBGrid1->Model().CurrentRow();
  if (row > 0) {
    const QString above = window_->DBGrid1->model()->data(window_->DBGrid1->model()->index(row - 1, 1)).toString();
    EXPECT_FALSE(above.toUpper().startsWith(prefix.toUpper())) << above.toStdString();
  }
}

TEST_F(SearchTest, PriceWithADecimalCommaFindsTheCardOfThatPrice) {
  // One card costs 12.50.
  TDbfTable& sor = data_.Sor0000;
  sor.SetRecNo(5);
  sor.Edit();
  sor.FieldByName("SOR_PC1").SetAsFloat(12.5);
  sor.Post();
  const std::string card = Current("SOR_KAV");
  sor.First();
  Search([&](TSorHle* d) {
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    EXPECT_TRUE(d->RadioButton3->isChecked());
    Press(Qt::Key_Return);   // the price: a float text from now on
    EXPECT_EQ(d->VEdit1->EditType(), ttFloat);
    Type("12,50");
    Press(Qt::Key_Return);
  });
  EXPECT_EQ(sor.CurrentTagName(), "PC1");
  EXPECT_DOUBLE_EQ(sor.FieldByName("SOR_PC1").AsFloat(), 12.5);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SearchTest, CardNumberNearSearch) {
  const auto numbers = Rows("SOR0000.DBF", {"SOR_KAV"});
  struct Case {
    std::string typed, found;
  };
  std::string highest;
  for (const auto& n : numbers) highest = std::max(highest, n[0]);
  for (const Case& c : {Case{numbers[3][0], numbers[3][0]}, Case{"999999", highest}}) {
    SCOPED_TRACE(c.typed);
    Search([&](TSorHle* d) {
      d->RadioButton2->setChecked(true);
      d->VEdit1->setFocus();
      Type(QString::fromStdString(c.typed));
      Click(d->BitBtn1);
    });
    EXPECT_EQ(data_.Sor0000.CurrentTagName(), "KAV");
    EXPECT_EQ(Current("SOR_KAV"), c.found);
  }
}

// Texts a search may be given. A price that is no number is refused with
// the format box and moves nothing; other texts are near searches that
// stand somewhere in the chosen order. No search writes anything.
TEST_F(SearchTest, BadSearchTexts) {
  const std::vector<std::string> files = {"SOR0000.DBF", "SOR0000.CDX"};
  const std::string firstCard = Current("SOR_KAV");
  struct Case {
    const char* what;
    QRadioButton* TSorHle::*option;
    QString typed;
    bool byClick;                         // "&Hledej" clicked, else Enter
    std::vector<std::string> boxes;
    const char* tag;                      // afterwards; KAV: nothing moved
  };
  const Case cases[] = {
      {"price of two signs, Enter", &TSorHle::RadioButton3, "1-2", false, {" Chybný formát dat "}, "KAV"},
      {"price of two signs, clicked", &TSorHle::RadioButton3, "1-2", true, {" Chybný formát dat "}, "KAV"},
      {"price of a lone separator", &TSorHle::RadioButton3, ",", false, {" Chybný formát dat "}, "KAV"},
      {"name far longer than the key", &TSorHle::RadioButton1, QString(200, 'z'), false, {}, "NAC"},
      {"name of letters outside the code page", &TSorHle::RadioButton1, QString::fromUtf8("日本"), false, {}, "NAC"},
      {"card number of letters", &TSorHle::RadioButton2, "abc", true, {}, "KAV"},
      {"supplier's code of blanks", &TSorHle::RadioButton4, "   ", false, {}, "KDO"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    controlMessages.clear();
    ui_.Clear();
    data_.Sor0000.SetIndexName("KAV");
    data_.Sor0000.First();
    const std::vector<std::string> before = Bytes(files);
    bool stayedOpen = false;
    Search([&](TSorHle* d) {
      QRadioButton* option = d->*c.option;
      option->setFocus();
      option->setChecked(true);
      Press(Qt::Key_Return);   // the option's type for the text, then to the text
      Type(c.typed);
      if (c.byClick) Click(d->BitBtn1);
      else Press(Qt::Key_Return);
      stayedOpen = d->isVisible();
      if (stayedOpen) Press(Qt::Key_Escape);
    });
    EXPECT_EQ(ControlTexts(), c.boxes);
    EXPECT_TRUE(ui_.messages.empty()) << ui_.Texts().front();
    EXPECT_EQ(stayedOpen, !c.boxes.empty());
    EXPECT_EQ(data_.Sor0000.CurrentTagName(), c.tag);
    if (!c.boxes.empty()) {
      EXPECT_EQ(Current("SOR_KAV"), firstCard);
    }
    EXPECT_TRUE(Bytes(files) == before);
  }
}

}  // namespace
