// The card editor through the main window's F2 and F4 on the demo data:
// what lands in the card and variant files, the number check, the code
// lookups, the page turns, the lock of an edited card and a failed save.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTabWidget>

#include "controls/edit_button.h"
#include "controls/edit_orvet.h"
#include "screen_test.h"
#include "screens/card_editor.h"
#include "support/lock_holder.h"
#include "xbase/lock_protocol.h"

namespace {

const std::vector<std::string> kCardFields = {"SOR_KAV", "SOR_NAC", "SOR_VYR", "SOR_DAN", "SOR_MJE", "SOR_PC1",
                                              "SOR_SKL", "SOR_S01", "SOR_OTV", "SOR_SLE"};

class CardEditorTest : public ScreenTest {
 protected:
  // Runs F2 (or F4) with `script` in the editor.
  void Command(Qt::Key key, std::function<void(TSorEdit*)> script) {
    OnModal([script](QWidget* w) { script(static_cast<TSorEdit*>(w)); });
    window_->DBGrid1->setFocus();
    QTest::keyClick(window_->DBGrid1, key);
  }
  static void SetFields(TSorEdit* e, const std::vector<std::pair<int, QString>>& texts) {
    for (const auto& [n, text] : texts) e->Edit(n)->setText(text);
  }
  static std::vector<std::pair<int, QString>> ValidNewCard() {
    return {{1, "777777"}, {3, QString::fromUtf8("Nová karta")}, {2, "001"}, {13, "12,5"}, {14, "99,9"}};
  }
  std::vector<std::string> CardRow(const std::string& kav) {
    for (auto& row : Rows("SOR0000.DBF", kCardFields))
      if (row[0] == kav) return row;
    return {};
  }
  std::vector<std::vector<std::string>> VariantsOf(const std::string& kav) {
    std::vector<std::vector<std::string>> out;
    for (auto& row : Rows("SKL0000.DBF", {"SKL_KAV", "SKL_IND", "SKL_SNC", "SKL_MEN", "SKL_KUR", "SKL_POZ"}))
      if (row[0] == kav) out.push_back(row);
    return out;
  }
  std::string Current() { return data_.Sor0000.FieldByName("SOR_KAV").AsString(); }
  std::string FirstCard() { return Rows("SOR0000.DBF", {"SOR_KAV"}).front()[0]; }
};

TEST_F(CardEditorTest, NewCardIsWrittenWithItsFirstVariant) {
  const long cards = RecordCount("SOR0000.DBF");
  Command(Qt::Key_F2, [](TSorEdit* e) {
    EXPECT_EQ(e->windowTitle(), QString::fromUtf8("Editace položky sortimentu"));
    EXPECT_EQ(Focused(), "EditOrvet1");
    EXPECT_EQ(e->Edit(5)->text(), "19");
    EXPECT_EQ(e->Edit(6)->text(), "ks");
    EXPECT_EQ(e->Edit(21)->text(), "99");
    EXPECT_EQ(e->Edit(24)->text(), "1");
    EXPECT_EQ(e->Edit(9)->text(), "000");
    EXPECT_TRUE(e->SkladovaPolozka->isChecked());
    EXPECT_FALSE(e->SkladovaPolozka->isEnabled());
    SetFields(e, ValidNewCard());
    Click(e->ZapisButton);
  });
  EXPECT_EQ(RecordCount("SOR0000.DBF"), cards + 1);
  EXPECT_EQ(CardRow("777777"),
            (std::vector<std::string>{"777777", "Nová karta", "001", "19.0", "ks", "99.90", "T", "0", "1.000", "99.00"}));
  EXPECT_EQ(VariantsOf("777777"), (std::vector<std::vector<std::string>>{
                                      {"777777", "01", "12.50", "CZK", "1.000", "Založeno 07.05.2004"}}));
  EXPECT_EQ(data_.Sor0000.FieldByName("SOR_KAV").AsString(), "777777");   // the grid stands on it
  EXPECT_EQ(data_.Sor0000.CurrentTagName(), "KAV");
  EXPECT_FALSE(data_.Skl0000.Active());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(CardEditorTest, NewCardWhoseNumberHasVariant01GetsNoSecondOne) {
  // A variant 01 of card 888888 is there before its card.
  TDbfTable& skl = data_.Skl0000;
  skl.Open();
  skl.OpenIndexFile(data_.DataFile("Skl0000.cdx"));
  skl.SelectTag("KAV");
  skl.Append();
  skl.FieldByName("SKL_KAV").SetAsString("888888");
  skl.FieldByName("SKL_IND").SetAsString("01");
  skl.FieldByName("SKL_POZ").SetAsString("dřív");
  skl.Post();
  skl.CloseIndexFile(data_.DataFile("Skl0000.cdx"));
  skl.Close();

  Command(Qt::Key_F2, [](TSorEdit* e) {
    SetFields(e, {{1, "888888"}, {3, "Karta"}, {13, "1"}});
    Click(e->ZapisButton);
  });
  EXPECT_EQ(CardRow("888888").at(1), "Karta");
  ASSERT_EQ(VariantsOf("888888").size(), 1u);
  EXPECT_EQ(VariantsOf("888888")[0][5], "dřív");
}

// The number check when the number is left, and a save that then writes nothing.
TEST_F(CardEditorTest, CardNumberCheck) {
  struct Case {
    std::string number;
    bool byStorno;
    std::vector<RecordedMessage> messages;
  };
  const std::string existing = FirstCard();
  for (const Case& c : {Case{"12345", false, {{RecordedMessage::Error, "Číslo není šestimístné !"}}},
                        Case{existing, false, {{RecordedMessage::Message, "Toto číslo již existuje !"}}},
                        Case{"12345", true, {}}}) {
    SCOPED_TRACE(c.number);
    ui_.Clear();
    const long cards = RecordCount("SOR0000.DBF");
    bool focusKept = false;
    std::vector<RecordedMessage> shown;
    Command(Qt::Key_F2, [&](TSorEdit* e) {
      Type(QString::fromStdString(c.number));
      if (c.byStorno) {
        Click(e->StornoButton);
        return;
      }
      Press(Qt::Key_Tab);
      focusKept = Focused() == "EditOrvet1";
      shown = ui_.messages;
      e->Edit(3)->setText("Jméno");
      Click(e->ZapisButton);
    });
    if (c.byStorno) EXPECT_TRUE(ui_.messages.empty());
    else EXPECT_EQ(shown, c.messages);
    if (!c.byStorno) {
      EXPECT_TRUE(focusKept);
    }
    EXPECT_EQ(RecordCount("SOR0000.DBF"), cards);
  }
}

TEST_F(CardEditorTest, UnknownCodeLeftWithTabOpensItsList) {
  bool listOpened = false;
  QString focusAfterCancel;
  Command(Qt::Key_F2, [&](TSorEdit* e) {
    SetFields(e, {{1, "777776"}, {3, "Karta"}});
    e->Edit(2)->setFocus();
    Type("ZZZ");
    OnModal([&](QWidget* list) {
      listOpened = list->windowTitle() == QString::fromUtf8("Přehled výrobců");
      Press(Qt::Key_Escape);
    });
    Press(Qt::Key_Tab);
    focusAfterCancel = Focused();
    // Left with the mouse, the code stays as typed.
    Click(e->Edit(5));
    EXPECT_EQ(e->Edit(2)->text(), "ZZZ");
    e->Edit(13)->setText("0");
    Click(e->ZapisButton);
  });
  EXPECT_TRUE(listOpened);
  EXPECT_EQ(focusAfterCancel, "EditOrvet2");
  EXPECT_EQ(CardRow("777776").at(2), "ZZZ");
}

TEST_F(CardEditorTest, ButtonOpensTheListOnTheCodesRowAndPicks) {
  const auto makers = Rows("SVR0000.DBF", {"SVR_CIS"});
  ASSERT_GE(makers.size(), 3u);
  std::string picked;
  Command(Qt::Key_F2, [&](TSorEdit* e) {
    e->Edit(2)->setText(QString::fromStdString(makers[1][0]));
    OnModal([&](QWidget* list) {
      EXPECT_EQ(list->pos(), e->frameGeometry().topLeft() + QPoint(160, 80));
      Press(Qt::Key_Down);   // from the code's row to the next
      Press(Qt::Key_Return);
    });
    Click(e->Edit(2)->EditButton());
    picked = e->Edit(2)->text().toStdString();
    Press(Qt::Key_Escape);
  });
  EXPECT_EQ(picked, makers[2][0]);
}

TEST_F(CardEditorTest, EmptyPurchasePriceStoresZeroAfterTheFormatMessage) {
  Command(Qt::Key_F2, [](TSorEdit* e) {
    SetFields(e, {{1, "777775"}, {3, "Bez ceny"}});
    Click(e->ZapisButton);
  });
  EXPECT_EQ(ControlTexts(), std::vector<std::string>{" Chybný formát dat "});
  ASSERT_EQ(VariantsOf("777775").size(), 1u);
  EXPECT_EQ(VariantsOf("777775")[0][2], "0.00");
}

TEST_F(CardEditorTest, LeavingTheLastFieldOfAPageTurnsToTheNext) {
  Command(Qt::Key_F2, [](TSorEdit* e) {
    e->Edit(1)->setText("777770");
    e->Edit(4)->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(e->PageControl1->currentIndex(), 1);
    EXPECT_EQ(Focused(), "EditOrvet9");
    e->Edit(12)->setFocus();
    Press(Qt::Key_Tab);
    EXPECT_EQ(e->PageControl1->currentIndex(), 2);
    EXPECT_EQ(Focused(), "EditOrvet13");
    EXPECT_FALSE(e->Button1->isVisible());
    e->Edit(21)->setFocus();
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), "Storno");
    Press(Qt::Key_Escape);
  });
}

