#pragma once
// Key upkeep of one tag's tree: adding and removing single entries.
//
// The node that receives or loses an entry is rewritten in place. A leaf
// whose packed keys would take more than 487 bytes is split: the entries
// from its start, as long as their running size stays below 250 bytes, move
// to a new leaf at the end of the file, linked in as its left neighbour. An
// interior node over its capacity gives its first count - count / 2 entries
// to a new left node. The parent receives an entry for the new node before
// the entry of the old one. A root that splits keeps its offset: its halves
// move to new nodes and the root offset receives an interior root over them.
// A parent entry always holds the last key and record number of its child;
// a node that becomes empty leaves its parent but stays in the file and in
// its level's neighbour links.

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/cdx/tree_path.h"

class XbCdxFile;

namespace cdx {

class TreeWriter {
 public:
  // `highestRecno` is the largest record number a leaf must be able to hold
  // (the table's record count; for the tag directory the file size).
  TreeWriter(XbCdxFile& file, uint32_t root, const KeyFormat& format, uint64_t highestRecno);

  // Adds the entry before the first entry greater in entry order; with
  // `unique`, nothing is added when an entry has an equal key. Returns
  // whether the entry was added.
  bool Insert(const std::string& key, uint32_t recno, bool unique);
  // Removes the entry; false when the tree has none.
  bool Remove(const std::string& key, uint32_t recno);

 private:
  void Descend(const std::string& key, uint32_t recno);
  void Commit(size_t level);
  bool Fits(const XbCdxNode& node) const;
  // The parts an overfull node splits into, left to right; the last part is
  // what stays in the node itself.
  std::vector<std::vector<XbCdxEntry>> Partition(const XbCdxNode& node) const;
  void Split(size_t level);
  void SplitRoot();
  void Write(XbCdxNode node);

  XbCdxFile& file_;
  uint32_t root_;
  KeyFormat format_;
  uint64_t highestRecno_;
  std::vector<PathStep> path_;
};

}  // namespace cdx
