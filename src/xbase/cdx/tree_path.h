#pragma once
// The nodes on the way from a tag's root down to a leaf, as the walk and
// the key upkeep hold them. Shared by both.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "xbase/cdx/collation.h"
#include "xbase/cdx/node_layout.h"

class XbCdxFile;

namespace cdx {

// One node of the path of a change and the index of the entry followed
// (interior) or current (leaf) in it. The node is shared with the node
// cache of the file until it is to be changed; only then is it copied.
struct PathStep {
  std::shared_ptr<const XbCdxNode> shared;
  std::optional<XbCdxNode> own;
  int index = 0;

  const XbCdxNode& Node() const { return own ? *own : *shared; }
  XbCdxNode& Mutable() {
    if (!own) own.emplace(*shared);
    return *own;
  }
};

// A step of a path that only reads: the node is shared with the node cache
// of the file, not copied.
struct SharedStep {
  std::shared_ptr<const XbCdxNode> node;
  int index = 0;
};

// Deeper than any tree of 512-byte nodes that a file of 4 GB can hold.
inline constexpr size_t kMaxDepth = 32;

// Reads the node at `offset` and appends it to the path. A node that is
// already on the path (a cycle) or a path deeper than kMaxDepth makes the
// file "Index file %s is corrupted".
void PushNode(const XbCdxFile& file, const KeyFormat& format, std::vector<PathStep>& path, uint32_t offset);
void PushNode(const XbCdxFile& file, const KeyFormat& format, std::vector<SharedStep>& path, uint32_t offset);

// Entry order: by key, then by record number.
inline int CompareEntry(const XbCdxEntry& e, std::string_view key, uint32_t recno, bool character) {
  int c = CompareKeys(e.key, key, character);
  if (c != 0) return c;
  return e.recno < recno ? -1 : e.recno > recno ? 1 : 0;
}

}  // namespace cdx
