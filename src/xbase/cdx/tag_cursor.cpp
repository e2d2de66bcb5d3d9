#include "xbase/cdx/tag_cursor.h"

#include <algorithm>

#include "xbase/cdx/cdx_file.h"

namespace cdx {

TagCursor::TagCursor(const XbCdxFile& file, uint32_t root, const KeyFormat& format)
    : file_(file), root_(root), format_(format) {}

void TagCursor::Start(Direction direction) {
  path_.clear();
  held_ = true;
  direction_ = Direction::None;
  Turn(direction);
  Push(root_);
}

void TagCursor::Turn(Direction direction) {
  if (direction_ == direction) return;
  direction_ = direction;
  reads_ = 0;
}

void TagCursor::Push(uint32_t offset) {
  // A walk in one direction reads every node at most once; more reads than
  // the file has blocks mean that the tree leads back into itself. (The
  // file size is asked for only once a walk gets long.)
  if (++reads_ > limit_) {
    limit_ = file_.Size() / kNodeSize + kMaxDepth;
    if (reads_ > limit_) file_.Corrupted();
  }
  PushNode(file_, format_, path_, offset);
}

bool TagCursor::SettleForward() {
  for (;;) {
    SharedStep& s = path_.back();
    int n = static_cast<int>(s.node->entries.size());
    if (s.index < 0) s.index = 0;
    if (s.index < n) {
      if (s.node->IsLeaf()) {
        state_ = State::OnEntry;
        current_ = s.node->entries[s.index];
        return true;
      }
      Push(s.node->entries[s.index].child);
      continue;  // the child starts at its first entry
    }
    if (path_.size() == 1) {
      state_ = State::AfterLast;
      return false;
    }
    path_.pop_back();
    ++path_.back().index;
  }
}

bool TagCursor::SettleBackward() {
  for (;;) {
    SharedStep& s = path_.back();
    int n = static_cast<int>(s.node->entries.size());
    if (s.index >= n) s.index = n - 1;
    if (s.index >= 0) {
      if (s.node->IsLeaf()) {
        state_ = State::OnEntry;
        current_ = s.node->entries[s.index];
        return true;
      }
      Push(s.node->entries[s.index].child);
      path_.back().index = static_cast<int>(path_.back().node->entries.size()) - 1;
      continue;
    }
    if (path_.size() == 1) {
      state_ = State::BeforeFirst;
      return false;
    }
    path_.pop_back();
    --path_.back().index;
  }
}

bool TagCursor::First() {
  Start(Direction::Forward);
  return SettleForward();
}

bool TagCursor::Last() {
  Start(Direction::Backward);
  path_.back().index = static_cast<int>(path_.back().node->entries.size()) - 1;
  return SettleBackward();
}

bool TagCursor::SeekEntry(std::string_view key, uint32_t recno) {
  bool character = format_.Character();
  return SeekFirst([&](const XbCdxEntry& e) { return CompareEntry(e, key, recno, character) >= 0; });
}

bool TagCursor::Relocate() {
  XbCdxEntry was = current_;
  if (!SeekEntry(was.key, was.recno)) return false;
  return CompareEntry(current_, was.key, was.recno, format_.Character()) == 0;
}

bool TagCursor::Next() {
  if (state_ == State::Unpositioned) return First();
  if (state_ == State::AfterLast) return false;
  if (!held_) {
    if (state_ == State::BeforeFirst) return First();
    // Found again: step on. Gone meanwhile: the entry found is the next one.
    if (!Relocate()) return state_ == State::OnEntry;
  }
  Turn(Direction::Forward);
  ++path_.back().index;
  return SettleForward();
}

bool TagCursor::Previous() {
  if (state_ == State::Unpositioned) return Last();
  if (state_ == State::BeforeFirst) return false;
  if (!held_) {
    if (state_ == State::AfterLast) return Last();
    // Whether found again or gone, the entry before the one found (or the
    // last entry, when nothing follows) is the previous one.
    Relocate();
  }
  Turn(Direction::Backward);
  --path_.back().index;
  return SettleBackward();
}

void TagCursor::Drop() {
  path_.clear();
  held_ = false;
}

}  // namespace cdx
