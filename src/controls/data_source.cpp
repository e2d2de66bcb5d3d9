#include "controls/data_source.h"

#include "xbase/table/dbf_table.h"

TDataSource::TDataSource(TDbfTable* dataSet, QObject* parent) : QObject(parent) {
  if (dataSet) {
    dataSet_ = dataSet;
    dataSet_->AddObserver(this);
  }
}

TDataSource::~TDataSource() {
  if (dataSet_) dataSet_->RemoveObserver(this);
}

void TDataSource::SetDataSet(TDbfTable* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->RemoveObserver(this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->AddObserver(this);
  emit dataSetChanged();
}

bool TDataSource::Active() const { return dataSet_ && dataSet_->Active(); }
