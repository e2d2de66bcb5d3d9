#pragma once
// The bottom-up builder of a tag's tree: the keys sorted (key_sorter.h),
// then the tree written.
//
// Every record of the table is read straight from the file (deleted ones
// included); records the filter admits give a (key, record number) pair. The
// pairs are sorted in key order, ties by record number; a unique tag keeps
// only the first pair of each run of equal keys, the lowest record number.
// Leaves are filled from the left while their free bytes stay at least
// 2 × (entry bytes + key length + 8); interior levels take up to
// 500 / (key length + 8) entries; every level is linked left and right, and
// the single node of the top level is the root. The file is written once,
// node after node, at its end.

#include <cstdint>
#include <functional>
#include <vector>

#include "xbase/cdx/key_encoding.h"

class XbCdxFile;
class XbDbfFile;
class XbKeySource;
namespace cdx {
class SortedKeys;
}

// Status of a tag build, as the table object passes it on (stat1, stat2,
// stat3): (-1, 1, records) before the records are read, (1, n, 0) after
// n records, (0, 0, 0) after the last record, (-1, 2, records) before the
// keys are written, (2, k, 0) after key k, (0, 0, 0) at the end.
using XbBuildProgress = std::function<void(int stat1, long stat2, long stat3)>;

class XbSortCdx {
 public:
  XbSortCdx(XbCdxFile& file, const cdx::KeyFormat& format, bool unique);

  // Builds the tree of the table's keys at the end of the file and returns
  // the offset of its root.
  uint32_t Build(XbDbfFile& table, const XbKeySource& source, const XbBuildProgress& progress);

 private:
  uint32_t WriteTree(cdx::SortedKeys& keys, long records, const XbBuildProgress& progress);

  XbCdxFile& file_;
  cdx::KeyFormat format_;
  bool unique_;
};
