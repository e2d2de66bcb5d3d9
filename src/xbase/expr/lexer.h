#pragma once
// Splits the text of an expression into tokens: names, literals, operators,
// parentheses and commas. Blanks between tokens are skipped.
//
// The lexer works on one range of the text, so that a parenthesised group
// or a function argument can be read on its own; positions are offsets into
// the whole text.

#include <string>
#include <string_view>

#include "xbase/expr/operators.h"

struct XbToken {
  enum Kind { End, Name, Number, Text, Date, Logical, Operator, LParen, RParen, Comma, Arrow, Other };
  Kind kind = End;
  std::string text;   // the name as written; the literal's content
  XbOp op = XbOp::Add;
  bool logical = false;
  size_t begin = 0, end = 0;  // where the token lies in the text
};

class XbLexer {
 public:
  // Reads text[begin, end).
  XbLexer(std::string_view text, size_t begin, size_t end);

  // The token at the current position, without moving past it.
  XbToken Peek() const;
  // Moves past a token that Peek returned.
  void Advance(const XbToken& token) { pos_ = token.end; }
  void MoveTo(size_t pos) { pos_ = pos; }
  bool AtEnd() const;
  size_t Position() const { return pos_; }

  char CharAt(size_t pos) const { return pos < end_ ? text_[pos] : '\0'; }
  // Length of the name (letters, digits, underscores after a letter or
  // underscore) that starts at `pos`; 0 when none does.
  size_t NameLength(size_t pos) const;

 private:
  XbToken ReadDotted(size_t at) const;
  XbToken ReadQuoted(size_t at, char close, XbToken::Kind kind) const;
  XbToken ReadNumber(size_t at) const;
  XbToken ReadSymbol(size_t at) const;

  std::string_view text_;
  size_t pos_, end_;
};

// Offset of the ")" that closes the "(" at `open`, skipping literals and
// inner parentheses; npos when there is none. Raises "Missing closing "%s"
// on literal" for a literal without its closing delimiter.
size_t FindClosingParenthesis(std::string_view text, size_t open, size_t end);

// The closing delimiter of a literal opened by `c`, or '\0'.
char LiteralCloser(char c);

// The operator a word stands for (AND, OR, NOT, EQ, NE, GT, LT, GE, LE in
// any letter case), bare or between points.
bool WordOperator(std::string_view word, XbOp& op);
