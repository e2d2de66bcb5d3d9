#pragma once
// Builds the tree of an expression from its text, for the fields of one
// table. Operators bind in these levels, the first the tightest, each level
// from left to right: ^ **; * /; + -; comparisons; NOT; AND; OR.

#include <string>
#include <string_view>
#include <vector>

#include "xbase/expr/nodes.h"

struct XbParsed {
  XbExpNodePtr root;                // null for a text of blanks
  std::vector<std::string> fields;  // upper-case names of the fields named, left to right, each once
};

// Raises EDbfExpression with the messages of the language.
XbParsed ParseExpression(std::string_view text, const XbDbfFile& table);
