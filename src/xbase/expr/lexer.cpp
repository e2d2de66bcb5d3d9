#include "xbase/expr/lexer.h"

#include <cctype>

#include "xbase/ascii.h"
#include "xbase/expr/expr_errors.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }
}  // namespace

char LiteralCloser(char c) {
  switch (c) {
    case '"': return '"';
    case '\'': return '\'';
    case '[': return ']';
    case '{': return '}';
    default: return '\0';
  }
}

bool WordOperator(std::string_view word, XbOp& op) {
  static const struct { const char* word; XbOp op; } kWords[] = {
      {"AND", XbOp::And}, {"OR", XbOp::Or},        {"NOT", XbOp::Not},     {"EQ", XbOp::Equal},
      {"NE", XbOp::NotEqual}, {"GT", XbOp::Greater}, {"LT", XbOp::Less}, {"GE", XbOp::GreaterEqual},
      {"LE", XbOp::LessEqual},
  };
  std::string upper = AsciiUpper(word);
  for (const auto& w : kWords)
    if (upper == w.word) {
      op = w.op;
      return true;
    }
  return false;
}

size_t FindClosingParenthesis(std::string_view text, size_t open, size_t end) {
  int depth = 0;
  for (size_t i = open; i < end; ++i) {
    char c = text[i];
    if (char close = LiteralCloser(c)) {
      size_t j = text.find(close, i + 1);
      if (j == std::string_view::npos || j >= end) ThrowExpr(expr_msg::kMissingDelimiter, {std::string(1, close)});
      i = j;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

XbLexer::XbLexer(std::string_view text, size_t begin, size_t end) : text_(text), pos_(begin), end_(end) {}

bool XbLexer::AtEnd() const { return Peek().kind == XbToken::End; }

size_t XbLexer::NameLength(size_t pos) const {
  if (!IsNameStart(CharAt(pos))) return 0;
  size_t i = pos + 1;
  while (i < end_ && IsNameChar(text_[i])) ++i;
  return i - pos;
}

XbToken XbLexer::Peek() const {
  size_t at = pos_;
  while (at < end_ && IsBlank(text_[at])) ++at;
  XbToken t;
  t.begin = t.end = at;
  if (at >= end_) return t;
  char c = text_[at];
  if (size_t n = NameLength(at)) {
    t.text = std::string(text_.substr(at, n));
    t.end = at + n;
    t.kind = WordOperator(t.text, t.op) ? XbToken::Operator : XbToken::Name;
    return t;
  }
  if (IsDigit(c) || (c == '.' && IsDigit(CharAt(at + 1)))) return ReadNumber(at);
  if (c == '.') return ReadDotted(at);
  if (c == '{') return ReadQuoted(at, '}', XbToken::Date);
  if (char close = LiteralCloser(c)) return ReadQuoted(at, close, XbToken::Text);
  return ReadSymbol(at);
}

XbToken XbLexer::ReadNumber(size_t at) const {
  XbToken t;
  t.kind = XbToken::Number;
  t.begin = at;
  size_t i = at;
  while (i < end_ && (IsDigit(text_[i]) || text_[i] == '.')) ++i;
  // A point that opens a word operator (1.AND.) belongs to the operator.
  if (text_[i - 1] == '.' && i - 1 > at && NameLength(i) > 0) --i;
  t.text = std::string(text_.substr(at, i - at));
  t.end = i;
  return t;
}

XbToken XbLexer::ReadDotted(size_t at) const {
  size_t i = at + 1;
  while (i < end_ && std::isalpha(static_cast<unsigned char>(text_[i]))) ++i;
  if (i >= end_ || text_[i] != '.') ThrowExpr(expr_msg::kMissingPeriod);
  std::string word = AsciiUpper(text_.substr(at + 1, i - at - 1));
  XbToken t;
  t.begin = at;
  t.end = i + 1;
  t.text = word;
  if (word == "T" || word == "F") {
    t.kind = XbToken::Logical;
    t.logical = word == "T";
  } else if (WordOperator(word, t.op)) {
    t.kind = XbToken::Operator;
  } else {
    ThrowExpr(expr_msg::kExpectingLogical);
  }
  return t;
}

XbToken XbLexer::ReadQuoted(size_t at, char close, XbToken::Kind kind) const {
  size_t j = text_.find(close, at + 1);
  if (j == std::string_view::npos || j >= end_) ThrowExpr(expr_msg::kMissingDelimiter, {std::string(1, close)});
  XbToken t;
  t.kind = kind;
  t.begin = at;
  t.end = j + 1;
  t.text = std::string(text_.substr(at + 1, j - at - 1));
  return t;
}

XbToken XbLexer::ReadSymbol(size_t at) const {
  XbToken t;
  t.begin = at;
  t.end = at + 1;
  t.kind = XbToken::Operator;
  char c = text_[at], next = CharAt(at + 1);
  auto two = [&](XbOp op) {
    t.op = op;
    t.end = at + 2;
  };
  switch (c) {
    case '(': t.kind = XbToken::LParen; break;
    case ')': t.kind = XbToken::RParen; break;
    case ',': t.kind = XbToken::Comma; break;
    case '^': t.op = XbOp::Power; break;
    case '*': if (next == '*') two(XbOp::Power); else t.op = XbOp::Multiply; break;
    case '/': t.op = XbOp::Divide; break;
    case '+': t.op = XbOp::Add; break;
    case '-':
      if (next == '>') {
        t.kind = XbToken::Arrow;
        t.end = at + 2;
      } else {
        t.op = XbOp::Subtract;
      }
      break;
    case '=':
      if (next == '=') two(XbOp::ExactEqual);
      else if (next == '>') two(XbOp::GreaterEqual);
      else if (next == '<') two(XbOp::LessEqual);
      else t.op = XbOp::Equal;
      break;
    case '<':
      if (next == '>') two(XbOp::NotEqual);
      else if (next == '=') two(XbOp::LessEqual);
      else t.op = XbOp::Less;
      break;
    case '>':
      if (next == '=') two(XbOp::GreaterEqual); else t.op = XbOp::Greater;
      break;
    case '!':
      if (next == '=') two(XbOp::NotEqual); else t.op = XbOp::Not;
      break;
    case '#': t.op = XbOp::NotEqual; break;
    case '$': t.op = XbOp::Contains; break;
    default: t.kind = XbToken::Other; break;
  }
  return t;
}
