#include "xbase/table/field.h"

#include <cmath>
#include <cstdio>

#include "xbase/codepage.h"
#include "xbase/errors.h"
#include "xbase/field_codec.h"
#include "xbase/table/dbf_table.h"
#include "xbase/table/table_messages.h"

const char* FieldTypeName(TFieldType type) {
  switch (type) {
    case TFieldType::String: return "String";
    case TFieldType::Smallint: return "Smallint";
    case TFieldType::Integer: return "Integer";
    case TFieldType::Largeint: return "Largeint";
    case TFieldType::Float: return "Float";
    case TFieldType::Currency: return "Currency";
    case TFieldType::Boolean: return "Boolean";
    case TFieldType::Date: return "Date";
    case TFieldType::DateTime: return "DateTime";
    case TFieldType::Memo: return "Memo";
    case TFieldType::Blob: return "Blob";
  }
  return "Unknown";
}

namespace {
int KindGroup(TFieldType t) {
  switch (t) {
    case TFieldType::Smallint:
    case TFieldType::Integer: return 1;
    case TFieldType::Largeint: return 2;
    case TFieldType::Float:
    case TFieldType::Currency: return 3;
    case TFieldType::Date:
    case TFieldType::DateTime: return 4;
    case TFieldType::Memo:
    case TFieldType::Blob: return 5;
    case TFieldType::Boolean: return 6;
    case TFieldType::String: return 7;
  }
  return 0;
}

bool IsWhole(TFieldType t) {
  return t == TFieldType::Smallint || t == TFieldType::Integer || t == TFieldType::Largeint;
}

std::string FormatDate(const XbDate& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buf;
}

// "dd.mm.yyyy" (separators '.', '/' or '-'), "yyyy-mm-dd" or "yyyymmdd".
std::optional<XbDate> ParseDate(const std::string& text) {
  if (auto d = XbDate::FromDtos(text)) return d;
  int day, month, year;
  char s1, s2;
  if (std::sscanf(text.c_str(), "%d%c%d%c%d", &day, &s1, &month, &s2, &year) == 5) {
    if (day > 31) std::swap(day, year);
    XbDate d{year, month, day};
    if (d.IsValid()) return d;
  }
  return std::nullopt;
}

std::string NumberText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

// The whole number nearest `v`, halves to the even neighbour (the default
// rounding mode). A number beyond the 64-bit range (a 20-digit field can
// hold one) has no whole value: "Invalid numeric value in field %s".
// The label of the message is made only when it is needed: this runs for
// every whole number read.
template <class Label>
int64_t WholeNumber(double v, const Label& label) {
  double r = std::nearbyint(v);
  if (!(r >= -0x1p63 && r < 0x1p63)) ThrowDbf(msg::kInvalidNumeric, {label() + " (" + NumberText(v) + ")"});
  return static_cast<int64_t>(r);
}
}  // namespace

bool SameKind(TFieldType a, TFieldType b) { return KindGroup(a) == KindGroup(b); }

TField::TField(TDbfTable& table, std::string name, TFieldType type, int size, TFieldKind kind)
    : table_(table), name_(std::move(name)), type_(type), size_(size), kind_(kind) {}

TValue TField::Value() const {
  if (kind_ != TFieldKind::Data) return table_.CalculatedValue(*this);
  if (!binding_ || !table_.Active()) return TValue();
  const XbDbfFile& file = table_.File();
  if (table_.IsEmpty()) return TValue();
  const XbField& f = *binding_;
  switch (type_) {
    case TFieldType::String:
    case TFieldType::Memo:
    case TFieldType::Blob: {
      std::string_view raw = codec::TrimRight(file.RawField(f));
      if (raw.empty()) return TValue();
      const Codepage& cp = Codepage::Instance();
      return cp.AnsiToUtf8(table_.TranslateASCII() ? cp.OemToAnsi(raw) : std::string(raw));
    }
    case TFieldType::Smallint:
    case TFieldType::Integer:
    case TFieldType::Largeint:
      return WholeNumber(file.GetNumber(f), [&] { return file.TableName() + "->" + f.name; });
    case TFieldType::Float:
    case TFieldType::Currency:
      return file.GetNumber(f);
    case TFieldType::Boolean:
      return file.GetLogical(f);
    case TFieldType::Date:
    case TFieldType::DateTime: {
      std::optional<XbDate> d = XbDate::FromDtos(codec::TrimRight(file.RawField(f)));
      return d ? TValue(*d) : TValue();
    }
  }
  return TValue();
}

