#include "xbase/expr/nodes.h"

#include "xbase/expr/field_value.h"

XbValue XbExpFieldvar::Evaluate(const XbExpContext& ctx) const {
  return ReadFieldValue(field_, ctx.record, ctx.table);
}

XbValue XbExpOperator::Evaluate(const XbExpContext& ctx) const {
  XbValue left = left_->Evaluate(ctx);
  if (!right_) return op_ == XbOp::Not ? XbValue::OfBoolean(!RequireLogical(left)) : Negate(left);
  // AND and OR look at their right side only when the left does not decide.
  if (op_ == XbOp::And && !RequireLogical(left)) return left;
  if (op_ == XbOp::Or && RequireLogical(left)) return left;
  return ApplyOperator(op_, left, right_->Evaluate(ctx));
}