TEST_F(CardEditorTest, EditingChangesNeitherNumberNorVatNorStock) {
  const std::string card = FirstCard();
  const std::vector<std::string> before = CardRow(card);
  Command(Qt::Key_F4, [&](TSorEdit* e) {
    EXPECT_EQ(Focused(), "EditOrvet3");
    EXPECT_FALSE(e->Edit(1)->isEnabled());
    EXPECT_FALSE(e->Edit(5)->isEnabled());
    EXPECT_EQ(e->Edit(1)->text().toStdString(), card);
    e->Edit(3)->setText("Nové jméno");
    e->Edit(14)->setText("55,5");
    e->Edit(1)->setText("999999");   // disabled: never written
    e->Edit(5)->setText("21");
    Click(e->ZapisButton);
  });
  std::vector<std::string> expected = before;
  expected[1] = "Nové jméno";
  expected[5] = "55.50";
  expected[6] = "T";
  EXPECT_EQ(CardRow(card), expected);
  EXPECT_TRUE(ui_.messages.empty());
}

// A VAT rate with decimals does not fit the integer field: the format box
// while the editor is filled, the text shown all the same, never written.
// The card's variants are one click away on "Ceny".
TEST_F(CardEditorTest, EditingACardWithDecimalsInItsVatRateAndItsVariants) {
  TDbfTable& sor = data_.Sor0000;
  sor.Edit();
  sor.FieldByName("SOR_DAN").SetAsFloat(19.5);
  sor.Post();
  const std::string card = Current();
  QString variantsCaption;
  bool editorStillOpen = false;
  Command(Qt::Key_F4, [&](TSorEdit* e) {
    EXPECT_EQ(e->Edit(5)->text(), "19,5");
    e->PageControl1->setCurrentIndex(2);
    EXPECT_TRUE(e->Button1->isVisible());
    EXPECT_FALSE(e->Edit(13)->isVisible());
    OnModal([&](QWidget* list) {
      variantsCaption = list->windowTitle();
      Press(Qt::Key_Escape);
    });
    Click(e->Button1);
    editorStillOpen = e->isVisible();
    Click(e->ZapisButton);
  });
  EXPECT_EQ(ControlTexts(), std::vector<std::string>{" Chybný formát dat "});
  EXPECT_EQ(variantsCaption.toStdString(), "Přehled variant karty " + card);
  EXPECT_TRUE(editorStillOpen);
  EXPECT_EQ(CardRow(card).at(3), "19.5");
  EXPECT_FALSE(data_.Skl0000.Active());
}

