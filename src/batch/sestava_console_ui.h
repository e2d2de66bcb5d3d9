#pragma once
// The console side of the operations' Ui for tamorix-sestava: messages and
// errors go to standard error, a question is answered with Cancel (nobody
// is there to answer it), a progress window is a bar on the terminal when
// standard error is one, there is no sign-on dialog.

#include <iosfwd>

#include "data/ui.h"

class TSestavaConsoleUi : public Ui {
 public:
  explicit TSestavaConsoleUi(std::ostream& err);
  void Message(const std::string& text) override;
  void Error(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  std::unique_ptr<ProgressView> CreateProgressWindow() override;
  void ProcessEvents() override {}
  void SetBusyCursor(bool) override {}
  void RequestQuit() override { quitRequested_ = true; }
  std::optional<LoginInput> ShowLoginDialog() override { return std::nullopt; }

  bool QuitRequested() const { return quitRequested_; }
  // True once a message or an error was written.
  bool Reported() const { return reported_; }

 private:
  std::ostream& err_;
  bool terminal_;
  bool quitRequested_ = false;
  bool reported_ = false;
};
