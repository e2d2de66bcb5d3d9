#include "controls/field_display.h"

#include <QDate>
#include <cmath>

#include "xbase/table/field.h"

namespace {

bool IsNumeric(TFieldType t) {
  switch (t) {
    case TFieldType::Smallint:
    case TFieldType::Integer:
    case TFieldType::Largeint:
    case TFieldType::Float:
    case TFieldType::Currency: return true;
    default: return false;
  }
}

QString FormatDate(const XbDate& d, const QString& format) {
  // The day/month/year letters of the format; month is 'm' here, 'M' for Qt.
  QString qtFormat = format.isEmpty() ? QStringLiteral("dd.MM.yyyy") : format;
  if (!format.isEmpty()) {
    qtFormat.replace(QLatin1Char('m'), QLatin1Char('M'));
    qtFormat.replace(QLatin1Char('D'), QLatin1Char('d'));
    qtFormat.replace(QLatin1Char('Y'), QLatin1Char('y'));
  }
  return QDate(d.year, d.month, d.day).toString(qtFormat);
}

QString FormatBoolean(bool value, const QString& format) {
  if (format.isEmpty()) return value ? QStringLiteral("True") : QStringLiteral("False");
  qsizetype semicolon = format.indexOf(QLatin1Char(';'));
  if (semicolon < 0) return value ? format : QString();
  return value ? format.left(semicolon) : format.mid(semicolon + 1);
}

}  // namespace

QString FormatNumber(double value, const QString& format, const QLocale& locale) {
  // Only the first section of a format counts (no separate negative form).
  QString section = format.section(QLatin1Char(';'), 0, 0);
  qsizetype dot = section.indexOf(QLatin1Char('.'));
  QString whole = dot < 0 ? section : section.left(dot);
  QString fraction = dot < 0 ? QString() : section.mid(dot + 1);
  int minDecimals = static_cast<int>(fraction.count(QLatin1Char('0')));
  int maxDecimals = minDecimals + static_cast<int>(fraction.count(QLatin1Char('#')));
  bool grouped = whole.contains(QLatin1Char(','));

  QLocale l = locale;
  l.setNumberOptions(grouped ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
  QString text = l.toString(value, 'f', maxDecimals);
  if (maxDecimals > minDecimals) {
    // Optional decimals: drop trailing zeros down to the required ones.
    QChar zero = l.zeroDigit().at(0);
    qsizetype decimal = text.lastIndexOf(l.decimalPoint());
    qsizetype keep = decimal + 1 + minDecimals;
    while (text.size() > keep && text.back() == zero) text.chop(1);
    if (text.size() == decimal + 1) text.chop(1);
  }
  if (!whole.contains(QLatin1Char('0'))) {
    // No required integer digit: 0.5 shows as ",5".
    QString zeroWhole = l.zeroDigit();
    if (text.startsWith(zeroWhole + l.decimalPoint())) text.remove(0, zeroWhole.size());
    else if (text == zeroWhole && std::fabs(value) < 0.5) text.clear();
  }
  return text;
}

QString FieldDisplayText(const TField& field, const QLocale& locale) {
  TValue v = field.Value();
  QString format = QString::fromStdString(field.displayFormat);
  if (auto* s = std::get_if<std::string>(&v)) return QString::fromStdString(*s);
  if (auto* i = std::get_if<int64_t>(&v))
    return format.isEmpty() ? QString::number(*i) : FormatNumber(static_cast<double>(*i), format, locale);
  if (auto* d = std::get_if<double>(&v)) {
    if (!format.isEmpty()) return FormatNumber(*d, format, locale);
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(*d, 'g', 15);
  }
  if (auto* b = std::get_if<bool>(&v)) return FormatBoolean(*b, format);
  if (auto* date = std::get_if<XbDate>(&v)) return FormatDate(*date, format);
  return {};
}

Qt::Alignment FieldAlignment(const TField& field) {
  return (IsNumeric(field.DataType()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QString FieldTitle(const TField& field) {
  return QString::fromStdString(field.displayLabel.empty() ? field.FieldName() : field.displayLabel);
}

int FieldDisplayWidth(const TField& field) {
  if (field.displayWidth > 0) return field.displayWidth;
  switch (field.DataType()) {
    case TFieldType::String: return field.Size() > 0 ? field.Size() : 20;
    case TFieldType::Smallint: return 6;
    case TFieldType::Integer: return 11;
    case TFieldType::Largeint: return 15;
    case TFieldType::Boolean: return 5;
    case TFieldType::Date: return 10;
    case TFieldType::DateTime: return 18;
    default: return 10;
  }
}
