// The variants of a card: F7 from the main window on the demo data, the
// list limited to the card, and new variants through the variant editor,
// with the proposed index and the refused ones.

#include <functional>
#include <gtest/gtest.h>

#include <QLabel>

#include "controls/db_edit_orvet.h"
#include "controls/edit_orvet.h"
#include "screen_test.h"
#include "screens/variant_list.h"

namespace {

TEST(NextVariantIndex, HighestNumberPlusOneWithTwoDigits) {
  struct Case {
    std::vector<std::string> indexes;
    std::string next;
  };
  std::vector<std::string> ten = {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"};
  std::vector<std::string> unpadded = {"1", "10", "2", "3", "4", "5", "6", "7", "8", "9"};   // key order
  for (const Case& c : {Case{{}, "01"}, Case{{"01"}, "02"}, Case{ten, "11"}, Case{unpadded, "11"},
                        Case{{"03", "A1", " 7"}, "08"}, Case{{"099"}, "100"}}) {
    EXPECT_EQ(NextVariantIndex(c.indexes), c.next);
  }
}

class VariantsTest : public ScreenTest {
 protected:
  std::string CurrentCard() { return data_.Sor0000.FieldByName("SOR_KAV").AsString(); }
  std::vector<std::string> IndexesOf(const std::string& card) {
    std::vector<std::string> indexes;
    for (const auto& row : Rows("SKL0000.DBF", {"SKL_KAV", "SKL_IND"}))
      if (row[0] == card) indexes.push_back(row[1]);
    return indexes;
  }
  // Runs F7 with `script` in the list.
  void Variants(std::function<void(QWidget*)> script) {
    OnModal(std::move(script));
    QTest::keyClick(window_->DBGrid1, Qt::Key_F7);
  }
  // Opens a new variant's editor (F2 in the list), lets `fill` type into it,
  // presses "OK" and then "Storno"; returns whether "OK" left it open.
  bool RefusedNewVariant(const std::function<void(QWidget* editor)>& fill) {
    bool stayedOpen = false;
    Variants([&](QWidget*) {
      OnModal([&](QWidget* editor) {
        fill(editor);
        Click(Child<QPushButton>(editor, "Button2"));
        stayedOpen = editor->isVisible();
        Click(Child<QPushButton>(editor, "Button1"));
      });
      Press(Qt::Key_F2);
      Press(Qt::Key_Escape);
    });
    return stayedOpen;
  }
};

TEST_F(VariantsTest, F7ListsTheVariantsOfTheCurrentCardOnly) {
  const std::string card = CurrentCard();
  const size_t variants = IndexesOf(card).size();
  ASSERT_GT(variants, 0u);
  Variants([&](QWidget* list) {
    EXPECT_EQ(list->windowTitle().toStdString(), "Přehled variant karty " + card);
    auto* grid = Child<TDBGrid>(list, "DBGrid1");
    EXPECT_EQ(grid->model()->rowCount(), static_cast<int>(variants));
    EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), "NC");
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), "Stav.cel.");
    Press(Qt::Key_Escape);
  });
  EXPECT_FALSE(data_.Skl0000.Active());
  EXPECT_EQ(window_->focusWidget(), window_->DBGrid1);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(VariantsTest, NewVariantGetsTheNextIndexAndItsDefaults) {
  const std::string card = CurrentCard();
  const std::vector<std::string> before = IndexesOf(card);
  std::string proposed;
  Variants([&](QWidget* list) {
    OnModal([&](QWidget* editor) {
      EXPECT_EQ(editor->windowTitle(), "EditaceVarianta");
      proposed = Child<TEditOrvet>(editor, "EditOrvet1")->text().toStdString();
      EXPECT_EQ(Child<TDBEditOrvet>(editor, "DBEditOrvet3")->text(), "CZK");
      EXPECT_FALSE(Child<TDBEditOrvet>(editor, "DBEditOrvet3")->isEnabled());
      EXPECT_EQ(Focused(), "EditOrvet1");
      Press(Qt::Key_Return);
      Type("12,5");
      Press(Qt::Key_Return);   // the disabled fields are passed over, on to the note
      EXPECT_EQ(Focused(), "DBEditOrvet6");
      Type("nova.cena");
      Press(Qt::Key_Return);
      Click(Child<QPushButton>(editor, "Button2"));
    });
    Press(Qt::Key_F2);
    EXPECT_EQ(Child<TDBGrid>(list, "DBGrid1")->model()->rowCount(), static_cast<int>(before.size() + 1));
    Press(Qt::Key_Escape);
  });
  EXPECT_EQ(proposed, NextVariantIndex(before));
  auto rows = Rows("SKL0000.DBF", {"SKL_KAV", "SKL_IND", "SKL_SNC", "SKL_POC", "SKL_MEN", "SKL_KUR", "SKL_POZ"});
  EXPECT_EQ(rows.back(), (std::vector<std::string>{card, proposed, "12.50", "0", "CZK", "1.000", "nova,cena"}));
}

