#pragma once
// What a data-aware control (grid, navigator, bound edit) hears from the
// table object it shows, through its data source.

class TField;

class TDataSetObserver {
 public:
  virtual ~TDataSetObserver() = default;
  // Anything may have changed: opened, closed, another order or range,
  // controls attached again.
  virtual void DataSetChanged() {}
  // The current record moved.
  virtual void DataSetScrolled() {}
  // Values of the current record changed (one field, or all when nullptr).
  virtual void RecordChanged(const TField* field) {}
  // Browse, edit, insert or closed.
  virtual void StateChanged() {}
};
