// The code lists on the demo data: opened from the main menu and directly
// as the card editor opens them, their keys, the new and change commands
// with the entry editors, and the code check.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>

#include "controls/db_edit_orvet.h"
#include "screens/code_editor.h"
#include "screens/code_list.h"
#include "screens/code_list_commands.h"
#include "screen_test.h"
#include "support/lock_holder.h"
#include "xbase/lock_protocol.h"

namespace {

class CodeListTest : public ScreenTest {
 protected:
  // Shows the list of `table` as the card editor does (pick mode) over the
  // main window, runs `script` in it and returns the code picked.
  std::optional<std::string> Pick(TCodeTable table, std::function<void(QWidget*)> script) {
    TCodeTableOpen open(data_, table);
    OnModal(std::move(script));
    return ShowCodeList(data_, table, window_.get(), {true, QPoint(160, 80)});
  }
};

TEST_F(CodeListTest, EnterClosesTheKindsListFromTheMenuButNotTheGroupsList) {
  bool closedByEnter = false;
  OnModal([&](QWidget* list) {
    EXPECT_EQ(list->windowTitle(), "Druhy sortimentu");
    EXPECT_EQ(list->pos(), window_->frameGeometry().topLeft() + QPoint(160, 50));
    Press(Qt::Key_Return);
    closedByEnter = !list->isVisible();
    if (!closedByEnter) list->close();
  });
  window_->Druhysortimnetu1->trigger();
  EXPECT_TRUE(closedByEnter);
  EXPECT_FALSE(data_.SortiDruh.Active());

  bool openAfterEnter = false, closedByEsc = false;
  OnModal([&](QWidget* list) {
    EXPECT_EQ(list->windowTitle(), QString::fromUtf8("Přehled skupin sortimentu"));
    Press(Qt::Key_Return);
    openAfterEnter = list->isVisible();
    Press(Qt::Key_Escape);
    closedByEsc = !list->isVisible();
  });
  window_->Skupinysortimentu1->trigger();
  EXPECT_TRUE(openAfterEnter);
  EXPECT_TRUE(closedByEsc);
  EXPECT_FALSE(data_.SortiSkup.Active());
}

TEST_F(CodeListTest, PickModeGivesTheCodeOfTheRowLeftSelected) {
  // Down to the second unit, then a double click would do as Enter does.
  std::optional<std::string> picked = Pick(TCodeTable::Units, [](QWidget*) {
    Press(Qt::Key_Down);
    Press(Qt::Key_Enter);
  });
  ASSERT_TRUE(picked);
  EXPECT_EQ(*picked, Rows("MJE0000.DBF", {"MJE_TYP"})[1][0]);

  EXPECT_FALSE(Pick(TCodeTable::Makers, [](QWidget*) { Press(Qt::Key_Escape); }));
}

TEST_F(CodeListTest, TheUnitsListHasNoToolbarAndIgnoresF2AndF4) {
  const long before = RecordCount("MJE0000.DBF");
  Pick(TCodeTable::Units, [](QWidget* list) {
    EXPECT_TRUE(list->findChildren<QPushButton*>().isEmpty());
    Press(Qt::Key_F2);
    Press(Qt::Key_F4);
    EXPECT_EQ(QApplication::activeModalWidget(), list);   // no editor opened
    Press(Qt::Key_Escape);
  });
  EXPECT_EQ(RecordCount("MJE0000.DBF"), before);
}

// F2 then "Storno" (or Esc) leaves every list's table without a new row.
TEST_F(CodeListTest, NewEntryCancelledLeavesNoRow) {
  struct Case {
    TCodeTable table;
    const char* file;
    bool esc;
  };
  for (Case c : {Case{TCodeTable::Groups, "SSK0000.DBF", false}, Case{TCodeTable::Kinds, "SDR0000.DBF", true},
                 Case{TCodeTable::Subgroups, "SPK0000.DBF", false}, Case{TCodeTable::Makers, "SVR0000.DBF", true}}) {
    SCOPED_TRACE(c.file);
    const long before = RecordCount(c.file);
    Pick(c.table, [&](QWidget* list) {
      OnModal([&](QWidget* editor) {
        EXPECT_EQ(editor->pos(), list->frameGeometry().topLeft() + QPoint(30, 55));
        Type("ABC");
        if (c.esc) Press(Qt::Key_Escape);
        else Click(Child<QPushButton>(editor, "Button1"));
      });
      Press(Qt::Key_F2);
      Press(Qt::Key_Escape);
    });
    EXPECT_EQ(RecordCount(c.file), before);
  }
}

TEST_F(CodeListTest, ANewSubgroupIsStoredWithItsCodeAndName) {
  std::optional<std::string> picked = Pick(TCodeTable::Subgroups, [&](QWidget* list) {
    OnModal([&](QWidget* editor) {
      EXPECT_EQ(editor->windowTitle(), QString::fromUtf8("Editace položky podskupiny"));
      EXPECT_EQ(Focused(), "DBEditOrvet1");
      Type("X12");
      Press(Qt::Key_Return);
      Type(QString::fromUtf8("Zkušební podskupina"));
      Press(Qt::Key_Return);   // on to "Zapiš"
      Click(Child<QPushButton>(editor, "Button2"));
    });
    Click(Child<QPushButton>(list, "Button1"));
    EXPECT_EQ(Focused(), "DBGrid1");
    EXPECT_EQ(QApplication::activeModalWidget(), list);
    Press(Qt::Key_Return);   // the new row is the current one
    EXPECT_FALSE(list->isVisible());
  });
  EXPECT_EQ(picked.value_or("none"), "X12");
  auto rows = Rows("SPK0000.DBF", {"SPK_SKU", "SPK_NAC"});
  EXPECT_EQ(rows.back(), (std::vector<std::string>{"X12", "Zkušební podskupina"}));
}

// The code edit of the groups editor cannot be left with a code that is
// not 3 characters long once trimmed, and says so.
TEST_F(CodeListTest, GroupCodeMustHaveThreeCharacters) {
  struct Case {
    const char* typed;
    bool leaves;
  };
  for (Case c : {Case{"AB", false}, Case{" AB ", false}, Case{"ABCD", true} /* cut to 3 by the field */,
                 Case{"K1Z", true}}) {
    SCOPED_TRACE(c.typed);
    Pick(TCodeTable::Groups, [&](QWidget* list) {
      OnModal([&](QWidget* editor) {
        Type(c.typed);
        Press(Qt::Key_Tab);
        EXPECT_EQ(Focused() == "DBEditOrvet2", c.leaves);
        Press(Qt::Key_Escape);
      });
      Press(Qt::Key_F2);
      Press(Qt::Key_Escape);
    });
  }
  EXPECT_EQ(ControlTexts(), (std::vector<std::string>{"Kód musí mít 3 znaky !", "Kód musí mít 3 znaky !"}));
}

// Bad values in each entry editor: "Zapiš" does not close it while a value
// is refused, and "Storno" then leaves the code table's file as it was.
TEST_F(CodeListTest, BadValuesInTheEditorsWriteNothing) {
  const std::string shortCode = "Kód musí mít 3 znaky !";
  struct Case {
    const char* what;
    TCodeTable table;
    const char* file;
    std::vector<QString> typed;   // into the editor's edits, top to bottom
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"group code of two letters", TCodeTable::Groups, "SSK0000.DBF", {"AB"}, {shortCode}},
      {"empty group code", TCodeTable::Groups, "SSK0000.DBF", {""}, {shortCode}},
      // A refused number is refused again when "Storno" takes the focus;
      // a refused code is not (no message to a user who is cancelling).
      {"group commission of two signs", TCodeTable::Groups, "SSK0000.DBF", {"K1Z", "Název", "1-2"},
       {"'1-2' není platné číslo !", "'1-2' není platné číslo !"}},
      {"group commission wider than its column", TCodeTable::Groups, "SSK0000.DBF", {"K1Z", "Název", "123456789"},
       {"numeric value too big in field SSK_PRO - 123456789.00", "numeric value too big in field SSK_PRO - 123456789.00"}},
      {"kind code of one letter", TCodeTable::Kinds, "SDR0000.DBF", {"A"}, {shortCode}},
      {"subgroup code of blanks", TCodeTable::Subgroups, "SPK0000.DBF", {"   "}, {shortCode}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    controlMessages.clear();
    const std::string before = Bytes({c.file})[0];
    bool stayedOpen = false;
    Pick(c.table, [&](QWidget*) {
      OnModal([&](QWidget* editor) {
        for (size_t i = 0; i < c.typed.size(); ++i) {
          Child<TDBEditOrvet>(editor, ("DBEditOrvet" + std::to_string(i + 1)).c_str())->setFocus();
          Type(c.typed[i]);
        }
        Click(Child<QPushButton>(editor, "Button2"));
        stayedOpen = editor->isVisible();
        if (stayedOpen) Click(Child<QPushButton>(editor, "Button1"));
      });
      Press(Qt::Key_F2);
      Press(Qt::Key_Escape);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ControlTexts(), c.boxes);
    EXPECT_TRUE(Bytes({c.file})[0] == before);
  }
}

TEST_F(CodeListTest, StornoClosesTheKindsEditorEvenWithATwoLetterCode) {
  const auto before = Rows("SDR0000.DBF", {"SDR_SKU", "SDR_NAC"});
  bool closed = false;
  Pick(TCodeTable::Kinds, [&](QWidget* list) {
    OnModal([&](QWidget* editor) {
      Press(Qt::Key_End);
      Press(Qt::Key_Backspace);   // the current kind's code, now two letters
      Click(Child<QPushButton>(editor, "Button1"));
      closed = !editor->isVisible();
    });
    Press(Qt::Key_F4);
    Press(Qt::Key_Escape);
  });
  EXPECT_TRUE(closed);
  EXPECT_EQ(Rows("SDR0000.DBF", {"SDR_SKU", "SDR_NAC"}), before);
}

TEST_F(CodeListTest, ChangedMakerIsWritten) {
  Pick(TCodeTable::Makers, [&](QWidget* list) {
    OnModal([&](QWidget* editor) {
      EXPECT_EQ(editor->windowTitle(), QString::fromUtf8("Editace položky výrobce"));
      Press(Qt::Key_Tab);
      Type(QString::fromUtf8("Nový výrobce"));
      Press(Qt::Key_Return);
      Click(Child<QPushButton>(editor, "Button2"));
    });
    Press(Qt::Key_Down);
    Press(Qt::Key_F4);
    Press(Qt::Key_Escape);
  });
  EXPECT_EQ(Rows("SVR0000.DBF", {"SVR_NAC"})[1][0], "Nový výrobce");
}

// An entry a shop program holds locked cannot be changed: the groups and
// kinds lists say why with the error's own text, the manufacturers and
// subgroups lists end silently; the row is left browsing in every list.
TEST_F(CodeListTest, ChangingAnEntryAShopHoldsLocked) {
  struct Case {
    TCodeTable table;
    const char* file;
    bool reported;
  };
  for (Case c : {Case{TCodeTable::Groups, "SSK0000.DBF", true}, Case{TCodeTable::Kinds, "SDR0000.DBF", true},
                 Case{TCodeTable::Subgroups, "SPK0000.DBF", false}, Case{TCodeTable::Makers, "SVR0000.DBF", false}}) {
    SCOPED_TRACE(c.file);
    ui_.Clear();
    XbDbfFile f;
    f.Open(data_.DataFile(c.file), XbDbfFile::Options{});
    const XbLockRegion region = RecordLockRegion(TXbLockProtocol::ClipLock, 1, false, f.HeaderLength(), f.RecordLength());
    f.Close();
    LockHolder shop(data_.DataFile(c.file), region.offset, region.length, -1);
    ASSERT_TRUE(shop.Locked());
    bool editorOpened = false;
    TDataSetState state = TDataSetState::Inactive;
    Pick(c.table, [&](QWidget* list) {
      // An editor that opened all the same is closed again.
      QTimer::singleShot(500, list, [&, list] {
        QWidget* top = QApplication::activeModalWidget();
        if (top && top != list) {
          editorOpened = true;
          top->close();
        }
      });
      Press(Qt::Key_F4);
      state = data_.Table(CodeFamilyMember(c.table).object).State();
      Press(Qt::Key_Escape);
    });
    EXPECT_FALSE(editorOpened);
    EXPECT_EQ(state, TDataSetState::Browse);
    EXPECT_EQ(ui_.Texts(), c.reported ? std::vector<std::string>{"Record is locked by another user"}
                                      : std::vector<std::string>{});
  }
}

}  // namespace
