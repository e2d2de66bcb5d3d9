#include "xbase/expr/parser.h"

#include <algorithm>
#include <numbers>

#include "xbase/ascii.h"
#include "xbase/dbf_file.h"
#include "xbase/expr/expr_errors.h"
#include "xbase/expr/field_value.h"
#include "xbase/expr/functions.h"
#include "xbase/expr/lexer.h"
#include "xbase/expr/short_date.h"
#include "xbase/field_codec.h"

namespace {

// Parenthesised groups, function calls and prefix operators nested deeper
// than this are refused rather than risking the stack.
constexpr int kMaxDepth = 200;

class Parser {
 public:
  Parser(std::string_view text, const XbDbfFile& table, std::vector<std::string>& fields)
      : text_(text), table_(table), fields_(fields) {}

  // The expression in text[begin, end), which must be used up.
  XbExpNodePtr ParseRange(size_t begin, size_t end) {
    if (++depth_ > kMaxDepth) SyntaxError();
    XbLexer saved = lexer_;
    lexer_ = XbLexer(text_, begin, end);
    XbExpNodePtr node = ParseOr();
    if (!lexer_.AtEnd()) SyntaxError();
    lexer_ = saved;
    --depth_;
    return node;
  }

 private:
  [[noreturn]] void SyntaxError() const { ThrowExpr(expr_msg::kSyntaxError, {std::string(text_)}); }

  // The next token when it is one of the binary operators of `level`.
  bool NextOperator(int level, XbOp& op) {
    XbToken t = lexer_.Peek();
    if (t.kind != XbToken::Operator || t.op == XbOp::Not || OperatorLevel(t.op) != level) return false;
    op = t.op;
    lexer_.Advance(t);
    return true;
  }

  template <XbExpNodePtr (Parser::*Operand)()>
  XbExpNodePtr ParseLevel(int level) {
    XbExpNodePtr left = (this->*Operand)();
    for (XbOp op; NextOperator(level, op);)
      left = std::make_unique<XbExpOperator>(op, std::move(left), (this->*Operand)());
    return left;
  }

  XbExpNodePtr ParseOr() { return ParseLevel<&Parser::ParseAnd>(7); }
  XbExpNodePtr ParseAnd() { return ParseLevel<&Parser::ParseNot>(6); }
  XbExpNodePtr ParseNot() {
    XbToken t = lexer_.Peek();
    if (t.kind == XbToken::Operator && t.op == XbOp::Not) {
      lexer_.Advance(t);
      return std::make_unique<XbExpOperator>(XbOp::Not, Nested(&Parser::ParseNot));
    }
    return ParseLevel<&Parser::ParseAdditive>(4);
  }
  XbExpNodePtr ParseAdditive() { return ParseLevel<&Parser::ParseMultiplicative>(3); }
  XbExpNodePtr ParseMultiplicative() { return ParseLevel<&Parser::ParsePower>(2); }
  XbExpNodePtr ParsePower() { return ParseLevel<&Parser::ParsePrefixed>(1); }

  XbExpNodePtr Nested(XbExpNodePtr (Parser::*parse)()) {
    if (++depth_ > kMaxDepth) SyntaxError();
    XbExpNodePtr node = (this->*parse)();
    --depth_;
    return node;
  }

  // An operand with its signs and negations: "-5", "-SOR_PC1", "!SOR_OLD".
  XbExpNodePtr ParsePrefixed() {
    XbToken t = lexer_.Peek();
    if (t.kind == XbToken::Operator && (t.op == XbOp::Add || t.op == XbOp::Subtract || t.op == XbOp::Not)) {
      lexer_.Advance(t);
      XbExpNodePtr operand = Nested(&Parser::ParsePrefixed);
      if (t.op == XbOp::Add) return operand;
      return std::make_unique<XbExpOperator>(t.op, std::move(operand));
    }
    return ParseOperand();
  }

  XbExpNodePtr ParseOperand() {
    XbToken t = lexer_.Peek();
    lexer_.Advance(t);
    switch (t.kind) {
      case XbToken::End:
        ThrowExpr(expr_msg::kCannotEvaluate);
      case XbToken::Number: {
        std::optional<double> v = codec::ParseNumber(t.text);
        if (!v) SyntaxError();
        return Literal(XbValue::OfNumber(*v));
      }
      case XbToken::Text:
        return Literal(XbValue::OfText(t.text));
      case XbToken::Date: {
        std::optional<long> day = ParseDateText(t.text);
        if (!day) SyntaxError();
        return Literal(XbValue::OfDate(*day));
      }
      case XbToken::Logical:
        return Literal(XbValue::OfBoolean(t.logical));
      case XbToken::LParen: {
        size_t close = Closing(t.begin);
        if (text_.find_first_not_of(" \t\r\n", t.end) >= close) ThrowExpr(expr_msg::kCannotEvaluate);
        XbExpNodePtr inner = ParseRange(t.end, close);
        lexer_.MoveTo(close + 1);
        return inner;
      }
      case XbToken::Name:
        return ParseName(t);
      default:
        SyntaxError();
    }
  }

