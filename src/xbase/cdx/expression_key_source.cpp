// The one adapter between the expression evaluator and the index layer.
#include "xbase/cdx/expression_key_source.h"

#include <memory>

#include "xbase/expr/expression.h"
#include "xbase/expr/functions.h"

namespace {

class ExpressionKeySource : public XbKeySource {
 public:
  ExpressionKeySource(std::unique_ptr<XbExpression> key, std::unique_ptr<XbExpression> filter,
                      const XbDbfFile& table)
      : key_(std::move(key)), filter_(std::move(filter)), table_(table) {
    if (key_) direct_ = key_->DirectFieldText();
  }

  XbKeyType Type() const override {
    if (!key_ || key_->IsEmpty()) return XbKeyType::Character;
    switch (key_->ResultKind()) {
      case XbValueKind::Number:
      case XbValueKind::Integer: return XbKeyType::Numeric;
      case XbValueKind::Date:
      case XbValueKind::DateTime: return XbKeyType::Date;
      default: return XbKeyType::Character;
    }
  }
  int Length() const override {
    if (Type() != XbKeyType::Character) return 8;
    if (!key_ || key_->IsEmpty()) return 10;
    return key_->ResultKind() == XbValueKind::Boolean ? 1 : key_->ResultLength();
  }
  bool HasFilter() const override { return filter_ && !filter_->IsEmpty(); }

  std::string Key(const char* record, long recno) const override {
    if (!key_ || key_->IsEmpty()) return {};
    if (direct_) {
      // The value the expression would give, from the record's bytes.
      std::string_view raw(record + direct_->field->offset, static_cast<size_t>(direct_->field->length));
      if (!direct_->upper) return cdx::EncodeTextKey(raw);
      std::string key = UpperText(raw, table_);
      key.resize(key.find_last_not_of(' ') + 1);  // (npos + 1: all blank, empty)
      return key;
    }
    return EncodeKeyValue(key_->Evaluate(record, recno));
  }
  bool Includes(const char* record, long recno) const override {
    return !HasFilter() || filter_->Evaluate(record, recno).boolean;
  }

 private:
  std::unique_ptr<XbExpression> key_, filter_;
  const XbDbfFile& table_;
  std::optional<XbExpression::FieldText> direct_;
};

}  // namespace

std::string EncodeKeyValue(const XbValue& v) {
  switch (v.kind) {
    case XbValueKind::Number:
    case XbValueKind::Integer: return cdx::EncodeNumberKey(v.number);
    case XbValueKind::Date:
    case XbValueKind::DateTime: return cdx::EncodeDateKey(v.date);
    case XbValueKind::Boolean: return v.boolean ? "T" : "F";
    default: return cdx::EncodeTextKey(v.text);
  }
}

XbKeySourceFactory ExpressionKeySources(const XbDbfFile& table) {
  return [&table](const std::string& keyExpr, const std::string& filterExpr) -> std::unique_ptr<XbKeySource> {
    std::unique_ptr<XbExpression> key = XbExpression::Parse(keyExpr, table);
    std::unique_ptr<XbExpression> filter = filterExpr.empty() ? nullptr : XbExpression::Parse(filterExpr, table);
    return std::make_unique<ExpressionKeySource>(std::move(key), std::move(filter), table);
  };
}

