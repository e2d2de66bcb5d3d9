#pragma once
// Focus rules shared by the controls: which focus changes enter or leave a
// control within its form, and how the focus is kept after a refused exit.

#include <QFocusEvent>
#include <QHideEvent>

class QWidget;

// Whether the focus is in a control as far as its form is concerned. The
// window losing the front (another window, a message box) or a popup menu
// opening neither leaves nor enters the control: the form keeps its focused
// control.
class TFormEntry {
 public:
  // On focus in: true for a new entry, false when the window came back.
  bool Entered() {
    if (in_) return false;
    in_ = true;
    return true;
  }
  // On focus out: true when the focus leaves the control within its form.
  bool Left(const QFocusEvent& event) {
    if (!in_ || event.reason() == Qt::ActiveWindowFocusReason ||
        event.reason() == Qt::PopupFocusReason) {
      return false;
    }
    in_ = false;
    return true;
  }
  // A hidden form (or control) has no focused control; its next showing is
  // a new entry. A minimised window keeps its focused control.
  void Hidden(const QHideEvent& event) {
    if (!event.spontaneous()) in_ = false;
  }
  bool IsIn() const { return in_; }

 private:
  bool in_ = false;
};

// Puts the focus back on `control` if it can take it (visible, enabled,
// focusable). Used when a control refuses to be left.
void KeepFocus(QWidget* control);