TEST_F(VariantsTest, EscInTheEditorLeavesTheListUnchanged) {
  const long before = RecordCount("SKL0000.DBF");
  Variants([&](QWidget* list) {
    OnModal([](QWidget*) { Press(Qt::Key_Escape); });
    Press(Qt::Key_F2);
    EXPECT_EQ(Child<TDBGrid>(list, "DBGrid1")->model()->rowCount(), static_cast<int>(IndexesOf(CurrentCard()).size()));
    Press(Qt::Key_Escape);
  });
  EXPECT_EQ(RecordCount("SKL0000.DBF"), before);
}

// An empty index and one the card has are refused; the editor stays open.
TEST_F(VariantsTest, EmptyOrRepeatedIndexIsRefused) {
  const long before = RecordCount("SKL0000.DBF");
  const std::string existing = IndexesOf(CurrentCard()).front();
  struct Case {
    std::string typed, message;
  };
  for (const Case& c : {Case{"", "Varianta skladové ceny není vyplněna !"},
                        Case{"   ", "Varianta skladové ceny není vyplněna !"},
                        Case{existing, "Varianta " + existing + " již u této karty existuje !"}}) {
    SCOPED_TRACE(c.typed);
    ui_.Clear();
    EXPECT_TRUE(RefusedNewVariant([&](QWidget* editor) {
      Child<TEditOrvet>(editor, "EditOrvet1")->selectAll();
      Press(Qt::Key_Backspace);
      Type(QString::fromStdString(c.typed));
    }));
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{c.message});
  }
  EXPECT_EQ(RecordCount("SKL0000.DBF"), before);
}

// Bad values in the variant editor: an index its card's list could not
// show, a price that is no number. The editor says why and stays open;
// "Storno" then leaves the variant file as it was.
TEST_F(VariantsTest, BadValuesInTheEditorWriteNothing) {
  const std::vector<std::string> files = {"SKL0000.DBF", "SKL0000.CDX"};
  const std::string notANumber = "Varianta skladové ceny musí být číslo 000 až 999 !";
  struct Case {
    const char* what;
    QString index, price;
    std::vector<std::string> messages, controlBoxes;
  };
  const Case cases[] = {
      {"index of letters", "AB", "", {notANumber}, {}},
      {"index with a letter after a digit", "1A", "", {notANumber}, {}},
      {"index with a blank in front", " 7", "", {notANumber}, {}},
      {"index 0", "0", "", {notANumber}, {}},
      {"index 00", "00", "", {notANumber}, {}},
      // A refused price is refused again when "Storno" takes the focus.
      {"price of two signs", "", "1-2", {}, {"'1-2' není platné číslo !", "'1-2' není platné číslo !"}},
      {"price wider than its column", "", "12345678901", {},
       {"numeric value too big in field SKL_SNC - 12345678901.00", "numeric value too big in field SKL_SNC - 12345678901.00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui_.Clear();
    controlMessages.clear();
    const std::vector<std::string> before = Bytes(files);
    EXPECT_TRUE(RefusedNewVariant([&](QWidget* editor) {
      if (!c.index.isEmpty()) {
        Child<TEditOrvet>(editor, "EditOrvet1")->selectAll();
        Press(Qt::Key_Backspace);
        Type(c.index);
      }
      if (!c.price.isEmpty()) {
        Child<TDBEditOrvet>(editor, "DBEditOrvet2")->setFocus();
        Type(c.price);
      }
    }));
    EXPECT_EQ(ui_.Texts(), c.messages);
    EXPECT_EQ(ControlTexts(), c.controlBoxes);
    EXPECT_TRUE(Bytes(files) == before);
  }
}

}  // namespace
