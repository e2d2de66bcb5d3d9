#pragma once
// QtUi: the program's services to the data module and the operations, with
// Qt: message boxes captioned with the application title, the progress
// window, letting events run, the busy cursor, the request to end the
// program once start-up is over, and the sign-on dialog (a hook the program
// sets to its dialog).

#include <functional>
#include <QPointer>
#include <memory>

#include "app/progres_win.h"
#include "data/ui.h"

class QWidget;

// The application title: caption of every plain message box.
inline constexpr char kApplicationTitle[] = "Tamorix";

// A TProgresWin behind the operations' progress interface. The window is
// hidden until Show and is destroyed with the adapter (or with its owner,
// should the owner go first).
class TProgresWinView : public ProgressView {
 public:
  explicit TProgresWinView(QWidget* owner = nullptr);
  ~TProgresWinView() override;

  void SetCaption(const std::string& text) override;
  void SetDescription(const std::string& text) override;
  void SetLabel(const std::string& text) override;
  void SetPosition(int percent) override;
  void Show() override;
  void Close() override;

  // The window; nullptr once its owner destroyed it.
  TProgresWin* Window() const { return window_.data(); }

 private:
  QPointer<TProgresWin> window_;
};

class QtUi : public Ui {
 public:
  // Message boxes and progress windows belong to `owner` (the main window,
  // once it exists); none: they stand alone.
  explicit QtUi(QWidget* owner = nullptr) : owner_(owner) {}
  ~QtUi() override;
  void SetOwner(QWidget* owner) { owner_ = owner; }

  // Information box with one OK button.
  void Message(const std::string& text) override;
  // Error box with one OK button.
  void Error(const std::string& text) override;
  // Question with OK and Cancel; true for OK.
  bool Confirm(const std::string& text) override;
  // The same, its top left corner placed `dx`, `dy` pixels from the owner's.
  bool ConfirmAt(const std::string& text, int dx, int dy) override;
  std::unique_ptr<ProgressView> CreateProgressWindow() override;
  void ProcessEvents() override;
  // The hourglass over the whole program while true.
  void SetBusyCursor(bool busy) override;
  void RequestQuit() override { quitRequested_ = true; }
  // Without a dialog set in LoginDialog, the answer is "Storno".
  std::optional<LoginInput> ShowLoginDialog() override;

  // The sign-on dialog: shows it modally, returns the two texts after "OK".
  std::function<std::optional<LoginInput>()> LoginDialog;

  bool QuitRequested() const { return quitRequested_; }
  // Runs the event loop until the main window closes, and returns its exit
  // code; when the end was requested during start-up, the loop ends at once,
  // before the user can work.
  int Exec();

 private:
  // A modal message box captioned with the application title; the button pressed.
  int ShowBox(int icon, const std::string& text, int buttons);

  QPointer<QWidget> owner_;
  bool quitRequested_ = false;
  bool busy_ = false;
};
