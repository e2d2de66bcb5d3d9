#pragma once
// The seam between the data module and operations on one side and the
// screen on the other. Operations show messages, ask questions, show a
// progress window, change the mouse cursor and let pending events run only
// through this interface; the program implements it with Qt, the tests with
// a recorder, so a test sees the exact Czech texts a user would have seen.

#include <memory>
#include <optional>
#include <string>

// The progress window of long operations.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetDescription(const std::string& text) = 0;  // DescLabel
  virtual void SetLabel(const std::string& text) = 0;        // Label1
  virtual void SetPosition(int percent) = 0;                 // Gauge1, 0..100
  virtual void Show() = 0;                                   // non-modal; again: nothing more
  virtual void Close() = 0;
  // Total count of the running tag build, set by the progress handlers.
  int ProgressTotal = 0;
};

// What the sign-on dialog returns: the two texts after "OK", nothing after "Storno".
struct LoginInput {
  std::string name;
  std::string password;
};

class Ui {
 public:
  virtual ~Ui() = default;
  // A plain message box captioned with the application title, one OK button.
  virtual void Message(const std::string& text) = 0;
  // An error box (an error's own text).
  virtual void Error(const std::string& text) = 0;
  // A question with OK and Cancel; true for OK.
  virtual bool Confirm(const std::string& text) = 0;
  // The same question with its top left corner `dx`, `dy` pixels right of
  // and below the top left corner of the owner window.
  virtual bool ConfirmAt(const std::string& text, int dx, int dy) { return Confirm(text); }
  // A new, hidden progress window.
  virtual std::unique_ptr<ProgressView> CreateProgressWindow() = 0;
  // Lets pending user-interface events run once.
  virtual void ProcessEvents() = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // Asks the program to end once start-up is over (not immediately).
  virtual void RequestQuit() = 0;
  // Shows the sign-on dialog modally.
  virtual std::optional<LoginInput> ShowLoginDialog() = 0;
};
