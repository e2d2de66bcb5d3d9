#pragma once
// The value of one field of a record image, by the encodings of the table
// files.

#include "xbase/dbf_file.h"
#include "xbase/expr/expression.h"

// C: the text at full width, as stored. N, F: the number ("Invalid numeric
// value in field %s" for other text). D: the date; blank, "00000000" and
// 8 digits that form no date give the empty date, other text is read as a
// short date ("Invalid date in field %s" when it is none). L: true for
// T t Y y J j. Memo-type fields give an empty Memo value.
XbValue ReadFieldValue(const XbField& field, const char* record, const XbDbfFile& table);

// The field a name in an expression stands for: the plain field name, or
// the table name, "." or "->", and the field name (any letter case).
// nullptr when the table has no such field.
const XbField* FindExpressionField(const XbDbfFile& table, std::string_view name);
