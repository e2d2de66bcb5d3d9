#include "xbase/cdx/cdx_builder.h"

#include <algorithm>
#include <cstring>

#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/collation.h"
#include "xbase/cdx/key_sorter.h"
#include "xbase/cdx/node_layout.h"
#include "xbase/dbf_file.h"

using cdx::XbCdxEntry;
using cdx::XbCdxNode;

namespace {

// Collects consecutive blocks and writes them in large pieces.
class BlockWriter {
 public:
  explicit BlockWriter(XbCdxFile& file) : file_(file) {}
  ~BlockWriter() = default;

  uint8_t* Block(uint32_t offset) {
    if (!buffer_.empty() && (offset != start_ + buffer_.size() || buffer_.size() >= kLimit)) Flush();
    if (buffer_.empty()) start_ = offset;
    buffer_.resize(buffer_.size() + cdx::kNodeSize);
    return buffer_.data() + buffer_.size() - cdx::kNodeSize;
  }
  void Flush() {
    if (!buffer_.empty()) file_.WriteBlocks(start_, buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  static constexpr size_t kLimit = 256 * 1024;
  XbCdxFile& file_;
  uint64_t start_ = 0;
  std::vector<uint8_t> buffer_;
};

}  // namespace

XbSortCdx::XbSortCdx(XbCdxFile& file, const cdx::KeyFormat& format, bool unique)
    : file_(file), format_(format), unique_(unique) {}

uint32_t XbSortCdx::Build(XbDbfFile& table, const XbKeySource& source, const XbBuildProgress& progress) {
  auto notify = [&](int a, long b, long c) {
    if (progress) progress(a, b, c);
  };
  table.RefreshHeader();
  const long records = table.RecordCount();
  notify(-1, 1, records);
  std::unique_ptr<cdx::SortedKeys> keys =
      cdx::SortKeys(table, records, source, format_, unique_, [&](long read) { notify(1, read, 0); });
  notify(0, 0, 0);
  notify(-1, 2, records);
  uint32_t root = WriteTree(*keys, records, progress);
  notify(0, 0, 0);
  return root;
}

uint32_t XbSortCdx::WriteTree(cdx::SortedKeys& keys, long records, const XbBuildProgress& progress) {
  const int kl = format_.length;
  const cdx::LeafWidths widths = cdx::LeafWidthsFor(kl, static_cast<uint64_t>(std::max(records, 0L)));
  const int floor = 2 * (widths.entryBytes + kl + 8);
  const auto& bytes = cdx::CollationBytes();
  const bool character = format_.Character();
  BlockWriter out(file_);

  // Leaves, left to right.
  std::vector<XbCdxEntry> above;  // the last entry of every node of the level just written
  XbCdxNode leaf;
  leaf.attribute = cdx::kLeaf;
  leaf.offset = file_.AllocateBlock();
  int used = 0;
  bool onlyLeaf = true;
  auto emitLeaf = [&]() {
    cdx::EncodeLeaf(leaf, format_, widths, out.Block(leaf.offset));
    if (!leaf.entries.empty()) above.push_back(XbCdxEntry{leaf.entries.back().key, leaf.entries.back().recno, leaf.offset});
  };
  long written = 0;
  while (const uint8_t* r = keys.Next()) {
    XbCdxEntry e;
    e.key.resize(r[kl]);
    for (size_t i = 0; i < e.key.size(); ++i) e.key[i] = static_cast<char>(character ? bytes[r[i]] : r[i]);
    e.recno = cdx::Get32BE(r + kl + 1);
    const std::string* previous = leaf.entries.empty() ? nullptr : &leaf.entries.back().key;
    int size = cdx::LeafKeyBytes(previous, e.key, format_, widths.entryBytes);
    if (previous && cdx::kLeafArea - (used + size) < floor) {
      uint32_t next = file_.AllocateBlock();
      leaf.right = next;
      emitLeaf();
      XbCdxNode fresh;
      fresh.attribute = cdx::kLeaf;
      fresh.offset = next;
      fresh.left = leaf.offset;
      leaf = std::move(fresh);
      used = 0;
      onlyLeaf = false;
      size = cdx::LeafKeyBytes(nullptr, e.key, format_, widths.entryBytes);
    }
    leaf.entries.push_back(std::move(e));
    used += size;
    if (progress) progress(2, ++written, 0);
  }
  if (onlyLeaf) leaf.attribute |= cdx::kRoot;
  emitLeaf();
  uint32_t root = leaf.offset;

  // Interior levels until one node holds the rest.
  const size_t capacity = static_cast<size_t>(cdx::InteriorCapacity(kl));
  while (above.size() > 1) {
    size_t nodes = (above.size() + capacity - 1) / capacity;
    std::vector<uint32_t> offsets(nodes);
    for (uint32_t& o : offsets) o = file_.AllocateBlock();
    std::vector<XbCdxEntry> next;
    for (size_t i = 0; i < nodes; ++i) {
      XbCdxNode node;
      node.attribute = nodes == 1 ? cdx::kRoot : cdx::kInterior;
      node.offset = offsets[i];
      node.left = i > 0 ? offsets[i - 1] : cdx::kNoNode;
      node.right = i + 1 < nodes ? offsets[i + 1] : cdx::kNoNode;
      auto from = above.begin() + static_cast<long>(i * capacity);
      auto to = above.begin() + static_cast<long>(std::min(above.size(), (i + 1) * capacity));
      node.entries.assign(std::make_move_iterator(from), std::make_move_iterator(to));
      cdx::EncodeInterior(node, format_, out.Block(node.offset));
      next.push_back(XbCdxEntry{node.entries.back().key, node.entries.back().recno, node.offset});
    }
    above = std::move(next);
    root = above.front().child;
  }
  out.Flush();
  return root;
}