TEST_F(CardEditorTest, ACardLockedByAShopIsNotChanged) {
  const std::string card = FirstCard();
  const std::vector<std::string> before = CardRow(card);
  XbDbfFile f;
  f.Open(data_.DataFile("SOR0000.DBF"), XbDbfFile::Options{});
  const XbLockRegion region =
      RecordLockRegion(TXbLockProtocol::ClipLock, data_.Sor0000.RecNo(), true, f.HeaderLength(), f.RecordLength());
  f.Close();
  LockHolder shop(data_.DataFile("SOR0000.DBF"), region.offset, region.length, -1);
  ASSERT_TRUE(shop.Locked());
  Command(Qt::Key_F4, [](TSorEdit* e) {
    e->Edit(3)->setText("Změna");
    Click(e->ZapisButton);
  });
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Nelze zamknout zaznam v tabulce " + data_.Sor0000.TableName()});
  EXPECT_EQ(CardRow(card), before);
}

// A number field given a text that is no number ends the save: the error is
// shown with its own text and the card that was not posted is dropped.
TEST_F(CardEditorTest, AFailedSaveIsShownAndLeavesNothingHalfWritten) {
  const long cards = RecordCount("SOR0000.DBF");
  Command(Qt::Key_F2, [](TSorEdit* e) {
    SetFields(e, ValidNewCard());
    e->Edit(7)->setText("1,2,3");   // "Objem v m3": no check while typed
    Click(e->ZapisButton);
  });
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Karta nebyla zapsána: '1,2,3' není platné číslo !"});
  EXPECT_EQ(RecordCount("SOR0000.DBF"), cards);
  EXPECT_EQ(data_.Sor0000.State(), TDataSetState::Browse);
  EXPECT_FALSE(data_.Skl0000.Active());
}

