#pragma once
// The console side of the night transfer: messages and errors as lines on
// standard error, the transfer's progress as a bar per store on the
// terminal (standard error), no dialogs. The sign-on dialog is never shown:
// asking for it is noted, so the program can end with its own message.

#include <memory>
#include <string>

#include "data/ui.h"

class TConsoleUi : public Ui {
 public:
  void Message(const std::string& text) override;
  void Error(const std::string& text) override;
  // Nothing to ask at night: the question is printed and answered "OK".
  bool Confirm(const std::string& text) override;
  std::unique_ptr<ProgressView> CreateProgressWindow() override;
  void ProcessEvents() override {}
  void SetBusyCursor(bool) override {}
  void RequestQuit() override { quitRequested = true; }
  std::optional<LoginInput> ShowLoginDialog() override {
    loginDialogAsked = true;
    return std::nullopt;
  }

  bool quitRequested = false;
  bool loginDialogAsked = false;
};
