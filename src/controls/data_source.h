#pragma once
// TDataSource: the link between one table object and the data-aware
// widgets that show it. It listens to the table object as an observer and
// passes each notification on as a Qt signal, so that grids, navigators and
// bound edits need not know the table's observer list.

#include <QObject>

#include "xbase/table/dataset_observer.h"

class TDbfTable;

class TDataSource : public QObject, public TDataSetObserver {
  Q_OBJECT

 public:
  // Attaches to `dataSet` when one is given. The table object must outlive
  // the attachment (detach first, or destroy the data source first).
  explicit TDataSource(TDbfTable* dataSet = nullptr, QObject* parent = nullptr);
  ~TDataSource() override;
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TDbfTable* DataSet() const { return dataSet_; }
  // Detaches from the current table object and attaches to `dataSet`
  // (nullptr: stays detached); the widgets hear one dataSetChanged.
  void SetDataSet(TDbfTable* dataSet);

  // True while attached to an open table object.
  bool Active() const;

 signals:
  // Anything may have changed: opened, closed, another order or range,
  // controls attached again, another table object.
  void dataSetChanged();
  // The current record moved.
  void dataSetScrolled();
  // Values of the current record changed (one field, or all when nullptr).
  void recordChanged(const TField* field);
  // Browse, edit, insert or closed.
  void stateChanged();

 private:
  void DataSetChanged() override { emit dataSetChanged(); }
  void DataSetScrolled() override { emit dataSetScrolled(); }
  void RecordChanged(const TField* field) override { emit recordChanged(field); }
  void StateChanged() override { emit stateChanged(); }

  TDbfTable* dataSet_ = nullptr;
};