// Bad values in the editor's fields, typed as a user types them: each save
// ends with a message and leaves the card and variant files as they were.
TEST_F(CardEditorTest, BadValuesWriteNothing) {
  const std::vector<std::string> files = {"SOR0000.DBF", "SOR0000.CDX", "SKL0000.DBF", "SKL0000.CDX"};
  const std::string notWritten = "Karta nebyla zapsána: ";
  const std::string noName = "Název položky není vyplněn, karta nebyla zapsána !";
  struct Case {
    const char* what;
    Qt::Key command;                              // F2 new card, F4 edit
    std::vector<std::pair<int, QString>> typed;   // field, text typed into it
    std::vector<std::string> messages;            // the data module's boxes
    std::vector<std::string> controlBoxes;        // the controls' boxes
  };
  const Case cases[] = {
      {"new card without a name", Qt::Key_F2, {{1, "777771"}, {13, "1"}}, {noName}, {}},
      {"new card with a name of blanks", Qt::Key_F2, {{1, "777771"}, {3, "   "}, {13, "1"}}, {noName}, {}},
      {"name deleted from an existing card", Qt::Key_F4, {{3, ""}}, {noName}, {}},
      {"volume of two signs", Qt::Key_F2, {{1, "777772"}, {3, "Karta"}, {13, "1"}, {7, "1-2"}},
       {notWritten + "'1-2' není platné číslo !"}, {}},
      {"maximum discount of letters", Qt::Key_F2, {{1, "777773"}, {3, "Karta"}, {13, "1"}, {21, "hodně"}},
       {notWritten + "'hodně' není platné číslo !"}, {}},
      {"price A of an existing card with two decimal commas", Qt::Key_F4, {{14, "1,2,3"}},
       {notWritten + "'1,2,3' není platné číslo !"}, {}},
      {"VAT rate wider than its column", Qt::Key_F2, {{1, "777774"}, {3, "Karta"}, {13, "1"}, {5, "123456"}},
       {notWritten + "numeric value too big in field SOR_DAN - 123456.0"}, {}},
      {"weight of an existing card wider than its column", Qt::Key_F4, {{8, "12345678901"}},
       {notWritten + "numeric value too big in field SOR_HMO - 12345678901.000"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui_.Clear();
    controlMessages.clear();
    data_.Sor0000.First();
    const std::vector<std::string> before = Bytes(files);
    Command(c.command, [&](TSorEdit* e) {
      for (const auto& [n, text] : c.typed) {
        e->PageControl1->setCurrentWidget(e->Edit(n)->parentWidget());
        e->Edit(n)->setFocus();
        e->Edit(n)->selectAll();
        Press(Qt::Key_Backspace);
        Type(text);
      }
      Click(e->ZapisButton);
    });
    EXPECT_EQ(ui_.Texts(), c.messages);
    EXPECT_EQ(ControlTexts(), c.controlBoxes);
    EXPECT_TRUE(Bytes(files) == before);
    EXPECT_EQ(data_.Sor0000.State(), TDataSetState::Browse);
    EXPECT_FALSE(data_.Skl0000.Active());
  }
}

// A store code whose variant index file is not there: the card is not
// written without its first variant.
TEST_F(CardEditorTest, NoCardWithoutItsVariantIndex) {
  const std::vector<std::string> files = {"SOR0000.DBF", "SOR0000.CDX", "SKL0000.DBF", "SKL0000.CDX"};
  const std::vector<std::string> before = Bytes(files);
  data_.StoreCode = "9999";
  Command(Qt::Key_F2, [](TSorEdit* e) {
    SetFields(e, ValidNewCard());
    Click(e->ZapisButton);
  });
  ASSERT_EQ(ui_.Texts().size(), 1u);
  EXPECT_EQ(ui_.Texts()[0].rfind("Karta nebyla zapsána: ", 0), 0u) << ui_.Texts()[0];
  EXPECT_TRUE(Bytes(files) == before);
  EXPECT_FALSE(data_.Skl0000.Active());
}

}  // namespace
