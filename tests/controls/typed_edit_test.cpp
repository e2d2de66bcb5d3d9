// TEditOrvet and TVEdit driven with keys and the mouse: the character filter
// of each edit type, the checks of numbers on exit, Enter as Tab through a
// form, OnTabExit against leaving with the mouse, and the number reading.

#include "control_test.h"

#include <QClipboard>
#include <QDialog>
#include <QPushButton>

namespace {

using TypedEdit = ControlTest;

TEST_F(TypedEdit, FiltersTypedCharactersByEditType) {
  struct Case {
    TEditType type;
    const char* typed;
    const char* shown;
    int beeps;
  };
  const Case cases[] = {
      {ttString, "a b,.7", "a b,.7", 0},
      {ttInteger, "1a2+-x", "12+-", 2},
      {ttInteger, "1.5", "1,5", 0},     // '.' and ',' enter the decimal separator
      {ttFloat, "12.5", "12,5", 0},
      {ttFloat, "1e3", "13", 1},
      {ttTime, "7:3 0", "7:30", 1},
  };
  for (const Case& c : cases) {
    Form form;
    form.orvet->SetEditType(c.type);
    Show(form.window, form.orvet);
    beeps = 0;
    Type(c.typed);
    EXPECT_EQ(form.orvet->text(), c.shown) << c.typed;
    EXPECT_EQ(beeps, c.beeps) << c.typed;
  }
}

TEST_F(TypedEdit, ClipboardShortcutsBeepInNumberEdits) {
  QApplication::clipboard()->setText("99");
  Form form;
  form.orvet->SetEditType(ttInteger);
  Show(form.window, form.orvet);
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.orvet->text(), "");
  EXPECT_EQ(beeps, 1);

  form.orvet->SetEditType(ttString);
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.orvet->text(), "99");
  EXPECT_EQ(beeps, 1);
}

TEST_F(TypedEdit, SpaceFiresOnClickSpaceInsteadOfTyping) {
  Form form;
  int clicks = 0;
  form.orvet->OnClickSpace = [&](QObject* sender) {
    EXPECT_EQ(sender, form.orvet);
    ++clicks;
  };
  Show(form.window, form.orvet);
  Type("a b");
  EXPECT_EQ(form.orvet->text(), "ab");
  EXPECT_EQ(clicks, 1);
}

TEST_F(TypedEdit, ConvertDecimalSymbolTurnsCommaIntoPoint) {
  Form form;
  form.vedit->SetEditType(ttFloat);
  form.vedit->SetConvertDecimalSymbol(true);
  Show(form.window, form.vedit);
  Type("1,5");
  EXPECT_EQ(form.vedit->text(), "1.5");
  form.vedit->SetEditType(ttString);  // not in text edits
  Type(",");
  EXPECT_EQ(form.vedit->text(), "1.5,");
}

TEST_F(TypedEdit, NumbersAreCheckedOnExit) {
  struct Case {
    TEditType type;
    int precision;
    const char* entered;
    const char* shown;
    bool passed;
  };
  const Case cases[] = {
      {ttInteger, 0, "-", "-", false},      {ttInteger, 0, "+5", "+5", true},
      {ttInteger, 0, "", "", true},         {ttInteger, 0, "1,5", "1,5", false},
      {ttFloat, 0, "1,2,3", "1,2,3", true},  // precision 0: no check
      {ttFloat, 10, "1,2,3", "1,2,3", false},
      {ttFloat, 10, "12,5", "12,50", true}, {ttFloat, 10, "-,5", "-0,50", true},
      {ttFloat, 3, "1234,5", "1234,5", true},  // more integer digits than the precision
      {ttFloat, 10, "2,675", "2,68", true},
  };
  for (const Case& c : cases) {
    Form form;
    form.orvet->SetEditType(c.type);
    form.orvet->SetFloatPrecision(c.precision);
    form.orvet->SetFloatDigits(2);
    Show(form.window, form.orvet);
    messages.clear();
    form.orvet->insert(c.entered);
    Press(Qt::Key_Tab);
    EXPECT_EQ(form.orvet->text(), c.shown) << c.entered;
    EXPECT_EQ(QApplication::focusWidget() == form.orvet, !c.passed) << c.entered;
    EXPECT_EQ(messages.size(), c.passed ? 0u : 1u) << c.entered;
  }
}

