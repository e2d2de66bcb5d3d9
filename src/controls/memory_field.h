#pragma once
// A field held in memory: the value as text, a read-only flag and an editing
// state. It stands in for a table's field where no table is at hand (tests,
// dialogs that collect values without a table).

#include "controls/field_link.h"

#include <stdexcept>

class TMemoryField : public TFieldLink {
 public:
  explicit TMemoryField(TLinkKind kind, const QString& text = {}, int maxLength = 0);

  TLinkKind Kind() const override { return kind_; }
  QString Text() const override { return text_; }
  // Integer, float and date fields refuse a text that is no such value
  // (std::invalid_argument); an empty text is an empty value.
  void SetText(const QString& text) override;
  double Number() const override;
  void SetNumber(double value) override;
  QDate Date() const override;
  void SetDate(const QDate& value) override;

  bool ReadOnly() const override { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool Editing() const override { return editing_; }
  // False for a read-only field.
  bool Edit() override;
  // Ends editing (the record is posted).
  void Post() { editing_ = false; }
  int MaxLength() const override { return maxLength_; }

  // Changes the value from outside the edit (another record became current).
  void Assign(const QString& text);

 private:
  TLinkKind kind_;
  QString text_;
  int maxLength_;
  bool readOnly_ = false;
  bool editing_ = false;
};
