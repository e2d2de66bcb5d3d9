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
//
// A change is worked out in memory first and written only when it is
// whole: the new nodes at the end of the file go first, so a disk that is
// full or a file that may not grow fails before any node in use is touched
// (the new blocks are cut off again); then the nodes in use, each linked to
// nodes that are already there. When rewriting a node in use fails, the
// nodes rewritten so far get their former content back.

#include <cstdint>
#include <list>
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
  // Notes a write: the node of the path at `level` as changed, a new node,
  // a new right link of the node at `offset` (whose link was `former`).
  void Write(size_t level);
  void WriteNew(XbCdxNode node);
  void WriteLink(uint32_t offset, uint32_t right, uint32_t former);
  // Writes what the change noted, new blocks first.
  void WriteOut();
  void PutBack(size_t written);

  // One write of a change: a node (`former`: as the file holds it, nullptr
  // for a new block) or, without a node, the right link at `linkAt`.
  struct Pending {
    const XbCdxNode* node = nullptr;
    const XbCdxNode* former = nullptr;
    uint32_t linkAt = 0, link = 0, formerLink = 0;
  };

  XbCdxFile& file_;
  uint32_t root_;
  KeyFormat format_;
  uint64_t highestRecno_;
  std::vector<PathStep> path_;
  std::list<XbCdxNode> fresh_;  // the change's new nodes (addresses stay)
  std::vector<Pending> pending_;
};

}  // namespace cdx
