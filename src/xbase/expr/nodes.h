#pragma once
// The tree of a parsed expression: literals, field references, operators
// and function calls, each evaluated on one record image.

#include <memory>
#include <vector>

#include "xbase/dbf_header.h"
#include "xbase/expr/expression.h"
#include "xbase/expr/operators.h"

struct XbExpFunctionDef;

// What an evaluation works on: the record image and its record number, and
// the table for its name, options and position (BOF(), EOF()).
struct XbExpContext {
  const XbDbfFile& table;
  const char* record;
  long recno;
};

class XbExpNode {
 public:
  virtual ~XbExpNode() = default;
  virtual XbValue Evaluate(const XbExpContext& ctx) const = 0;
  // True for a function argument left out ("STR(X,)").
  virtual bool IsAbsent() const { return false; }
};

using XbExpNodePtr = std::unique_ptr<XbExpNode>;

// A literal of text, number, date or logical value, or a constant.
class XbExpLiteral : public XbExpNode {
 public:
  explicit XbExpLiteral(XbValue value) : value_(std::move(value)) {}
  XbValue Evaluate(const XbExpContext&) const override { return value_; }

 private:
  XbValue value_;
};

// An argument that was left out: an Empty value.
class XbExpAbsent : public XbExpNode {
 public:
  XbValue Evaluate(const XbExpContext&) const override { return XbValue(); }
  bool IsAbsent() const override { return true; }
};

// A field of the table, read from the record image by its offset.
class XbExpFieldvar : public XbExpNode {
 public:
  explicit XbExpFieldvar(const XbField& field) : field_(field) {}
  XbValue Evaluate(const XbExpContext& ctx) const override;
  const XbField& Field() const { return field_; }

 private:
  XbField field_;
};

// An operator with one operand (NOT, unary minus) or two.
class XbExpOperator : public XbExpNode {
 public:
  XbExpOperator(XbOp op, XbExpNodePtr left, XbExpNodePtr right = nullptr)
      : op_(op), left_(std::move(left)), right_(std::move(right)) {}
  XbValue Evaluate(const XbExpContext& ctx) const override;

 private:
  XbOp op_;  // Subtract with one operand is the unary minus
  XbExpNodePtr left_, right_;
};

// A call of a library function.
class XbExpFunction : public XbExpNode {
 public:
  XbExpFunction(const XbExpFunctionDef& def, std::vector<XbExpNodePtr> args)
      : def_(def), args_(std::move(args)) {}
  XbValue Evaluate(const XbExpContext& ctx) const override;
  const XbExpFunctionDef& Def() const { return def_; }
  const std::vector<XbExpNodePtr>& Args() const { return args_; }

 private:
  const XbExpFunctionDef& def_;
  std::vector<XbExpNodePtr> args_;
};