TEST_F(TypedEdit, VEditReformatsFloatOnExit) {
  Form form;
  form.vedit->SetEditType(ttFloat);
  form.vedit->SetFloatPrecision(10);
  form.vedit->SetFloatDigits(2);
  Show(form.window, form.vedit);
  Type("12,5");
  Press(Qt::Key_Tab);
  EXPECT_EQ(form.vedit->text(), "12,50");
  EXPECT_EQ(QApplication::focusWidget(), form.bound);

  form.vedit->setFocus();
  form.vedit->selectAll();
  Type("12x");  // no filter in a TVEdit: the check keeps the focus
  Press(Qt::Key_Tab);
  EXPECT_EQ(form.vedit->text(), "12x");
  EXPECT_EQ(QApplication::focusWidget(), form.vedit);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, " Chybný formát dat ");
}

TEST_F(TypedEdit, EnterMovesTheFocusThroughTheForm) {
  Form form;
  Show(form.window, form.orvet);
  Press(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), form.vedit);
  Press(Qt::Key_Enter);
  EXPECT_EQ(QApplication::focusWidget(), form.bound);
  Press(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), form.plain);
  form.bound->setFocus();
  Press(Qt::Key_Return, Qt::ShiftModifier);  // Shift+Enter goes back like Shift+Tab
  EXPECT_EQ(QApplication::focusWidget(), form.vedit);

  form.vedit->SetEnterIsTab(false);
  Press(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), form.vedit);
}

