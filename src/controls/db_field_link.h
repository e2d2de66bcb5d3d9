#pragma once
// A field object of a table object as a bound edit sees it: the value in the
// user's locale (decimal comma, dd.mm.yyyy), editing through the table
// object (edit takes the record lock), and a change notice whenever the
// table object moves, changes state or changes the value.

#include <string>

#include "controls/field_link.h"
#include "xbase/table/dataset_observer.h"

class TDbfTable;
class TField;

class TDbFieldLink : public TFieldLink, private TDataSetObserver {
 public:
  // The field `fieldName` of `table`; it is looked up again whenever the
  // table object opens, so the link lives across close and open.
  TDbFieldLink(TDbfTable& table, std::string fieldName);
  ~TDbFieldLink() override;

  TLinkKind Kind() const override;
  QString Text() const override;
  void SetText(const QString& text) override;
  double Number() const override;
  void SetNumber(double value) override;
  QDate Date() const override;
  void SetDate(const QDate& value) override;
  bool ReadOnly() const override;
  bool Editing() const override;
  bool Edit() override;
  int MaxLength() const override;

 private:
  TField* Field() const;
  void DataSetChanged() override { Changed(); }
  void DataSetScrolled() override { Changed(); }
  void RecordChanged(const TField* field) override;
  void StateChanged() override { Changed(); }
  void Changed();

  TDbfTable& table_;
  std::string fieldName_;
  // Set while this link itself starts the edit: the edit that is being typed
  // into keeps its text and selection.
  bool starting_ = false;
};
