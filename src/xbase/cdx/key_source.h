#pragma once
// Where a tag's keys come from. The index layer knows nothing of the
// expression language: an index file asks a key-source factory for one key
// source per tag, giving it the key and filter expression texts of the tag
// header, and the key source turns a record into the tag's key.
//
// The factory belongs to one table (it knows the table's fields). It returns
// nullptr for expressions it cannot evaluate: such a tag can still be read
// and walked, but a record write that would have to change it is refused.
// It raises EDbfExpression for an expression that is wrong, and then the
// index file fails to open, as a tag creation with that expression fails.

#include <functional>
#include <memory>
#include <string>

#include "xbase/cdx/key_encoding.h"

class XbKeySource {
 public:
  virtual ~XbKeySource() = default;

  // Type and length of the keys, as the key expression's result on a blank
  // record gives them: text gives a character key of the text's length, a
  // number a numeric key and a date a date key (both of length 8).
  virtual XbKeyType Type() const = 0;
  virtual int Length() const = 0;
  virtual bool HasFilter() const = 0;

  // The key of a record (record-length bytes, the deletion flag first),
  // encoded as cdx::EncodeTextKey / EncodeNumberKey / EncodeDateKey do.
  virtual std::string Key(const char* record, long recno) const = 0;
  // Whether the filter expression admits the record (true without filter).
  virtual bool Includes(const char* record, long recno) const = 0;
};

// Makes the key source of a tag from its key and filter expression (the
// filter empty when there is none).
using XbKeySourceFactory =
    std::function<std::unique_ptr<XbKeySource>(const std::string& keyExpr, const std::string& filterExpr)>;
