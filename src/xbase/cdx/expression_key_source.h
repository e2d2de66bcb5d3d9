#pragma once
// Key sources from the key expression evaluator: the factory the table
// object hands to its index files, so that tags take their keys from their
// key and filter expressions.

#include <string>

#include "xbase/cdx/key_source.h"

class XbDbfFile;
struct XbValue;

// An expression's result as an index key: numbers and dates in their key
// encodings, logicals as "T"/"F", text without trailing blanks.
std::string EncodeKeyValue(const XbValue& value);

// Parses a tag's expressions against the table's fields; a wrong expression
// raises EDbfExpression. Text results give character keys of the result's
// length, numbers numeric keys, dates date keys; an empty key expression a
// character key of length 10.
XbKeySourceFactory ExpressionKeySources(const XbDbfFile& table);
