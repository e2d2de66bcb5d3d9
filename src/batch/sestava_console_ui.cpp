#include "batch/sestava_console_ui.h"

#include <unistd.h>

#include <ostream>

namespace {

// A gauge of 40 characters, rewritten in place on the terminal.
class ConsoleProgress : public ProgressView {
 public:
  ConsoleProgress(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
  ~ConsoleProgress() override { Close(); }
  void SetCaption(const std::string&) override {}
  void SetDescription(const std::string&) override {}
  void SetLabel(const std::string& text) override { label_ = text; }
  void SetPosition(int percent) override { percent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent; }
  void Show() override {
    if (!terminal_) return;
    shown_ = true;
    int filled = percent_ * 40 / 100;
    err_ << '\r' << label_ << " [" << std::string(filled, '#') << std::string(40 - filled, ' ') << "] " << percent_
         << " %" << std::flush;
  }
  void Close() override {
    if (shown_) err_ << '\n' << std::flush;
    shown_ = false;
  }

 private:
  std::ostream& err_;
  bool terminal_;
  bool shown_ = false;
  std::string label_;
  int percent_ = 0;
};

}  // namespace

TSestavaConsoleUi::TSestavaConsoleUi(std::ostream& err) : err_(err), terminal_(::isatty(STDERR_FILENO) == 1) {}

void TSestavaConsoleUi::Message(const std::string& text) {
  reported_ = true;
  err_ << text << '\n' << std::flush;
}

void TSestavaConsoleUi::Error(const std::string& text) {
  reported_ = true;
  err_ << "Chyba: " << text << '\n' << std::flush;
}

bool TSestavaConsoleUi::Confirm(const std::string& text) {
  Message(text);
  return false;
}

std::unique_ptr<ProgressView> TSestavaConsoleUi::CreateProgressWindow() {
  return std::make_unique<ConsoleProgress>(err_, terminal_);
}
