#include "controls/db_field_link.h"

#include <stdexcept>

#include "controls/locale_settings.h"
#include "controls/value_text.h"
#include "xbase/table/dbf_table.h"

TDbFieldLink::TDbFieldLink(TDbfTable& table, std::string fieldName) : table_(table), fieldName_(std::move(fieldName)) {
  table_.AddObserver(this);
}

TDbFieldLink::~TDbFieldLink() { table_.RemoveObserver(this); }

TField* TDbFieldLink::Field() const { return table_.FindField(fieldName_); }

TLinkKind TDbFieldLink::Kind() const {
  TField* f = Field();
  if (!f) return TLinkKind::String;
  switch (f->DataType()) {
    case TFieldType::Smallint:
    case TFieldType::Integer:
    case TFieldType::Largeint: return TLinkKind::Integer;
    case TFieldType::Float:
    case TFieldType::Currency: return TLinkKind::Float;
    case TFieldType::Date:
    case TFieldType::DateTime: return TLinkKind::Date;
    case TFieldType::Boolean: return TLinkKind::Logical;
    case TFieldType::Memo:
    case TFieldType::Blob: return TLinkKind::Memo;
    case TFieldType::String: return TLinkKind::String;
  }
  return TLinkKind::String;
}

QString TDbFieldLink::Text() const {
  TField* f = Field();
  if (!f || !table_.Active() || f->IsNull()) return {};
  switch (Kind()) {
    case TLinkKind::Float: return FormatFloatGeneral(f->AsFloat(), LocaleSettings());
    case TLinkKind::Date: return Date().isValid() ? FormatDate(Date(), LocaleSettings()) : QString();
    default: return QString::fromStdString(f->AsString());
  }
}

void TDbFieldLink::SetText(const QString& text) {
  TField* f = Field();
  if (!f) throw std::runtime_error("Field '" + fieldName_ + "' not found");
  const bool empty = text.trimmed().isEmpty();
  switch (Kind()) {
    case TLinkKind::Integer: {
      std::optional<int> v = ParseInteger(text);
      if (!empty && !v) throw std::invalid_argument("'" + text.toStdString() + "' není platné celé číslo !");
      f->SetAsInteger(v.value_or(0));
      break;
    }
    case TLinkKind::Float: {
      std::optional<double> v = ParseFloat(text, LocaleSettings());
      if (!empty && !v) throw std::invalid_argument("'" + text.toStdString() + "' není platné číslo !");
      f->SetAsFloat(v.value_or(0));
      break;
    }
    case TLinkKind::Date: {
      std::optional<QDate> d = empty ? std::nullopt : ParseDate(text, LocaleSettings(), ControlsNow().date());
      if (!empty && !d) throw std::invalid_argument("'" + text.toStdString() + "' není platné datum !");
      SetDate(d.value_or(QDate()));
      break;
    }
    default:
      f->SetAsString(text.toStdString());
  }
}

double TDbFieldLink::Number() const {
  TField* f = Field();
  return f && table_.Active() ? f->AsFloat() : 0;
}

void TDbFieldLink::SetNumber(double value) {
  if (TField* f = Field()) f->SetAsFloat(value);
}

QDate TDbFieldLink::Date() const {
  TField* f = Field();
  if (!f || !table_.Active()) return {};
  std::optional<XbDate> d = f->AsDate();
  return d ? QDate(d->year, d->month, d->day) : QDate();
}

void TDbFieldLink::SetDate(const QDate& value) {
  TField* f = Field();
  if (!f) return;
  if (value.isValid()) f->SetAsDate(XbDate{value.year(), value.month(), value.day()});
  else f->SetAsDate(std::nullopt);
}

bool TDbFieldLink::ReadOnly() const {
  TField* f = Field();
  return !f || !table_.Active() || f->ReadOnly() || table_.ReadOnly() || f->FieldKind() != TFieldKind::Data;
}

bool TDbFieldLink::Editing() const {
  return table_.Active() && (table_.State() == TDataSetState::Edit || table_.State() == TDataSetState::Insert);
}

bool TDbFieldLink::Edit() {
  if (ReadOnly()) return false;
  if (!Editing()) {
    starting_ = true;
    try {
      table_.Edit();
    } catch (...) {
      starting_ = false;
      throw;
    }
    starting_ = false;
  }
  return Editing();
}

void TDbFieldLink::Changed() {
  if (!starting_) NotifyChanged();
}

int TDbFieldLink::MaxLength() const {
  TField* f = Field();
  return f && f->DataType() == TFieldType::String ? f->Size() : 0;
}

void TDbFieldLink::RecordChanged(const TField* field) {
  if (!field || field->FieldName() == fieldName_) Changed();
}
