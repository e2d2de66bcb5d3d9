// Table functions of the library: the record number, the deletion mark and
// the position of the table, the type of an expression, a field's number.

#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/expr/field_value.h"
#include "xbase/expr/functions.h"

namespace {

XbValue Recno(const XbExpCall& c) { return XbValue::OfNumber(static_cast<double>(c.Context().recno)); }
XbValue Deleted(const XbExpCall& c) { return XbValue::OfBoolean(c.Context().record[0] == '*'); }
XbValue Bof(const XbExpCall& c) { return XbValue::OfBoolean(c.Context().table.Bof()); }
XbValue Eof(const XbExpCall& c) { return XbValue::OfBoolean(c.Context().table.Eof()); }

// TYPE(text): the type letter of the expression the text holds, evaluated
// on the same record: C N D T L M, or U when it cannot be evaluated.
XbValue Type(const XbExpCall& c) {
  const XbExpContext& ctx = c.Context();
  XbValueKind kind = XbValueKind::Empty;
  try {
    kind = XbExpression::Parse(c.Text(0), ctx.table)->Evaluate(ctx.record, ctx.recno).kind;
  } catch (const EDbfExpression&) {
    kind = XbValueKind::Empty;
  }
  switch (kind) {
    case XbValueKind::Text: return XbValue::OfText("C");
    case XbValueKind::Number: case XbValueKind::Integer: return XbValue::OfText("N");
    case XbValueKind::Date: return XbValue::OfText("D");
    case XbValueKind::DateTime: return XbValue::OfText("T");
    case XbValueKind::Boolean: return XbValue::OfText("L");
    case XbValueKind::Memo: return XbValue::OfText("M");
    default: return XbValue::OfText("U");
  }
}

// FIELDNO(name): the field's number from 1, 0 when the table has none.
XbValue Fieldno(const XbExpCall& c) {
  std::string name = c.Text(0);
  size_t first = name.find_first_not_of(' ');
  const XbField* f = first == std::string::npos
                         ? nullptr
                         : FindExpressionField(c.Context().table, std::string_view(name).substr(first));
  return XbValue::OfNumber(f ? f->number : 0);
}

const XbExpFunctionDef kFunctions[] = {
    {"RECNO", 0, Recno}, {"DELETED", 0, Deleted}, {"BOF", 0, Bof},
    {"EOF", 0, Eof},     {"TYPE", 1, Type},       {"FIELDNO", 1, Fieldno},
};

}  // namespace

std::span<const XbExpFunctionDef> TableFunctions() { return kFunctions; }