std::string TField::AsString() const {
  TValue v = Value();
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return NumberText(*d);
  if (auto* b = std::get_if<bool>(&v)) return *b ? "T" : "F";
  if (auto* dt = std::get_if<XbDate>(&v)) return FormatDate(*dt);
  return {};
}

int64_t TField::AsInteger() const {
  TValue v = Value();
  if (auto* i = std::get_if<int64_t>(&v)) return *i;
  if (auto* d = std::get_if<double>(&v)) return WholeNumber(*d, [this] { return name_; });
  if (auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
  if (auto* s = std::get_if<std::string>(&v)) return WholeNumber(codec::ParseNumber(*s).value_or(0), [this] { return name_; });
  return 0;
}

double TField::AsFloat() const {
  TValue v = Value();
  if (auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&v)) return *d;
  if (auto* s = std::get_if<std::string>(&v)) return codec::ParseNumber(*s).value_or(0);
  return 0;
}

bool TField::AsBoolean() const {
  TValue v = Value();
  if (auto* b = std::get_if<bool>(&v)) return *b;
  if (auto* i = std::get_if<int64_t>(&v)) return *i != 0;
  if (auto* s = std::get_if<std::string>(&v)) return !s->empty() && codec::IsTrueLetter((*s)[0]);
  return false;
}

std::optional<XbDate> TField::AsDate() const {
  TValue v = Value();
  if (auto* d = std::get_if<XbDate>(&v)) return *d;
  return std::nullopt;
}

void TField::SetValue(const TValue& value) {
  if (kind_ != TFieldKind::Data) {
    if (!table_.Calculating() && table_.State() != TDataSetState::Edit && table_.State() != TDataSetState::Insert)
      ThrowDb(msg::kNotEditing);
    table_.SetCalculatedValue(*this, value);
    table_.FieldChanged(*this);
    return;
  }
  if (table_.State() != TDataSetState::Edit && table_.State() != TDataSetState::Insert)
    ThrowDb(msg::kNotEditing);
  if (readOnly_) ThrowDb(msg::kFieldReadOnly, {name_});
  XbDbfFile& file = table_.File();
  const XbField& f = *binding_;
  const Codepage& cp = Codepage::Instance();
  auto toDisk = [&](const std::string& utf8) {
    std::string ansi = cp.Utf8ToAnsi(utf8);
    return table_.TranslateASCII() ? cp.AnsiToOem(ansi) : ansi;
  };
  if (std::holds_alternative<std::monostate>(value)) {
    file.PutText(f, "");
  } else if (type_ == TFieldType::String || type_ == TFieldType::Memo || type_ == TFieldType::Blob) {
    std::string text;
    if (auto* s = std::get_if<std::string>(&value)) text = *s;
    else if (auto* i = std::get_if<int64_t>(&value)) text = std::to_string(*i);
    else if (auto* d = std::get_if<double>(&value)) text = NumberText(*d);
    else if (auto* b = std::get_if<bool>(&value)) text.assign(1, *b ? 'T' : 'F');
    else if (auto* dt = std::get_if<XbDate>(&value)) text = FormatDate(*dt);
    file.PutText(f, toDisk(text));
  } else if (IsWhole(type_) || type_ == TFieldType::Float || type_ == TFieldType::Currency) {
    if (auto* s = std::get_if<std::string>(&value)) file.PutNumberText(f, *s);
    else if (auto* i = std::get_if<int64_t>(&value)) file.PutNumber(f, static_cast<double>(*i));
    else if (auto* d = std::get_if<double>(&value)) file.PutNumber(f, *d);
    else if (auto* b = std::get_if<bool>(&value)) file.PutNumber(f, *b ? 1 : 0);
    else throw EDbfError(FormatMessage(msg::kInvalidValue, {"Number", f.name}));
  } else if (type_ == TFieldType::Boolean) {
    if (auto* b = std::get_if<bool>(&value)) file.PutLogical(f, *b);
    else if (auto* s = std::get_if<std::string>(&value)) file.PutLogicalText(f, *s);
    else if (auto* i = std::get_if<int64_t>(&value)) file.PutLogical(f, *i != 0);
    else throw EDbfError(FormatMessage(msg::kInvalidValue, {"Logical", f.name}));
  } else {  // dates
    if (auto* dt = std::get_if<XbDate>(&value)) file.PutDate(f, dt->IsValid() ? std::optional<XbDate>(*dt) : std::nullopt);
    else if (auto* s = std::get_if<std::string>(&value)) file.PutDate(f, ParseDate(*s));
    else throw EDbfError(FormatMessage(msg::kInvalidValue, {"Date", f.name}));
  }
  table_.FieldChanged(*this);
}
