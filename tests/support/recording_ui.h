#pragma once
// A Ui that records instead of showing: every message with its kind and
// exact text, the answers it gave to questions, each progress window with
// everything set on it, the event-loop passes, cursor changes, the quit
// request and the sign-on dialog. Answers and sign-on input are scripted by
// the test; `onProcessEvents` lets a test act in the middle of an operation
// (release a lock, change a file) at the moment the operation yields.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/ui.h"

struct RecordedMessage {
  enum Kind { Message, Error, Confirm };
  Kind kind;
  std::string text;
  friend bool operator==(const RecordedMessage&, const RecordedMessage&) = default;
};

// What one progress window went through; it outlives the window.
struct RecordedProgress {
  std::string caption = "Indexace datových souborů";
  std::string description = "Indexace souboru :";
  std::string label;
  std::vector<std::string> labels;   // every text set on Label1, in turn
  std::vector<int> positions;        // every gauge position, in turn
  int shows = 0;                     // calls of Show
  bool visible = false;
  bool closed = false;
  bool destroyed = false;
  int progressTotal = 0;             // ProgressTotal when the window went
};

class RecordingProgressView : public ProgressView {
 public:
  explicit RecordingProgressView(std::shared_ptr<RecordedProgress> record) : record_(std::move(record)) {}
  ~RecordingProgressView() override {
    record_->progressTotal = ProgressTotal;
    record_->destroyed = true;
  }
  void SetCaption(const std::string& text) override { record_->caption = text; }
  void SetDescription(const std::string& text) override { record_->description = text; }
  void SetLabel(const std::string& text) override {
    record_->label = text;
    record_->labels.push_back(text);
  }
  void SetPosition(int percent) override { record_->positions.push_back(percent); }
  void Show() override {
    ++record_->shows;
    record_->visible = true;
  }
  void Close() override {
    record_->visible = false;
    record_->closed = true;
  }

 private:
  std::shared_ptr<RecordedProgress> record_;
};

class RecordingUi : public Ui {
 public:
  void Message(const std::string& text) override { messages.push_back({RecordedMessage::Message, text}); }
  void Error(const std::string& text) override { messages.push_back({RecordedMessage::Error, text}); }
  bool Confirm(const std::string& text) override {
    messages.push_back({RecordedMessage::Confirm, text});
    if (confirmAnswers.empty()) return defaultConfirm;
    bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }
  std::unique_ptr<ProgressView> CreateProgressWindow() override {
    progressWindows.push_back(std::make_shared<RecordedProgress>());
    return std::make_unique<RecordingProgressView>(progressWindows.back());
  }
  void ProcessEvents() override {
    ++processEventsCalls;
    if (onProcessEvents) onProcessEvents();
  }
  void SetBusyCursor(bool busy) override { busyCursor.push_back(busy); }
  void RequestQuit() override { quitRequested = true; }
  std::optional<LoginInput> ShowLoginDialog() override {
    ++loginDialogShown;
    return loginInput;
  }

  // The texts of the recorded messages, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& m : messages) texts.push_back(m.text);
    return texts;
  }
  void Clear() { *this = RecordingUi(); }

  std::vector<RecordedMessage> messages;
  std::deque<bool> confirmAnswers;   // answers to Confirm, first asked first
  bool defaultConfirm = true;        // when no scripted answer is left
  std::vector<std::shared_ptr<RecordedProgress>> progressWindows;
  int processEventsCalls = 0;
  std::function<void()> onProcessEvents;
  std::vector<bool> busyCursor;
  bool quitRequested = false;
  std::optional<LoginInput> loginInput;   // nullopt: the user pressed "Storno"
  int loginDialogShown = 0;
};
