#pragma once
// Key sources from the key expression evaluator: the factory the table
// object hands to its index files, so that tags take their keys from their
// key and filter expressions.

#include "xbase/cdx/key_source.h"

class XbDbfFile;

// Parses a tag's expressions against the table's fields; a wrong expression
// raises EDbfExpression. Text results give character keys of the result's
// length, numbers numeric keys, dates date keys; an empty key expression a
// character key of length 10.
XbKeySourceFactory ExpressionKeySources(const XbDbfFile& table);
