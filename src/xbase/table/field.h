#pragma once
// Field objects of a table object: one per field the table object shows,
// bound to a field of the table file by name (or calculated), giving its
// value in the program's terms: text as UTF-8 with trailing blanks removed,
// numbers, logicals and dates.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "xbase/date.h"

struct XbField;
class TDbfTable;

// Value types of field objects, by the names error messages use.
enum class TFieldType { String, Smallint, Integer, Largeint, Float, Currency, Boolean, Date, DateTime, Memo, Blob };
const char* FieldTypeName(TFieldType type);
// Types of one kind may be bound to one another (16/32-bit integers, ...).
bool SameKind(TFieldType a, TFieldType b);

// Stored in the table file, computed for every record, or looked up.
enum class TFieldKind { Data, Calculated, Lookup };

// A field value: null, text (UTF-8), whole number, number, logical or date.
using TValue = std::variant<std::monostate, std::string, int64_t, double, bool, XbDate>;

class TField {
 public:
  TField(TDbfTable& table, std::string name, TFieldType type, int size, TFieldKind kind);

  const std::string& FieldName() const { return name_; }
  TFieldType DataType() const { return type_; }
  int Size() const { return size_; }
  TFieldKind FieldKind() const { return kind_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // Column title and caption; display and edit formats (empty: none).
  std::string displayLabel, displayFormat, editFormat;
  int displayWidth = 0;

  // The field of the table file this object is bound to while open.
  const XbField* Binding() const { return binding_; }
  void Bind(const XbField* field) { binding_ = field; }

  TValue Value() const;
  bool IsNull() const { return std::holds_alternative<std::monostate>(Value()); }
  std::string AsString() const;   // text, number in plain form, "T"/"F", date as dd.mm.yyyy
  int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  std::optional<XbDate> AsDate() const;

  // Writes need the table object in edit or insert state.
  void SetValue(const TValue& value);
  void SetAsString(const std::string& text) { SetValue(text); }
  void SetAsInteger(int64_t v) { SetValue(v); }
  void SetAsFloat(double v) { SetValue(v); }
  void SetAsBoolean(bool v) { SetValue(v); }
  void SetAsDate(const std::optional<XbDate>& d) { SetValue(d ? TValue(*d) : TValue()); }
  void Clear() { SetValue(TValue()); }

 private:
  TDbfTable& table_;
  std::string name_;
  TFieldType type_;
  int size_;
  TFieldKind kind_;
  bool readOnly_ = false;
  const XbField* binding_ = nullptr;
};
