#pragma once
// Completion of a partly typed date or time against a reference moment, so
// that a user may type "7" for the 7th of this month or "7.5" for the 7th of
// May of this year.

#include <QDateTime>
#include <QString>

struct TLocaleSettings;

// Completes `text` as a date against the date of `reference` and returns
// whether it passed. The text is trimmed and cut to 10 characters; its first
// two separator-like characters (* + , - . / : ?) become the date separator;
// then
//   no separator, 1 or 2 characters  -> text.MM.yyyy of the reference
//   no separator, 6 characters       -> dd.mm.yy (separators inserted)
//   no separator, other length       -> failed
//   text begins with a separator     -> the reference date
//   one separator inside             -> text.yyyy of the reference
//   one separator at the end         -> text + MM.yyyy of the reference
//   two adjacent separators          -> failed
//   two separators, second at end    -> text + yyyy of the reference
//   two separators otherwise         -> text as it is
// Every branch that keeps the typed characters requires them to be digits,
// blanks and the locale's date and time separators. A failed text becomes
// empty; an empty (or blank) text passes unchanged. The completed text is not
// yet checked to be a real date.
bool CompleteDate(QString& text, const QDateTime& reference, const TLocaleSettings& locale);

// The same for a time: the time separator, the reference's time in the long
// time form (its minutes and seconds fill what is missing), at most 8
// characters.
bool CompleteTime(QString& text, const QDateTime& reference, const TLocaleSettings& locale);