  static XbExpNodePtr Literal(XbValue v) { return std::make_unique<XbExpLiteral>(std::move(v)); }

  size_t Closing(size_t open) const {
    size_t close = FindClosingParenthesis(text_, open, text_.size());
    if (close == std::string_view::npos) ThrowExpr(expr_msg::kMissingParenthesis);
    return close;
  }

  XbExpNodePtr ParseName(const XbToken& t) {
    std::string name = AsciiUpper(t.text);
    size_t after = text_.find_first_not_of(" \t\r\n", t.end);
    if (after != std::string_view::npos && text_[after] == '(') return ParseCall(name, after);
    if (XbExpNodePtr constant = Constant(name)) return constant;
    const XbField* field = table_.FindField(name);
    if (!field) {
      name = Qualified(name, t.end);
      field = FindExpressionField(table_, name);
    }
    if (!field) ThrowExpr(expr_msg::kNoFunction, {name});
    std::string fieldName = AsciiUpper(field->name);
    if (std::find(fields_.begin(), fields_.end(), fieldName) == fields_.end()) fields_.push_back(fieldName);
    return std::make_unique<XbExpFieldvar>(*field);
  }

  static XbExpNodePtr Constant(const std::string& name) {
    if (name == "TRUE" || name == "FALSE") return Literal(XbValue::OfBoolean(name == "TRUE"));
    if (name == "PI") return Literal(XbValue::OfNumber(std::numbers::pi));
    return nullptr;
  }

  // A name that is no field by itself may go on as a qualified name:
  // "->" or "." and a field name. A point is taken only where it does not
  // open a word operator (".AND.") of a longer expression.
  std::string Qualified(const std::string& name, size_t end) {
    size_t at = end;
    while (lexer_.CharAt(at) == ' ') ++at;
    bool arrow = lexer_.CharAt(at) == '-' && lexer_.CharAt(at + 1) == '>';
    if (arrow) {
      at += 2;
      while (lexer_.CharAt(at) == ' ') ++at;
    } else if (at == end && lexer_.CharAt(at) == '.') {
      ++at;
    } else {
      return name;
    }
    size_t length = lexer_.NameLength(at);
    if (length == 0) return name;
    std::string joined = name + "." + AsciiUpper(text_.substr(at, length));
    if (!arrow && lexer_.CharAt(at + length) == '.' && !FindExpressionField(table_, joined)) return name;
    lexer_.MoveTo(at + length);
    return joined;
  }

  // A function call: the name, "(", arguments separated by commas, ")".
  XbExpNodePtr ParseCall(const std::string& name, size_t open) {
    const XbExpFunctionDef* def = FindFunction(name);
    if (!def) ThrowExpr(expr_msg::kNoFunction, {name});
    size_t close = Closing(open);
    std::vector<XbExpNodePtr> args;
    if (text_.find_first_not_of(" \t\r\n", open + 1) < close) {
      for (size_t begin = open + 1;;) {
        size_t comma = NextComma(begin, close);
        args.push_back(Argument(begin, comma));
        if (comma == close) break;
        begin = comma + 1;
      }
    }
    if (def->maxArgs >= 0 && static_cast<int>(args.size()) > def->maxArgs) SyntaxError();
    lexer_.MoveTo(close + 1);
    return std::make_unique<XbExpFunction>(*def, std::move(args));
  }

  XbExpNodePtr Argument(size_t begin, size_t end) {
    if (text_.find_first_not_of(" \t\r\n", begin) >= end) return std::make_unique<XbExpAbsent>();
    return ParseRange(begin, end);
  }

  // The next comma of the argument list from `begin`, or `close`.
  size_t NextComma(size_t begin, size_t close) const {
    for (size_t i = begin; i < close; ++i) {
      char c = text_[i];
      if (c == ',') return i;
      if (c == '(') {
        i = Closing(i);
      } else if (char closer = LiteralCloser(c)) {
        i = text_.find(closer, i + 1);
      }
    }
    return close;
  }

  std::string_view text_;
  const XbDbfFile& table_;
  std::vector<std::string>& fields_;
  XbLexer lexer_{std::string_view(), 0, 0};
  int depth_ = 0;
};

}  // namespace

XbParsed ParseExpression(std::string_view text, const XbDbfFile& table) {
  XbParsed parsed;
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return parsed;
  size_t last = text.find_last_not_of(" \t\r\n");
  std::string_view trimmed = text.substr(first, last + 1 - first);
  Parser parser(trimmed, table, parsed.fields);
  parsed.root = parser.ParseRange(0, trimmed.size());
  return parsed;
}
