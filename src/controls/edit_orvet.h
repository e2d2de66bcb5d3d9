#pragma once
// TEditOrvet: the typed edit of the card editor and the sign-on dialog, with
// an optional small button inside its right edge. In every type but text
// only the characters of numbers, dates and times can be typed (others beep);
// dates and times are completed from what was typed ("7" is the 7th of this
// month); Enter and Esc are left to the dialog unless Enter acts as Tab; the
// whole text is selected whenever the edit receives the focus.

#include "controls/edit_button_owner.h"
#include "controls/typed_edit.h"

class TEditOrvet : public TTypedEdit, public TEditButtonOwner {
  Q_OBJECT

 public:
  explicit TEditOrvet(QWidget* parent = nullptr);

 protected:
  bool FiltersCharacters() const override { return true; }
  bool SelectsAllOnEntry() const override { return true; }
};
