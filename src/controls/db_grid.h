#pragma once
// TDBGrid: the grid of a table object. A read-only table view over a
// TDBGridModel: whole rows are selected and the selection stays visible
// without the focus, cells have grid lines, a narrow row indicator marks the
// current record, titles head the columns and Tab moves between columns.
// Selecting a row moves the table; the table moving selects the row.

#include <QTableView>
#include <string>
#include <vector>

#include "controls/db_grid_model.h"

class TDataSource;

// One grid column: a field of the table object and its width in pixels
// (0: the field's display width in characters of the grid's font).
struct TDBGridColumn {
  std::string fieldName;
  int width = 0;
  // The heading; empty: the field's label.
  std::string title = {};
};

class TDBGrid : public QTableView {
  Q_OBJECT

 public:
  TDBGrid(TDataSource& source, std::vector<TDBGridColumn> columns, QWidget* parent = nullptr);

  TDBGridModel& Model() const { return *model_; }
  // The width a column gets when none is set: the field's display width in
  // digits of the font with the cell's margins, at least its title; 64
  // while the table is closed.
  int DefaultColumnWidth(int column) const;

 signals:
  // A move of the table asked from the grid failed with this text.
  void errorOccurred(const QString& text);

 private:
  void ApplyColumnWidths();
  void SelectCurrentRow(int row);

  TDBGridModel* model_;
  std::vector<TDBGridColumn> columns_;
  // The width of each column, kept across model resets (which would give
  // every column the default size again); settled once set, taken from the
  // field object, or changed by the user.
  std::vector<int> widths_;
  std::vector<bool> settled_;
  bool applying_ = false;
  bool following_ = false;   // selecting the row the table moved to
};
