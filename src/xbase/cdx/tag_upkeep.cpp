#include "xbase/cdx/tag_upkeep.h"

#include <algorithm>

#include "xbase/cdx/cdx_file.h"

namespace cdx {
namespace {

constexpr int kLeafLimit = 487;  // most bytes a leaf's keys may take
constexpr int kSplitShare = 250;  // a leaf split moves keys below this running size

bool SameEntry(const XbCdxEntry& a, const XbCdxEntry& b) { return a.key == b.key && a.recno == b.recno; }

}  // namespace

TreeWriter::TreeWriter(XbCdxFile& file, uint32_t root, const KeyFormat& format, uint64_t highestRecno)
    : file_(file), root_(root), format_(format), highestRecno_(highestRecno) {}

void TreeWriter::Descend(const std::string& key, uint32_t recno) {
  path_.clear();
  fresh_.clear();
  pending_.clear();
  PushNode(file_, format_, path_, root_);
  bool character = format_.Character();
  while (!path_.back().Node().IsLeaf()) {
    PathStep& s = path_.back();
    const auto& entries = s.Node().entries;
    if (entries.empty()) {
      // Every key of the tree was removed: the root becomes an empty leaf.
      if (path_.size() != 1) file_.Corrupted();
      s.Mutable().attribute = kLeaf | kRoot;
      break;
    }
    auto it = std::partition_point(entries.begin(), entries.end(), [&](const XbCdxEntry& e) {
      return CompareEntry(e, key, recno, character) < 0;
    });
    if (it == entries.end()) --it;  // above every key: into the last child
    s.index = static_cast<int>(it - entries.begin());
    PushNode(file_, format_, path_, it->child);
  }
}

bool TreeWriter::Insert(const std::string& key, uint32_t recno, bool unique) {
  // A unique tag looks for the first entry with the key (record number 0
  // sorts before all); where there is none, the new entry goes there too.
  uint32_t position = unique ? 0 : recno;
  Descend(key, position);
  auto& entries = path_.back().Mutable().entries;
  bool character = format_.Character();
  auto it = std::partition_point(entries.begin(), entries.end(), [&](const XbCdxEntry& e) {
    return CompareEntry(e, key, position, character) <= 0;
  });
  if (unique && it != entries.end() && it->key == key) return false;
  entries.insert(it, XbCdxEntry{key, recno, 0});
  Commit(path_.size() - 1);
  WriteOut();
  return true;
}

bool TreeWriter::Remove(const std::string& key, uint32_t recno) {
  Descend(key, recno);
  const auto& entries = path_.back().Node().entries;
  bool character = format_.Character();
  auto it = std::find_if(entries.begin(), entries.end(), [&](const XbCdxEntry& e) {
    return CompareEntry(e, key, recno, character) == 0;
  });
  if (it == entries.end()) return false;
  const auto at = it - entries.begin();
  auto& changed = path_.back().Mutable().entries;
  changed.erase(changed.begin() + at);
  Commit(path_.size() - 1);
  WriteOut();
  return true;
}

bool TreeWriter::Fits(const XbCdxNode& node) const {
  if (!node.IsLeaf()) return static_cast<int>(node.entries.size()) <= InteriorCapacity(format_.length);
  return LeafUsedBytes(node.entries, format_, LeafWidthsFor(format_, node.entries, highestRecno_).entryBytes) <=
         kLeafLimit;
}

void TreeWriter::Write(size_t level) {
  pending_.push_back(Pending{&path_[level].Node(), path_[level].shared.get()});
}

void TreeWriter::WriteNew(XbCdxNode node) {
  fresh_.push_back(std::move(node));
  pending_.push_back(Pending{&fresh_.back(), nullptr});
}

void TreeWriter::WriteLink(uint32_t offset, uint32_t right, uint32_t former) {
  pending_.push_back(Pending{nullptr, nullptr, offset, right, former});
}

void TreeWriter::WriteOut() {
  // New blocks first, from the end of the file on: when the file cannot
  // grow, nothing in use has changed yet and the blocks are cut off again.
  uint32_t end = 0;
  bool grows = false;
  for (const Pending& p : pending_) {
    if (!p.node || p.former) continue;
    end = grows ? std::min(end, p.node->offset) : p.node->offset;
    grows = true;
  }
  try {
    for (const Pending& p : pending_)
      if (p.node && !p.former) file_.WriteNode(*p.node, format_, highestRecno_);
  } catch (...) {
    try {
      file_.GiveBackBlocks(end);
    } catch (...) {
      // The first failure is the one reported.
    }
    throw;
  }
  size_t at = 0;
  try {
    for (; at < pending_.size(); ++at) {
      const Pending& p = pending_[at];
      if (p.node && p.former) file_.WriteNode(*p.node, format_, highestRecno_);
      else if (!p.node) file_.WriteRightLink(p.linkAt, p.link);
    }
  } catch (...) {
    PutBack(at);
    throw;
  }
}

void TreeWriter::PutBack(size_t failed) {
  // The write that failed may have reached the file in part: it goes back too.
  for (size_t i = failed + 1; i-- > 0;) {
    const Pending& p = pending_[i];
    try {
      if (p.node && p.former) file_.WriteNode(*p.former, format_, highestRecno_);
      else if (!p.node) file_.WriteRightLink(p.linkAt, p.formerLink);
    } catch (...) {
      // What cannot be put back stays as it is; the first failure is reported.
    }
  }
}

void TreeWriter::Commit(size_t level) {
  XbCdxNode& node = path_[level].Mutable();
  bool parentChanged = false;
  if (level > 0) {
    PathStep& parent = path_[level - 1];
    int at = parent.index;
    if (node.entries.empty()) {
      // The node stays in the file and in its level's links, without keys.
      Write(level);
      auto& up = parent.Mutable().entries;
      up.erase(up.begin() + at);
      Commit(level - 1);
      return;
    }
    const XbCdxEntry& last = node.entries.back();
    if (!SameEntry(parent.Node().entries[at], last)) {
      XbCdxEntry& up = parent.Mutable().entries[at];
      up.key = last.key;
      up.recno = last.recno;
      parentChanged = true;
    }
  } else if (!node.IsLeaf() && node.entries.empty()) {
    node.attribute = kLeaf | kRoot;
  }
  if (Fits(node)) {
    Write(level);
  } else if (level == 0) {
    SplitRoot();
  } else {
    Split(level);
    parentChanged = true;
  }
  if (parentChanged) Commit(level - 1);
}

std::vector<std::vector<XbCdxEntry>> TreeWriter::Partition(const XbCdxNode& node) const {
  std::vector<std::vector<XbCdxEntry>> parts;
  std::vector<XbCdxEntry> rest = node.entries;
  auto moveFront = [&](size_t count) {
    parts.emplace_back(rest.begin(), rest.begin() + static_cast<long>(count));
    rest.erase(rest.begin(), rest.begin() + static_cast<long>(count));
  };
  if (node.IsLeaf()) {
    for (;;) {
      int entryBytes = LeafWidthsFor(format_, rest, highestRecno_).entryBytes;
      if (rest.size() < 2 || LeafUsedBytes(rest, format_, entryBytes) <= kLeafLimit) break;
      int running = 0;
      size_t count = 0;
      const std::string* previous = nullptr;
      while (count + 1 < rest.size()) {
        int bytes = LeafKeyBytes(previous, rest[count].key, format_, entryBytes);
        if (count > 0 && running + bytes >= kSplitShare) break;
        running += bytes;
        previous = &rest[count].key;
        ++count;
      }
      moveFront(count);
    }
  } else {
    size_t capacity = static_cast<size_t>(InteriorCapacity(format_.length));
    while (rest.size() > capacity) moveFront(std::min(rest.size() - rest.size() / 2, capacity));
  }
  parts.push_back(std::move(rest));
  return parts;
}

void TreeWriter::Split(size_t level) {
  XbCdxNode& node = path_[level].Mutable();
  std::vector<std::vector<XbCdxEntry>> parts = Partition(node);
  std::vector<XbCdxNode> fresh(parts.size() - 1);
  uint32_t leftNeighbour = node.left;
  uint32_t previous = leftNeighbour;
  for (size_t i = 0; i < fresh.size(); ++i) {
    fresh[i].attribute = static_cast<uint16_t>(node.attribute & kLeaf);
    fresh[i].entries = std::move(parts[i]);
    fresh[i].offset = file_.AllocateBlock();
    fresh[i].left = previous;
    if (i > 0) fresh[i - 1].right = fresh[i].offset;
    previous = fresh[i].offset;
  }
  fresh.back().right = node.offset;
  node.left = fresh.back().offset;
  node.entries = std::move(parts.back());
  XbCdxNode& parent = path_[level - 1].Mutable();
  auto at = parent.entries.begin() + path_[level - 1].index;
  for (auto it = fresh.rbegin(); it != fresh.rend(); ++it)
    at = parent.entries.insert(at, XbCdxEntry{it->entries.back().key, it->entries.back().recno, it->offset});
  const uint32_t first = fresh.front().offset;
  for (XbCdxNode& f : fresh) WriteNew(std::move(f));
  if (leftNeighbour != kNoNode) WriteLink(leftNeighbour, first, node.offset);
  Write(level);
}

void TreeWriter::SplitRoot() {
  XbCdxNode& root = path_[0].Mutable();
  std::vector<std::vector<XbCdxEntry>> parts = Partition(root);
  std::vector<XbCdxNode> halves(parts.size());
  for (size_t i = 0; i < halves.size(); ++i) {
    halves[i].attribute = static_cast<uint16_t>(root.attribute & kLeaf);
    halves[i].entries = std::move(parts[i]);
    halves[i].offset = file_.AllocateBlock();
    if (i > 0) {
      halves[i].left = halves[i - 1].offset;
      halves[i - 1].right = halves[i].offset;
    }
  }
  root.attribute = kRoot;
  root.left = root.right = kNoNode;
  root.entries.clear();
  for (XbCdxNode& h : halves) {
    root.entries.push_back(XbCdxEntry{h.entries.back().key, h.entries.back().recno, h.offset});
    WriteNew(std::move(h));
  }
  if (Fits(root)) {
    Write(0);
  } else {
    SplitRoot();
  }
}

}  // namespace cdx
