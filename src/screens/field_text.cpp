#include "screens/field_text.h"

#include "controls/locale_settings.h"
#include "controls/value_text.h"
#include "xbase/errors.h"
#include "xbase/table/field.h"

QString FieldText(const TField& field) {
  if (field.IsNull()) return {};
  switch (field.DataType()) {
    case TFieldType::Float:
    case TFieldType::Currency:
      return FormatFloatGeneral(field.AsFloat(), LocaleSettings());
    default:
      return QString::fromStdString(field.AsString());
  }
}

void SetFieldText(TField& field, const QString& text) {
  const bool empty = text.trimmed().isEmpty();
  switch (field.DataType()) {
    case TFieldType::Float:
    case TFieldType::Currency: {
      if (empty) return field.Clear();
      std::optional<double> value = ParseFloat(text.trimmed(), LocaleSettings());
      if (!value) throw EDatabaseError("'" + text.toStdString() + "' není platné číslo !");
      return field.SetAsFloat(*value);
    }
    case TFieldType::Smallint:
    case TFieldType::Integer:
    case TFieldType::Largeint: {
      if (empty) return field.Clear();
      std::optional<int> value = ParseInteger(text.trimmed());
      if (!value) throw EDatabaseError("'" + text.toStdString() + "' není platné celé číslo !");
      return field.SetAsInteger(*value);
    }
    default:
      field.SetAsString(text.toStdString());
  }
}
