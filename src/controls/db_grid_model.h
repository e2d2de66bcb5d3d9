#pragma once
// TDBGridModel: the rows and columns a grid shows of one table object,
// through its data source. Rows are the visible records of the table's
// current order and range, first to last; columns are field objects named
// in a list, titled with their labels and shown by their display formats.
//
// The model follows the table: its current row is the row of the table's
// current record (moving the table moves the row), and MoveTo moves the
// table to a row's record. Record texts are read from the file while rows
// are painted and kept only until the event loop runs again, so a change
// another program wrote shows the next time its row is shown. While the
// table is not readable for grids (closed, editing, controls disabled) the
// model shows what it read last and never touches the table.

#include <QAbstractTableModel>
#include <QLocale>
#include <string>
#include <unordered_map>
#include <vector>

class TDataSource;
class TDbfTable;
class TField;

class TDBGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  TDBGridModel(TDataSource& source, std::vector<std::string> fieldNames, QObject* parent = nullptr);

  // The locale of numbers and their separators (default: QLocale()).
  void SetLocale(const QLocale& locale);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // Horizontal: the field titles. Vertical: no text; the current row carries
  // the role value CurrentRowRole = true (the row indicator).
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  static constexpr int CurrentRowRole = Qt::UserRole + 1;

  // The row of the table's current record; -1 when none is shown.
  int CurrentRow() const { return current_; }
  // Moves the table to the record of `row` (the table's own scroll events
  // and notifications follow). Errors are reported by errorOccurred.
  void MoveTo(int row);
  // The record number a row shows.
  long RecNoOfRow(int row) const;
  // The field object of a column while the table is open; nullptr otherwise
  // or when the table has no field of that name.
  TField* FieldOfColumn(int column) const;
  const std::vector<std::string>& FieldNames() const { return fieldNames_; }
  // A heading of the screen's own for a column instead of the field's label
  // (empty: the label again).
  void SetColumnTitle(int column, const QString& title);

 signals:
  // The table's current record is now in `row` (-1: none).
  void currentRowChanged(int row);
  // A move asked of the table failed with this text.
  void errorOccurred(const QString& text);

 private:
  struct CachedRow {
    std::vector<QString> texts;
    bool fresh = false;    // read in this pass of the event loop
    bool touched = false;  // shown in this pass
  };

  TDbfTable* Table() const;
  bool Readable() const;   // open, browse state, controls attached
  void Reload();           // one model reset over the current order and range
  void FollowTable();      // the current record moved
  void RowsChanged(int first, int last);
  void MarkStale(int row);
  void SetCurrent(int row);
  int FindRow(long recno) const;
  const CachedRow* Texts(int row) const;
  void ReadRows(int first) const;
  void ScheduleExpiry() const;
  void Expire() const;
  std::vector<QString> CurrentRecordTexts() const;

  TDataSource& source_;
  std::vector<std::string> fieldNames_;
  QLocale locale_;
  // Taken at each reset: the field objects of the columns, their titles
  // and alignments (shown also while the table is not readable).
  std::vector<TField*> fields_;
  std::vector<QString> titles_;
  std::vector<QString> ownTitles_;   // per column, empty: the field's label
  std::vector<Qt::Alignment> alignments_;
  std::vector<long> recnos_;
  int current_ = -1;
  mutable std::unordered_map<int, CachedRow> cache_;
  mutable bool expiryPending_ = false;
};
