// Dates and times entered into a TEditOrvet: completion against today
// (7 May 2004) when the edit is left with Tab, the error box and the kept
// focus when the text is no date.

#include "control_test.h"

#include "controls/date_completion.h"

namespace {

struct EntryCase {
  const char* entered;
  const char* shown;
  bool passed;
};

class DateEntry : public ControlTest {
 protected:
  // Puts `entered` into the edit (as pasted, unfiltered), leaves it with
  // Tab and checks what the edit shows, where the focus is and the box.
  void Enter(TEditType type, const EntryCase& c) {
    Form form;
    TEditOrvet* edit = form.orvet;
    QWidget* next = form.vedit;
    edit->SetEditType(type);
    Show(form.window, edit);
    messages.clear();
    edit->insert(QString::fromUtf8(c.entered));
    Press(Qt::Key_Tab);

    const QString label = QString("'%1'").arg(c.entered);
    EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown)) << label.toStdString();
    EXPECT_EQ(edit->TextCheckPassed(), c.passed) << label.toStdString();
    EXPECT_EQ(QApplication::focusWidget(), c.passed ? next : edit)
        << label.toStdString();
    if (c.passed) {
      EXPECT_TRUE(messages.empty()) << label.toStdString();
    } else {
      ASSERT_EQ(messages.size(), 1u) << label.toStdString();
      EXPECT_EQ(messages[0].text, " Chybný formát dat ");
      EXPECT_EQ(messages[0].caption, "Tamorix");
      EXPECT_EQ(messages[0].kind, TMessageKind::Error);
    }
  }
};

TEST_F(DateEntry, CompletesTypedDatesAgainstToday) {
  const EntryCase cases[] = {
      {"7", "7.05.2004", true},            // a day alone
      {"7.5", "7.5.2004", true},           // day and month
      {"7.", "7.05.2004", true},           // a day and a separator
      {"7.5.", "7.5.2004", true},          // day, month and a separator
      {"7-5-03", "7.5.03", true},          // other separators become the date separator
      {"070503", "07.05.03", true},        // ddmmyy
      {" 070503 ", "07.05.03", true},      // blanks around are no typed characters
      {".", "07.05.2004", true},           // a lone separator is today
      {"", "", true},                      // empty is the blank date
      {"07.05.200499", "07.05.2004", true},  // 12 characters are cut to 10
      {"7..5", "", false},                 // adjacent separators
      {"12345", "", false},                // no separator, length 5
      {"7a", "", false},                   // a letter
      {"7.5a", "", false},
      {"31.4.", "31.4.2004", false},       // completed, but no such day
      {"7.5.2004-", "", false},            // a third separator is left as typed
  };
  for (const EntryCase& c : cases) Enter(ttDate, c);
}

TEST_F(DateEntry, CompletesTypedTimesFromMidnight) {
  const EntryCase cases[] = {
      {"7", "7:00:00", true},     {"7:30", "7:30:00", true}, {"7.30.", "7:30:00", true},
      {"7:", "7:00:00", true},    {"073015", "07:30:15", true}, {":", "0:00:00", true},
      {"7:30:15", "7:30:15", true}, {"25", "25:00:00", false}, {"7::", "", false},
      {"07:30:159", "07:30:15", true},  // cut to 8 characters
  };
  for (const EntryCase& c : cases) Enter(ttTime, c);
}

TEST_F(DateEntry, KeyboardTypesOnlyDateCharacters) {
  Form form;
  TEditOrvet* edit = form.orvet;
  edit->SetEditType(ttDate);
  Show(form.window, edit);
  Type("7a/5,");  // 'a' and '/' beep; ',' is the decimal separator, a separator-like character
  EXPECT_EQ(edit->text(), "75,");
  EXPECT_EQ(beeps, 2);
}

TEST_F(DateEntry, BlankDateStandsForAnEmptyDate) {
  Form form;
  TEditOrvet* edit = form.orvet;
  edit->SetEditType(ttDate);
  edit->SetBlankDate("  .  .    ");
  EXPECT_EQ(edit->text(), "  .  .    ");  // an empty date edit takes the new blank text
  edit->SetBlankDate("__.__.____");
  EXPECT_EQ(edit->text(), "__.__.____");  // ... and so does one showing the old one
  Show(form.window, edit);
  edit->clear();
  Press(Qt::Key_Tab);
  EXPECT_EQ(edit->text(), "__.__.____");
  EXPECT_EQ(QApplication::focusWidget(), form.vedit);
  EXPECT_TRUE(messages.empty());

  edit->SetText("1.1.2000");
  edit->SetBlankDate("  .  .    ");
  EXPECT_EQ(edit->text(), "1.1.2000");  // a date stays
}

TEST_F(DateEntry, VEditShowsDatesAndTimesInStandardFormWithoutCompletion) {
  TVEdit edit;
  edit.SetEditType(ttDate);
  edit.SetText("7.5.04");
  EXPECT_EQ(edit.text(), "07.05.2004");
  edit.SetText("7");  // no completion in a TVEdit
  EXPECT_EQ(edit.text(), "7");
  EXPECT_FALSE(edit.TextCheckPassed());
  EXPECT_EQ(messages.size(), 1u);

  edit.SetEditType(ttTime);
  edit.SetText("7:5");
  EXPECT_EQ(edit.text(), "7:05:00");
}

// The bound edit completes a time against the current moment.
TEST_F(DateEntry, TimeCompletionTakesMinutesAndSecondsFromTheReference) {
  const QDateTime reference(QDate(2004, 5, 7), QTime(14, 35, 12));
  QString text = "7";
  EXPECT_TRUE(CompleteTime(text, reference, LocaleSettings()));
  EXPECT_EQ(text, "7:35:12");
  text = "7:05";
  EXPECT_TRUE(CompleteTime(text, reference, LocaleSettings()));
  EXPECT_EQ(text, "7:05:12");
}

}  // namespace
