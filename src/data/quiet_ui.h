#pragma once
// The data module's screen seam for the programs that run without a window
// (the shop simulator, the chain benchmark):
// no window, no question; messages go to standard error and are counted.

#include <iostream>

#include "data/ui.h"

class QuietUi : public Ui {
 public:
  int messages = 0;
  void Message(const std::string& text) override {
    ++messages;
    std::cerr << text << "\n";
  }
  void Error(const std::string& text) override { Message(text); }
  bool Confirm(const std::string&) override { return true; }
  std::unique_ptr<ProgressView> CreateProgressWindow() override { return std::make_unique<NoWindow>(); }
  void ProcessEvents() override {}
  void SetBusyCursor(bool) override {}
  void RequestQuit() override {}
  std::optional<LoginInput> ShowLoginDialog() override { return std::nullopt; }

 private:
  struct NoWindow : ProgressView {
    void SetCaption(const std::string&) override {}
    void SetDescription(const std::string&) override {}
    void SetLabel(const std::string&) override {}
    void SetPosition(int) override {}
    void Show() override {}
    void Close() override {}
  };
};
