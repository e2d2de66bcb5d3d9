// The table object's field objects: the value type each table field gets,
// binding declared field objects to the file at open, and the values of
// calculated fields.

#include "xbase/ascii.h"
#include "xbase/scope_guard.h"
#include "xbase/table/dbf_table.h"
#include "xbase/table/table_messages.h"

namespace {

// The value type a table file's field gets.
std::optional<TFieldType> DescribedType(const XbField& f, TXbIntFields largeAs) {
  switch (f.type) {
    case 'C': return TFieldType::String;
    case 'L': return TFieldType::Boolean;
    case 'D': return TFieldType::Date;
    case 'M': return TFieldType::Memo;
    case 'B':
    case 'G': return TFieldType::Blob;
    case 'I': return TFieldType::Integer;
    case 'T': return TFieldType::DateTime;
    case 'Y': return TFieldType::Currency;
    case 'N':
    case 'F':
      if (f.decimals > 0) return TFieldType::Float;
      if (f.length < 5) return TFieldType::Smallint;
      if (f.length < 10) return TFieldType::Integer;
      return largeAs == TXbIntFields::asLargeInt ? TFieldType::Largeint
             : largeAs == TXbIntFields::asFloat  ? TFieldType::Float
                                                 : TFieldType::Integer;
    default: return std::nullopt;
  }
}

}  // namespace

void TDbfTable::BindFields() {
  const TXbIntFields largeAs = LargeIntegerAs;
  if (declaredFields_ == 0) {
    for (const XbField& f : file_->Fields()) {
      std::optional<TFieldType> type = DescribedType(f, largeAs);
      if (!type) continue;
      fields_.push_back(std::make_unique<TField>(*this, f.name, *type, f.type == 'C' ? f.length : 0, TFieldKind::Data));
      fields_.back()->Bind(&f);
    }
  } else {
    for (size_t i = 0; i < declaredFields_; ++i) {
      TField& field = *fields_[i];
      field.Bind(nullptr);
      if (field.FieldKind() != TFieldKind::Data) continue;
      const XbField* f = file_->FindField(field.FieldName());
      std::optional<TFieldType> type = f ? DescribedType(*f, largeAs) : std::nullopt;
      if (!type) ThrowDb(msg::kFieldNotFound, {field.FieldName()});
      if (!SameKind(field.DataType(), *type))
        ThrowDb(msg::kTypeMismatch, {field.FieldName(), FieldTypeName(field.DataType()), FieldTypeName(*type)});
      field.Bind(f);
    }
  }
  calculated_.assign(fields_.size(), TValue());
}

TField& TDbfTable::AddField(const std::string& name, TFieldType type, int size, TFieldKind kind) {
  if (Active()) ThrowDb(msg::kDatasetOpen);
  fields_.push_back(std::make_unique<TField>(*this, name, type, size, kind));
  declaredFields_ = fields_.size();
  return *fields_.back();
}

TField* TDbfTable::FindField(const std::string& name) const {
  std::string wanted = AsciiUpper(name);
  for (const auto& f : fields_)
    if (AsciiUpper(f->FieldName()) == wanted) return f.get();
  return nullptr;
}

TField& TDbfTable::FieldByName(const std::string& name) const {
  if (TField* f = FindField(name)) return *f;
  ThrowDb(msg::kFieldNotFound, {name});
}

TValue TDbfTable::CalculatedValue(const TField& field) const {
  for (size_t i = 0; i < fields_.size() && i < calculated_.size(); ++i)
    if (fields_[i].get() == &field) return calculated_[i];
  return TValue();
}

void TDbfTable::SetCalculatedValue(const TField& field, const TValue& value) {
  for (size_t i = 0; i < fields_.size() && i < calculated_.size(); ++i)
    if (fields_[i].get() == &field) calculated_[i] = value;
}

void TDbfTable::FieldChanged(const TField& field) {
  if (calculating_) return;
  modified_ = true;
  NotifyRecord(&field);
}

void TDbfTable::ComputeCalculatedFields() {
  std::fill(calculated_.begin(), calculated_.end(), TValue());
  if (!OnCalcFields) return;
  calculating_ = true;
  XbOnExit done([this] { calculating_ = false; });
  OnCalcFields(*this);
}
