// The sign-on dialog: its texts, the masked password, and how it closes:
// only "OK", "Storno" and the window system close it; Enter and Esc do not.

#include "app/login_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "controls/edit_orvet.h"

namespace {

TEST(LoginForm, TextsAndEdits) {
  TLoginForm form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.windowTitle(), "Přihlašovací dialog uživatele");
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                                     Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));
  std::vector<QString> labels;
  for (QLabel* l : form.findChildren<QLabel*>()) labels.push_back(l->text());
  EXPECT_EQ(labels, (std::vector<QString>{"Přihlašovací jméno z Windows není v seznamu uživatelů systému",
                                          "Přístupové jméno uživatele ", "Přístupové heslo uživatele"}));
  EXPECT_EQ(form.OKButton->text(), "OK");
  EXPECT_EQ(form.StornoButton->text(), "Storno");
  for (TEditOrvet* e : {form.EditOrvet1, form.EditOrvet2}) {
    EXPECT_EQ(e->EditType(), ttString);
    EXPECT_FALSE(e->ButtonVisible());
  }
  EXPECT_EQ(QApplication::focusWidget(), form.EditOrvet1);

  QTest::keyClicks(form.EditOrvet1, "novak");
  QTest::keyClick(form.EditOrvet1, Qt::Key_Return);  // moves on, closes nothing
  EXPECT_EQ(QApplication::focusWidget(), form.EditOrvet2);
  QTest::keyClicks(form.EditOrvet2, "Heslo 1");
  EXPECT_EQ(form.EditOrvet2->text(), "Heslo 1");
  EXPECT_EQ(form.EditOrvet2->displayText(), "*******");
  for (QWidget* w : {static_cast<QWidget*>(form.EditOrvet2), static_cast<QWidget*>(form.OKButton)}) {
    w->setFocus();
    QTest::keyClick(w, Qt::Key_Return);
    QTest::keyClick(w, Qt::Key_Escape);
  }
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.EditOrvet1->text(), "novak");
}

// Shows the dialog modally through the program's hook and lets `answer`
// close it.
std::optional<LoginInput> Answer(const std::function<void(TLoginForm&)>& answer) {
  QTimer::singleShot(0, [answer] {
    auto* form = qobject_cast<TLoginForm*>(QApplication::activeModalWidget());
    if (!form) return;
    form->EditOrvet1->setText("Admin");
    form->EditOrvet2->setText(" heslo ");
    answer(*form);
  });
  return RunLoginForm();
}

TEST(LoginForm, Results) {
  std::optional<LoginInput> ok = Answer([](TLoginForm& f) { QTest::mouseClick(f.OKButton, Qt::LeftButton); });
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(ok->name, "Admin");  // as typed: the sign-on upper-cases and trims
  EXPECT_EQ(ok->password, " heslo ");
  EXPECT_FALSE(Answer([](TLoginForm& f) { QTest::mouseClick(f.StornoButton, Qt::LeftButton); }).has_value());
  // Alt+F4: the window system closes the dialog, which counts as "Storno".
  EXPECT_FALSE(Answer([](TLoginForm& f) { f.close(); }).has_value());
}

}  // namespace
