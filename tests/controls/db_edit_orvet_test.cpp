// TDBEditOrvet bound to an in-memory field: the validity check on exit and
// its modes, storing the text into the field, refusals keeping the focus,
// and the colour while disabled.

#include "control_test.h"

#include "controls/db_edit_orvet.h"
#include "controls/memory_field.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace {

class BoundEdit : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(edit);
    layout->addWidget(next);
    edit->SetEnterIsTab(true);
  }

  // Binds the edit to `field` and puts the focus into it.
  void Start(TFieldLink& field) {
    edit->SetField(&field);
    Show(form, edit);
    messages.clear();
  }

  QWidget form;
  TDBEditOrvet* edit = new TDBEditOrvet(&form);
  QLineEdit* next = new QLineEdit(&form);
};

TEST_F(BoundEdit, ShowsTheFieldAndStoresTheTypedTextOnExit) {
  TMemoryField field(TLinkKind::String, "abc", 5);
  Start(field);
  EXPECT_EQ(edit->text(), "abc");
  EXPECT_EQ(edit->selectedText(), "abc");  // the whole text is selected on entry
  Type("wxyz12");                           // no more than the field holds
  EXPECT_TRUE(field.Editing());             // typing put the record into editing
  EXPECT_EQ(field.Text(), "abc");
  Press(Qt::Key_Return);
  EXPECT_EQ(field.Text(), "wxyz1");
  EXPECT_EQ(QApplication::focusWidget(), next);

  field.Assign("other");  // another record became current
  EXPECT_EQ(edit->text(), "other");
}

TEST_F(BoundEdit, RefusesAnInvalidDateAndKeepsTheFocus) {
  TMemoryField field(TLinkKind::Date);
  edit->SetEditType(setDate);
  edit->SetErrorString("Chybné datum");
  Start(field);
  Type("7..5");
  Press(Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(field.Text(), "");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Chybné datum");
  EXPECT_EQ(messages[0].kind, TMessageKind::Plain);
  EXPECT_EQ(messages[0].caption, "Tamorix");

  int errors = 0;
  edit->OnError = [&](QObject* sender) {
    EXPECT_EQ(sender, edit);
    ++errors;
  };
  Type("7..5");
  Press(Qt::Key_Tab);  // OnError replaces the message
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(QApplication::focusWidget(), edit);

  Type("7.5");
  Press(Qt::Key_Return);
  EXPECT_EQ(field.Text(), "7.5.2004");
  EXPECT_EQ(QApplication::focusWidget(), next);
}

TEST_F(BoundEdit, OnValidMayChangeTheTextAndTheVerdict) {
  TMemoryField field(TLinkKind::String);
  edit->SetEditType(setTime);
  edit->OnValid = [](QObject*, QString& text, bool& valid) {
    if (text.startsWith("9")) valid = false;
    text = text.trimmed();
  };
  Start(field);
  Type("8");
  Press(Qt::Key_Tab);  // completed against the current moment, 10:20:30
  EXPECT_EQ(field.Text(), "8:20:30");

  edit->setFocus();
  Type("9");
  Press(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(edit->text(), "9:20:30");
  EXPECT_EQ(field.Text(), "8:20:30");

  edit->SetDateTimeType(sdtUser);
  edit->SetReferenceDateTime(QDateTime(QDate(2004, 5, 7), QTime(0, 0, 0)));
  edit->SetEditType(setDate);
  edit->OnValid = nullptr;
  edit->selectAll();
  Type("3");
  Press(Qt::Key_Tab);
  EXPECT_EQ(field.Text(), "3.05.2004");
}

TEST_F(BoundEdit, WhenValidDecidesWhetherLeavingChecks) {
  struct Case {
    TWhenValid when;
    bool editing;
    bool type;  // the user types before leaving
    bool checked;
  };
  const Case cases[] = {
      {swvAlways, false, false, true},     {swvWhenEdit, false, false, false},
      {swvWhenEdit, true, false, true},    {swvWhenEdit, false, true, true},
      {swvWhenChange, true, false, false}, {swvWhenChange, false, true, true},
      {swvNone, true, true, false},
  };
  for (const Case& c : cases) {
    TMemoryField field(TLinkKind::String, "x..");  // no date, whatever is typed after it
    if (c.editing) field.Edit();
    edit->SetEditType(setDate);
    edit->SetWhenValid(c.when);
    int errors = 0;
    edit->OnError = [&](QObject*) { ++errors; };
    Start(field);
    if (c.type) {
      edit->end(false);
      Type("1");
    }
    Press(Qt::Key_Tab);
    EXPECT_EQ(errors, c.checked ? 1 : 0) << c.when << c.editing << c.type;
    EXPECT_EQ(QApplication::focusWidget() == edit, c.checked) << c.when << c.editing << c.type;
    edit->SetField(nullptr);
  }
}

TEST_F(BoundEdit, AFieldRefusingTheTextKeepsTheFocus) {
  TMemoryField field(TLinkKind::Integer, "12");
  Start(field);
  Type("1a-2");  // the field's own filter beeps at the letter
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(edit->text(), "1-2");
  Press(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(field.Text(), "12");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, TMessageKind::Error);
}

TEST_F(BoundEdit, ReadOnlyFieldCannotBeTyped) {
  TMemoryField field(TLinkKind::String, "abc");
  field.SetReadOnly(true);
  Start(field);
  Type("x");
  Press(Qt::Key_Tab);
  EXPECT_EQ(field.Text(), "abc");
  EXPECT_FALSE(field.Editing());
}

TEST_F(BoundEdit, FloatFieldTakesPointAndCommaAsTheDecimalSeparator) {
  TMemoryField field(TLinkKind::Float);
  Start(field);
  Type("1.5");
  EXPECT_EQ(edit->text(), "1,5");
  Press(Qt::Key_Tab);
  EXPECT_EQ(field.Number(), 1.5);
}

TEST_F(BoundEdit, DisabledEditIsPaintedInColorDisable) {
  edit->SetColorDisable(QColor(0, 128, 0));
  edit->setGeometry(0, 0, 120, 24);
  form.show();
  auto background = [&] { return edit->grab().toImage().pixelColor(60, 12); };
  const QColor enabled = background();
  EXPECT_NE(enabled, QColor(0, 128, 0));
  form.setEnabled(false);  // a disabled parent counts too
  EXPECT_EQ(background(), QColor(0, 128, 0));
  form.setEnabled(true);
  EXPECT_EQ(background(), enabled);
}

}  // namespace
