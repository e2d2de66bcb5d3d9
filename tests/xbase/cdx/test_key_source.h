#pragma once
// A key source for the plain expressions of the test tables, so that the
// index layer can be tested without the expression evaluator: a field name,
// UPPER(field), DTOS(field), and terms joined by "+"; a filter that names a
// logical field, optionally after ".NOT." or "!". Any other expression gives
// no key source (the tag can then be read but not kept current).

#include <memory>
#include <string>

#include "xbase/cdx/key_source.h"

class XbDbfFile;

std::unique_ptr<XbKeySource> MakeTestKeySource(const XbDbfFile& table, const std::string& keyExpr,
                                               const std::string& filterExpr);
XbKeySourceFactory TestKeySources(const XbDbfFile& table);
