#include "batch/prenos_console.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

// Whether standard error is a terminal: there the bar is redrawn in place;
// elsewhere (a log file of the night job) each store gets one line when
// it is done.
bool Terminal() {
  static const bool tty = ::isatty(STDERR_FILENO) == 1;
  return tty;
}

// True while a bar stands unfinished on the terminal's last line: a
// message then starts on a line of its own.
bool barOpen = false;

void BreakBar() {
  if (barOpen) std::cerr << "\n";
  barOpen = false;
}

class TConsoleProgress : public ProgressView {
 public:
  void SetCaption(const std::string& text) override { caption_ = text; }
  void SetDescription(const std::string&) override {}
  void SetLabel(const std::string& text) override {
    EndLine();
    label_ = text;
    position_ = -1;
  }
  void SetPosition(int percent) override {
    if (percent == position_) return;
    position_ = percent;
    if (Quiet()) return;
    if (Terminal()) Draw();
    else if (percent == 100) Line();
  }
  void Show() override {}
  void Close() override { EndLine(); }
  ~TConsoleProgress() override { EndLine(); }

 private:
  // The reconstruction of one card flashes by per variant: not drawn.
  bool Quiet() const { return caption_ != "Info"; }
  std::string Bar() const {
    const int width = 30;
    int filled = position_ * width / 100;
    return "[" + std::string(filled, '#') + std::string(width - filled, '-') + "] " + std::to_string(position_) + " %";
  }
  void Draw() {
    std::cerr << "\r" << label_ << " " << Bar() << std::flush;
    drawn_ = barOpen = true;
  }
  void Line() { std::cerr << label_ << " " << Bar() << "\n"; }
  void EndLine() {
    if (drawn_ && barOpen) std::cerr << "\n" << std::flush;
    drawn_ = barOpen = false;
  }
  std::string caption_, label_;
  int position_ = -1;
  bool drawn_ = false;
};

}  // namespace

void TConsoleUi::Message(const std::string& text) {
  BreakBar();
  std::cerr << text << "\n";
}

void TConsoleUi::Error(const std::string& text) {
  BreakBar();
  std::cerr << "Chyba: " << text << "\n";
}

bool TConsoleUi::Confirm(const std::string& text) {
  std::cerr << text << " (OK)\n";
  return true;
}

std::unique_ptr<ProgressView> TConsoleUi::CreateProgressWindow() { return std::make_unique<TConsoleProgress>(); }
