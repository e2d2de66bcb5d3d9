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
  return true;
}

bool TreeWriter::Fits(const XbCdxNode& node) const {
  if (!node.IsLeaf()) return static_cast<int>(node.entries.size()) <= InteriorCapacity(format_.length);
  return LeafUsedBytes(node.entries, format_, LeafWidthsFor(format_, node.entries, highestRecno_).entryBytes) <=
         kLeafLimit;
}

void TreeWriter::Write(XbCdxNode node) { file_.WriteNode(std::move(node), format_, highestRecno_); }

void TreeWriter::Commit(size_t level) {
  XbCdxNode& node = path_[level].Mutable();
  bool parentChanged = false;
  if (level > 0) {
    PathStep& parent = path_[level - 1];
    int at = parent.index;
    if (node.entries.empty()) {
      // The node stays in the file and in its level's links, without keys.
      Write(std::move(node));
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
    Write(std::move(node));  // the path is not used after the change
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
  if (leftNeighbour != kNoNode) file_.WriteRightLink(leftNeighbour, fresh.front().offset);
  for (const XbCdxNode& f : fresh) Write(f);
  Write(node);
  XbCdxNode& parent = path_[level - 1].Mutable();
  auto at = parent.entries.begin() + path_[level - 1].index;
  for (auto it = fresh.rbegin(); it != fresh.rend(); ++it)
    at = parent.entries.insert(at, XbCdxEntry{it->entries.back().key, it->entries.back().recno, it->offset});
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
  for (const XbCdxNode& h : halves) {
    Write(h);
    root.entries.push_back(XbCdxEntry{h.entries.back().key, h.entries.back().recno, h.offset});
  }
  if (Fits(root)) {
    Write(root);
  } else {
    SplitRoot();
  }
}

}  // namespace cdx
