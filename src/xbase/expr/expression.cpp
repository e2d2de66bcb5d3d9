#include "xbase/expr/expression.h"

#include <cstring>

#include "xbase/dbf_file.h"
#include "xbase/expr/functions.h"
#include "xbase/expr/nodes.h"
#include "xbase/expr/parser.h"

const char* KindName(XbValueKind kind) {
  switch (kind) {
    case XbValueKind::Text: return "Text";
    case XbValueKind::Number: return "Number";
    case XbValueKind::Integer: return "Integer";
    case XbValueKind::Date: return "Date";
    case XbValueKind::DateTime: return "DateTime";
    case XbValueKind::Boolean: return "Boolean";
    case XbValueKind::Memo: return "Memo";
    case XbValueKind::Empty: break;
  }
  return "Empty";
}

XbValue XbValue::OfText(std::string text) {
  XbValue v;
  v.kind = XbValueKind::Text;
  v.text = std::move(text);
  return v;
}

XbValue XbValue::OfNumber(double number) {
  XbValue v;
  v.kind = XbValueKind::Number;
  v.number = number;
  return v;
}

XbValue XbValue::OfDate(long day) {
  XbValue v;
  v.kind = XbValueKind::Date;
  v.date = day;
  return v;
}

XbValue XbValue::OfBoolean(bool value) {
  XbValue v;
  v.kind = XbValueKind::Boolean;
  v.boolean = value;
  return v;
}

XbExpression::XbExpression(std::string text, const XbDbfFile& table) : text_(std::move(text)), table_(&table) {}

XbExpression::~XbExpression() = default;

std::unique_ptr<XbExpression> XbExpression::Parse(std::string_view text, const XbDbfFile& table) {
  std::unique_ptr<XbExpression> e(new XbExpression(std::string(text), table));
  XbParsed parsed = ParseExpression(text, table);
  e->root_ = std::move(parsed.root);
  e->fields_ = std::move(parsed.fields);
  if (e->root_) {
    // A trial on a blank record gives the kind and length of the keys.
    std::string blank(static_cast<size_t>(table.RecordLength()), ' ');
    XbValue trial = e->Evaluate(blank.data(), 0);
    e->resultKind_ = trial.kind;
    switch (trial.kind) {
      case XbValueKind::Text:
      case XbValueKind::Memo: e->resultLength_ = static_cast<int>(trial.text.size()); break;
      case XbValueKind::Boolean: e->resultLength_ = 1; break;
      default: e->resultLength_ = 8; break;
    }
  }
  return e;
}

bool XbExpression::IsEmpty() const { return !root_; }

std::optional<XbExpression::FieldText> XbExpression::DirectFieldText() const {
  auto characterField = [](const XbExpNode* node) -> const XbField* {
    auto* f = dynamic_cast<const XbExpFieldvar*>(node);
    return f && f->Field().type == 'C' ? &f->Field() : nullptr;
  };
  if (const XbField* f = characterField(root_.get())) return FieldText{f, false};
  auto* call = dynamic_cast<const XbExpFunction*>(root_.get());
  if (call && std::strcmp(call->Def().name, "UPPER") == 0 && call->Args().size() == 1)
    if (const XbField* f = characterField(call->Args()[0].get())) return FieldText{f, true};
  return std::nullopt;
}

XbValue XbExpression::Evaluate(const char* record, long recno) const {
  if (!root_) return XbValue();
  return root_->Evaluate(XbExpContext{*table_, record, recno});
}

XbValue XbExpression::Evaluate() const { return Evaluate(table_->Buffer(), table_->RecNo()); }

XbValueKind XbExpression::ResultKind() const { return resultKind_; }
int XbExpression::ResultLength() const { return resultLength_; }

std::string XbExpression::FieldList() const {
  std::string list;
  for (const std::string& f : fields_) list += f + ";";
  return list;
}

const std::string& XbExpression::Text() const { return text_; }
