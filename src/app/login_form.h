#pragma once
// TLoginForm: the sign-on dialog. A notice that the Windows name is not in
// the users list, the user's name (EditOrvet1, focused on opening) and
// password (EditOrvet2, shown as "*"), and a bottom panel with "OK" and
// "Storno". Neither button is the default or the cancel button: Enter moves
// between the edits and Esc does nothing; closing the window by the window
// system (Alt+F4) counts as "Storno". Centred on the desktop, fixed border,
// no title-bar buttons.

#include <QDialog>
#include <optional>

#include "data/ui.h"

class QPushButton;
class TEditOrvet;

class TLoginForm : public QDialog {
  Q_OBJECT

 public:
  explicit TLoginForm(QWidget* parent = nullptr);

  TEditOrvet* EditOrvet1;
  TEditOrvet* EditOrvet2;
  QPushButton* OKButton;
  QPushButton* StornoButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

// Shows the sign-on dialog modally: the two texts after "OK", nothing after
// "Storno". The hook of QtUi::LoginDialog.
std::optional<LoginInput> RunLoginForm();
