#include "controls/memory_field.h"

#include "controls/locale_settings.h"
#include "controls/value_text.h"

TMemoryField::TMemoryField(TLinkKind kind, const QString& text, int maxLength)
    : kind_(kind), text_(text), maxLength_(maxLength) {}

void TMemoryField::SetText(const QString& text) {
  const TLocaleSettings& locale = LocaleSettings();
  const bool empty = text.trimmed().isEmpty();
  bool valid = true;
  if (kind_ == TLinkKind::Integer) valid = empty || ParseInteger(text).has_value();
  if (kind_ == TLinkKind::Float) valid = empty || ParseFloat(text, locale).has_value();
  if (kind_ == TLinkKind::Date) valid = empty || ParseDate(text, locale, ControlsNow().date()).has_value();
  if (!valid) throw std::invalid_argument("'" + text.toStdString() + "' is not a valid value");
  Assign(text);
}

double TMemoryField::Number() const { return ParseFloat(text_, LocaleSettings()).value_or(0); }

void TMemoryField::SetNumber(double value) { Assign(FormatFloatGeneral(value, LocaleSettings())); }

QDate TMemoryField::Date() const {
  return ParseDate(text_, LocaleSettings(), ControlsNow().date()).value_or(QDate());
}

void TMemoryField::SetDate(const QDate& value) {
  Assign(value.isValid() ? FormatDate(value, LocaleSettings()) : QString());
}

void TMemoryField::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  NotifyChanged();
}

bool TMemoryField::Edit() {
  if (readOnly_) return false;
  editing_ = true;
  return true;
}

void TMemoryField::Assign(const QString& text) {
  text_ = text;
  NotifyChanged();
}
