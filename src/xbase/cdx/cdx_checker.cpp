#include "xbase/cdx/cdx_checker.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/table_scan.h"
#include "xbase/cdx/tree_path.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"

using cdx::KeyFormat;
using cdx::XbCdxEntry;
using cdx::XbCdxNode;

namespace {

constexpr size_t kMaxProblems = 20;

std::string Hex(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

// The key as a reader sees it: printable bytes as they are, others in hex.
std::string Show(const std::string& key, const KeyFormat& format) {
  if (!format.Character()) return std::to_string(cdx::DecodeNumberKey(key));
  std::string out = "\"";
  for (unsigned char c : key) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out + "\"";
}

class TreeChecker {
 public:
  TreeChecker(XbCdxFile& file, uint32_t root, const KeyFormat& format, XbTagReport& report)
      : file_(file), root_(root), format_(format), report_(report) {}

  // Walks the whole tree; the leaf entries in tree order are kept.
  void Run() {
    Visit(root_, 0, true);
    for (size_t depth = 0; depth < levels_.size(); ++depth) CheckLinks(depth);
    report_.keys = static_cast<long>(entries_.size());
  }
  const std::vector<XbCdxEntry>& Entries() const { return entries_; }

  void CheckOrder(bool unique) {
    for (size_t i = 1; i < entries_.size(); ++i) {
      const XbCdxEntry& a = entries_[i - 1];
      const XbCdxEntry& b = entries_[i];
      int c = cdx::CompareKeys(a.key, b.key, format_.Character());
      if (c > 0 || (c == 0 && a.recno >= b.recno))
        Problem("key " + Show(b.key, format_) + " of record " + std::to_string(b.recno) + " is out of order");
      else if (c == 0 && unique)
        Problem("key " + Show(b.key, format_) + " is repeated in a unique tag (record " + std::to_string(b.recno) + ")");
    }
  }

  void Problem(const std::string& text) {
    if (report_.problems.size() < kMaxProblems) report_.problems.push_back(text);
    else if (report_.problems.size() == kMaxProblems) report_.problems.push_back("... and more problems");
  }

 private:
  struct Place {
    uint32_t offset, left, right;
  };

  std::optional<XbCdxNode> Read(uint32_t offset) {
    try {
      return file_.ReadNode(offset, format_);
    } catch (const EDbfError&) {
      Problem("node " + Hex(offset) + " cannot be read or is malformed");
      return std::nullopt;
    }
  }

  // Checks the subtree at `offset`; returns its last entry.
  std::optional<XbCdxEntry> Visit(uint32_t offset, size_t depth, bool isRoot) {
    if (depth >= cdx::kMaxDepth) {
      Problem("the tree is deeper than any real tree at node " + Hex(offset));
      return std::nullopt;
    }
    if (!visited_.insert(offset).second) {
      Problem("node " + Hex(offset) + " is reached twice");
      return std::nullopt;
    }
    std::optional<XbCdxNode> read = Read(offset);
    if (!read) return std::nullopt;
    const XbCdxNode& node = *read;
    if (levels_.size() <= depth) levels_.resize(depth + 1);
    levels_[depth].push_back(Place{offset, node.left, node.right});
    std::string where = "node " + Hex(offset);
    if (node.IsRoot() != isRoot) Problem(where + (isRoot ? " is the root but not marked so" : " is marked as root"));
    if (node.entries.empty() && !(isRoot && node.IsLeaf())) Problem(where + " has no keys but is referenced");
    if (node.IsLeaf()) {
      if (leafDepth_ < 0) leafDepth_ = static_cast<int>(depth);
      if (leafDepth_ != static_cast<int>(depth)) Problem("leaf " + Hex(offset) + " lies at another depth than the others");
      int free = cdx::kLeafArea - cdx::LeafUsedBytes(node.entries, format_, node.widths.entryBytes);
      if (free != node.storedFree)
        Problem("leaf " + Hex(offset) + " says " + std::to_string(node.storedFree) + " free bytes, has " +
                std::to_string(free));
      const cdx::LeafWidths& w = node.widths;
      if (w.recnoBits < 32 && w.recnoMask != (uint32_t{1} << w.recnoBits) - 1)
        Problem("leaf " + Hex(offset) + " has a record-number mask that does not fit its width");
      entries_.insert(entries_.end(), node.entries.begin(), node.entries.end());
    } else {
      if (static_cast<int>(node.entries.size()) > cdx::InteriorCapacity(format_.length))
        Problem(where + " holds more entries than fit");
      for (size_t i = 0; i < node.entries.size(); ++i) {
        const XbCdxEntry& e = node.entries[i];
        std::optional<XbCdxEntry> last = Visit(e.child, depth + 1, false);
        if (last && (last->key != e.key || last->recno != e.recno))
          Problem(where + " entry " + std::to_string(i + 1) + " differs from the last key of its child " + Hex(e.child));
      }
    }
    if (node.entries.empty()) return std::nullopt;
    return node.entries.back();
  }

  // Follows a link through nodes that left their parents (empty, still
  // linked) until `target`; returns the node before it, or nullopt.
  std::optional<uint32_t> Follow(uint32_t from, uint32_t link, uint32_t target, bool rightward) {
    uint32_t previous = from;
    uint64_t steps = file_.Size() / cdx::kNodeSize + 1;
    while (link != target) {
      if (link == cdx::kNoNode || steps-- == 0 || visited_.count(link)) return std::nullopt;
      std::optional<XbCdxNode> node = Read(link);
      if (!node || !node->entries.empty() || (rightward ? node->left : node->right) != previous) return std::nullopt;
      previous = link;
      link = rightward ? node->right : node->left;
    }
    return previous;
  }

  void CheckLinks(size_t depth) {
    const std::vector<Place>& level = levels_[depth];
    std::string name = "level " + std::to_string(depth);
    if (!Follow(level.front().offset, level.front().left, cdx::kNoNode, false))
      Problem(name + ": the left link of node " + Hex(level.front().offset) + " leads astray");
    if (!Follow(level.back().offset, level.back().right, cdx::kNoNode, true))
      Problem(name + ": the right link of node " + Hex(level.back().offset) + " leads astray");
    for (size_t i = 1; i < level.size(); ++i) {
      std::optional<uint32_t> before = Follow(level[i - 1].offset, level[i - 1].right, level[i].offset, true);
      if (!before || *before != level[i].left)
        Problem(name + ": nodes " + Hex(level[i - 1].offset) + " and " + Hex(level[i].offset) + " are not linked");
    }
  }

  XbCdxFile& file_;
  uint32_t root_;
  KeyFormat format_;
  XbTagReport& report_;
  std::set<uint32_t> visited_;
  std::vector<std::vector<Place>> levels_;
  std::vector<XbCdxEntry> entries_;
  int leafDepth_ = -1;
};

bool EntryLess(const XbCdxEntry& a, const XbCdxEntry& b, bool character) {
  int c = cdx::CompareKeys(a.key, b.key, character);
  return c != 0 ? c < 0 : a.recno < b.recno;
}

std::string Describe(const XbCdxEntry& e, const KeyFormat& format) {
  return "record " + std::to_string(e.recno) + " with key " + Show(e.key, format);
}

// Compares the tag's entries with the keys the table's records give.
void CheckContent(XbCdxTag& tag, std::vector<XbCdxEntry> actual, TreeChecker& checker, XbTagReport& report) {
  const KeyFormat& format = tag.Format();
  auto less = [&format](const XbCdxEntry& a, const XbCdxEntry& b) { return EntryLess(a, b, format.Character()); };
  std::vector<XbCdxEntry> expected;
  cdx::ScanRecords(tag.File().Table(), [&](const char* record, long recno) {
    if (std::optional<std::string> key = tag.KeyOf(record, recno))
      expected.push_back(XbCdxEntry{std::move(*key), static_cast<uint32_t>(recno), 0});
  });
  std::sort(expected.begin(), expected.end(), less);
  std::sort(actual.begin(), actual.end(), less);

  if (tag.Unique()) {
    // Every entry must be a record's key; every key should be there with
    // its lowest record number.
    for (const XbCdxEntry& e : actual)
      if (!std::binary_search(expected.begin(), expected.end(), e, less))
        checker.Problem("the entry for " + Describe(e, format) + " does not belong");
    auto keyLess = [&format](const XbCdxEntry& a, const XbCdxEntry& b) {
      return cdx::CompareKeys(a.key, b.key, format.Character()) < 0;
    };
    for (size_t i = 0; i < expected.size(); ++i) {
      if (i > 0 && expected[i - 1].key == expected[i].key) continue;
      auto held = std::lower_bound(actual.begin(), actual.end(), expected[i], keyLess);
      std::string text;
      if (held == actual.end() || held->key != expected[i].key)
        text = "no entry for the key of " + Describe(expected[i], format);
      else if (held->recno != expected[i].recno)
        text = "the key " + Show(held->key, format) + " names record " + std::to_string(held->recno) + ", not " +
               std::to_string(expected[i].recno);
      if (!text.empty() && report.differences.size() < kMaxProblems) report.differences.push_back(text);
    }
    return;
  }

  size_t i = 0, j = 0;
  while (i < expected.size() || j < actual.size()) {
    if (j == actual.size() || (i < expected.size() && less(expected[i], actual[j]))) {
      checker.Problem(Describe(expected[i++], format) + " is missing");
    } else if (i == expected.size() || less(actual[j], expected[i])) {
      checker.Problem("the entry for " + Describe(actual[j++], format) + " does not belong");
    } else {
      ++i;
      ++j;
    }
  }
}

}  // namespace

XbTagReport CheckTag(XbCdxTag& tag) {
  XbTagReport report;
  report.tag = tag.Name();
  if (!tag.Source() && tag.KeyLength() == 8) {
    // Numeric, date and 8-character keys leave out different pad bytes, so
    // without the key expression even the nodes cannot be decoded surely.
    report.treeChecked = false;
    report.note = tag.Why() + ", and keys of 8 bytes may be numbers, dates or text";
    return report;
  }
  TreeChecker checker(tag.File(), tag.RootOffset(), tag.Format(), report);
  checker.Run();
  if (tag.Collation() == "GENERAL") {
    report.note = "keys of the collation GENERAL are not compared";
    return report;
  }
  checker.CheckOrder(tag.Unique());
  if (!tag.Maintainable()) {
    report.note = tag.Why();
    return report;
  }
  CheckContent(tag, checker.Entries(), checker, report);
  report.contentChecked = true;
  return report;
}

std::vector<XbTagReport> CheckIndexFile(XbCdxFile& file) {
  std::vector<XbTagReport> reports;
  XbTagReport directory;
  TreeChecker checker(file, file.Directory().RootOffset(), file.Directory().Format(), directory);
  checker.Run();
  checker.CheckOrder(false);
  for (const XbCdxEntry& e : checker.Entries()) {
    try {
      file.ReadHeader(e.recno);
    } catch (const EDbfError&) {
      checker.Problem("the header of tag " + e.key + " at " + Hex(e.recno) + " cannot be used");
    }
  }
  reports.push_back(std::move(directory));
  for (const auto& tag : file.Tags()) reports.push_back(CheckTag(*tag));
  return reports;
}
