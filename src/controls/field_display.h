#pragma once
// How data-aware widgets show a field object's value: the text by the
// field's display format and the locale, its alignment, its title and its
// default width. Formats understood:
//   numbers  "#,##0.00" (',' groups thousands, digits after '.' are the
//            decimals: '0' always shown, '#' only when not zero), "###0.00";
//            without a format: integers plainly, other numbers with up to 15
//            significant digits, never grouped;
//   logicals "Ano; Ne": the text before ';' for true, the text after it
//            (its blank kept) for false; without a format "True"/"False";
//   dates    "dd.mm.yyyy" (d, dd, m, mm, yy, yyyy); without a format dd.mm.yyyy.
// A field without a value shows an empty text.

#include <QLocale>
#include <QString>

class TField;

QString FieldDisplayText(const TField& field, const QLocale& locale);

// Numbers right-aligned, everything else left-aligned; vertically centred.
Qt::Alignment FieldAlignment(const TField& field);

// The column title: the field's label, or its name when it has none.
QString FieldTitle(const TField& field);

// Characters a grid column shows of the field when no width is set: the
// field's display width when declared, else by its value type.
int FieldDisplayWidth(const TField& field);

// Formats a number by a numeric display format (see above).
QString FormatNumber(double value, const QString& format, const QLocale& locale);
