#pragma once
// The keys of a tag build, in key order.
//
// Every record of the table is read straight from the file (deleted ones
// included); each record the filter admits gives one sort record of fixed
// width: the key's collation weights (character keys) or its bytes (numeric
// and date keys) padded with zero bytes to the key length, then the key's
// length, the record number big-endian, and zero bytes up to the width.
// Comparing two sort records bytewise is the key order, ties by record
// number. A unique tag keeps only the first of each run of equal keys, the
// one with the lowest record number.
//
// A big table is read and sorted in two halves at once, on two threads, and
// the halves are merged as they are taken: the key source is then called
// from both threads, which its Key and Includes allow (they read nothing but
// the record given).

#include <cstdint>
#include <functional>
#include <memory>

#include "xbase/cdx/key_encoding.h"

class XbDbfFile;
class XbKeySource;

namespace cdx {

class SortedKeys {
 public:
  virtual ~SortedKeys() = default;
  // The next sort record in key order; nullptr after the last.
  virtual const uint8_t* Next() = 0;
};

// Reads the table's `records` records and sorts their keys. `progress(n)`
// is called on the calling thread only, after each record it reads, with the
// number of records read so far by both threads; it ends with the record
// count. A failing key or filter expression, or a failing progress call,
// fails the sort as it would fail a single reader at the first such record
// of the lower half.
std::unique_ptr<SortedKeys> SortKeys(XbDbfFile& table, long records, const XbKeySource& source,
                                     const KeyFormat& format, bool unique, const std::function<void(long)>& progress);

}  // namespace cdx
