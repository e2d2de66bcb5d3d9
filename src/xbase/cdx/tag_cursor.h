#pragma once
// Walking one tag's tree in key order: to the first or last entry, to the
// first entry not below a bound, and step by step in either direction.
//
// A positioning reads the nodes afresh from the root in the file; steps use
// the nodes held since then and load neighbouring nodes through their
// parents. After the tree changed under the cursor (key upkeep), Drop()
// makes the next step find the current entry again from the root.
//
// Every walk ends even in a damaged file: a node that is its own ancestor, a
// path deeper than any real tree, or a walk in one direction that reads more
// nodes than the file has blocks makes the file "Index file %s is corrupted".

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "xbase/cdx/tree_path.h"

class XbCdxFile;

namespace cdx {

class TagCursor {
 public:
  TagCursor(const XbCdxFile& file, uint32_t root, const KeyFormat& format);

  // Each positioning returns whether an entry is current; without one the
  // cursor stands before the first or after the last entry.
  bool First();
  bool Last();
  bool Next();
  bool Previous();
  // To the first entry for which `notBelow` holds; the entries must be such
  // that once it holds it holds for every later entry.
  template <class NotBelow>
  bool SeekFirst(const NotBelow& notBelow);
  // To the first entry not below (key, recno) in entry order.
  bool SeekEntry(std::string_view key, uint32_t recno);

  // The current entry, nullptr before the first or after the last.
  const XbCdxEntry* Entry() const { return state_ == State::OnEntry ? &current_ : nullptr; }
  bool BeforeFirst() const { return state_ == State::BeforeFirst; }
  bool AfterLast() const { return state_ == State::AfterLast; }

  // Forgets the nodes held; the current entry is kept and found again from
  // the root by the next step.
  void Drop();

 private:
  enum class State { Unpositioned, OnEntry, BeforeFirst, AfterLast };
  enum class Direction { None, Forward, Backward };

  void Start(Direction direction);
  void Push(uint32_t offset);
  void Turn(Direction direction);
  bool SettleForward();
  bool SettleBackward();
  bool Relocate();

  const XbCdxFile& file_;
  uint32_t root_;
  KeyFormat format_;
  std::vector<SharedStep> path_;
  State state_ = State::Unpositioned;
  XbCdxEntry current_;
  bool held_ = false;  // path_ is valid for the current position
  Direction direction_ = Direction::None;
  uint64_t reads_ = 0;          // nodes read by the walk in this direction
  uint64_t limit_ = kMaxDepth;  // reads allowed before the file size is asked again
};

// A template, so that the comparison of every step of the descent is inlined.
template <class NotBelow>
bool TagCursor::SeekFirst(const NotBelow& notBelow) {
  Start(Direction::Forward);
  for (;;) {
    SharedStep& s = path_.back();
    const auto& entries = s.node->entries;
    auto it = std::partition_point(entries.begin(), entries.end(),
                                   [&](const XbCdxEntry& e) { return !notBelow(e); });
    s.index = static_cast<int>(it - entries.begin());
    if (s.node->IsLeaf() || it == entries.end()) break;
    Push(it->child);
  }
  return SettleForward();
}

}  // namespace cdx