TEST_F(TypedEdit, EnterAndEscReachTheDialogsButtonsUnlessEnterIsTab) {
  QDialog dialog;
  auto* edit = new TEditOrvet(&dialog);
  auto* ok = new QPushButton("Zapiš", &dialog);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(edit);
  layout->addWidget(ok);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  edit->SetEditType(ttInteger);
  Show(dialog, edit);

  Press(Qt::Key_Return);  // Enter is Tab
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(QApplication::focusWidget(), ok);

  edit->setFocus();
  edit->SetEnterIsTab(false);
  Press(Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(beeps, 0);

  Show(dialog, edit);
  Press(Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(TypedEdit, OnTabExitOnlyAfterTabAndAPassedCheck) {
  Form form;
  form.orvet->SetEditType(ttInteger);
  int exits = 0;
  std::vector<Qt::KeyboardModifiers> tabExits;
  form.orvet->OnExit = [&](QObject*) { ++exits; };
  form.orvet->OnTabExit = [&](QObject* sender, Qt::KeyboardModifiers shift) {
    EXPECT_EQ(sender, form.orvet);
    tabExits.push_back(shift);
  };
  Show(form.window, form.orvet);

  Press(Qt::Key_Tab);
  EXPECT_EQ(exits, 1);
  ASSERT_EQ(tabExits.size(), 1u);
  EXPECT_EQ(tabExits[0], Qt::NoModifier);

  Press(Qt::Key_Backtab, Qt::ShiftModifier);  // back from the TVEdit
  EXPECT_EQ(QApplication::focusWidget(), form.orvet);
  Press(Qt::Key_Return);  // Enter as Tab
  ASSERT_EQ(tabExits.size(), 2u);

  Click(form.orvet);
  Type("-");
  Press(Qt::Key_Tab);  // a failed check: neither event, the focus stays
  EXPECT_EQ(QApplication::focusWidget(), form.orvet);
  EXPECT_EQ(exits, 2);
  EXPECT_EQ(tabExits.size(), 2u);

  Type("5");
  Click(form.plain);  // left with the mouse: OnExit only
  EXPECT_EQ(QApplication::focusWidget(), form.plain);
  EXPECT_EQ(exits, 3);
  EXPECT_EQ(tabExits.size(), 2u);

  Click(form.orvet);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_NE(QApplication::focusWidget(), form.orvet);
  ASSERT_EQ(tabExits.size(), 3u);
  EXPECT_EQ(tabExits[2], Qt::ShiftModifier);
}

// The next control is neither entered nor left while a refused exit puts
// the focus back.
TEST_F(TypedEdit, ARefusedExitLeavesTheNextControlAlone) {
  Form form;
  form.orvet->SetEditType(ttInteger);
  form.vedit->SetEditType(ttFloat);
  form.vedit->SetFloatPrecision(10);
  form.vedit->setText("x");  // would fail its own check if it were left
  int nextEvents = 0;
  form.vedit->OnEnter = [&](QObject*) { ++nextEvents; };
  form.vedit->OnExit = [&](QObject*) { ++nextEvents; };
  Show(form.window, form.orvet);
  Type("-");
  Press(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.orvet);
  EXPECT_EQ(form.window.focusWidget(), form.orvet);
  EXPECT_EQ(nextEvents, 0);
  EXPECT_EQ(messages.size(), 1u);
  Type("5");
  Press(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.vedit);
  EXPECT_EQ(nextEvents, 1);
}

// Another window coming to the front (or a message box) neither leaves nor
// enters the edit: no check, no events.
TEST_F(TypedEdit, SwitchingWindowsIsNoExit) {
  Form form;
  form.orvet->SetEditType(ttInteger);
  int events = 0;
  form.orvet->OnEnter = [&](QObject*) { ++events; };
  form.orvet->OnExit = [&](QObject*) { ++events; };
  Show(form.window, form.orvet);
  events = 0;
  Type("-");
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  form.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window));
  EXPECT_EQ(QApplication::focusWidget(), form.orvet);
  EXPECT_EQ(events, 0);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(form.orvet->text(), "-");
}

TEST_F(TypedEdit, LeavingWithTheMouseKeepsTheFocusOnABadText) {
  Form form;
  form.orvet->SetEditType(ttDate);
  Show(form.window, form.orvet);
  Type("7..5");
  Click(form.plain);
  EXPECT_EQ(QApplication::focusWidget(), form.orvet);
  EXPECT_EQ(form.orvet->text(), "");
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(TypedEdit, SelectsWholeTextOnEveryEntry) {
  Form form;
  form.orvet->setText("abc");
  form.vedit->setText("def");
  Show(form.window, form.plain);
  form.orvet->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(form.orvet->selectedText(), "abc");
  form.vedit->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(form.vedit->selectedText(), "");  // TVEdit keeps the standard behaviour
}

TEST_F(TypedEdit, AlignmentAppliesWhileTheEditDoesNotHaveTheFocus) {
  Form form;
  form.orvet->SetAlignment(Qt::AlignRight);
  EXPECT_TRUE(form.orvet->alignment() & Qt::AlignRight);
  Show(form.window, form.orvet);
  EXPECT_TRUE(form.orvet->alignment() & Qt::AlignLeft);
  Press(Qt::Key_Tab);
  EXPECT_TRUE(form.orvet->alignment() & Qt::AlignRight);
}

TEST_F(TypedEdit, NumberReading) {
  TEditOrvet edit;
  edit.SetEditType(ttFloat);
  edit.setText("1,2,3");
  EXPECT_EQ(edit.GetFloatValue(), 0.0);
  edit.setText("");
  EXPECT_EQ(edit.GetFloatValue(), 0.0);
  edit.setText("-12,5");
  EXPECT_EQ(edit.GetFloatValue(), -12.5);
  edit.setText(" 42 ");
  EXPECT_EQ(edit.GetIntegerValue(), 42);
  edit.setText("4x");
  EXPECT_EQ(edit.GetIntegerValue(), 0);
  edit.setText("99999999999");
  EXPECT_EQ(edit.GetIntegerValue(), 0);
  ASSERT_EQ(messages.size(), 4u);
  for (const Message& m : messages) EXPECT_EQ(m.text, " Chybný formát dat ");

  messages.clear();
  edit.SetFloatValue(12.5);  // precision 0: the shortest form
  EXPECT_EQ(edit.text(), "12,5");
  edit.SetFloatPrecision(10);
  edit.SetFloatDigits(2);
  edit.SetFloatValue(0.1 + 0.2);
  EXPECT_EQ(edit.text(), "0,30");
  EXPECT_TRUE(messages.empty());
}

}  // namespace
