#pragma once
// Moving values between a card's fields and the editor's edits as text: a
// number in the locale's form (decimal comma), and back, a numeric field
// parsing the text with the locale's decimal separator.

#include <QString>

class TField;

// The field's value as an edit shows it; empty for an empty field.
QString FieldText(const TField& field);
// Stores `text` into the field: a text field takes it unchanged; a numeric
// field is emptied by an empty text and refuses a text that is not a number
// with an error naming it ("'x' není platné číslo !").
void SetFieldText(TField& field, const QString& text);
