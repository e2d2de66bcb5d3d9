#pragma once
// TVEdit: the typed edit of the search dialog, without a button. It filters
// no characters (only the space and decimal-symbol rules apply), keeps the
// standard Enter, Esc and entry behaviour, and shows a valid date or time in
// the locale's standard form instead of completing it.

#include "controls/typed_edit.h"

class TVEdit : public TTypedEdit {
  Q_OBJECT

 public:
  explicit TVEdit(QWidget* parent = nullptr);

 protected:
  bool FiltersCharacters() const override { return false; }
  bool SelectsAllOnEntry() const override { return false; }
};
