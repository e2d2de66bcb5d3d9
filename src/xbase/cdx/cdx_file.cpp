#include "xbase/cdx/cdx_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "xbase/ascii.h"
#include "xbase/cdx/cdx_messages.h"
#include "xbase/cdx/tag_cursor.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/file_names.h"
#include "xbase/platform.h"
#include "xbase/scope_guard.h"

using cdx::kNodeSize;
using cdx::XbCdxNode;
using cdx::XbCdxTagHeader;

namespace {

std::string UpperName(std::string_view name) {
  size_t b = name.find_first_not_of(' ');
  size_t e = name.find_last_not_of(' ');
  return AsciiUpper(b == std::string_view::npos ? std::string_view() : name.substr(b, e - b + 1));
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

XbCdxFile::XbCdxFile(XbDbfFile& table, XbKeySourceFactory factory) : table_(table), factory_(std::move(factory)) {}

XbCdxFile::~XbCdxFile() = default;

std::unique_ptr<XbCdxFile> XbCdxFile::Open(const std::string& path, XbDbfFile& table, XbKeySourceFactory factory) {
  std::unique_ptr<XbCdxFile> file(new XbCdxFile(table, std::move(factory)));
  file->OpenPath(path, table.GetOptions().shared);
  return file;
}

std::unique_ptr<XbCdxFile> XbCdxFile::OpenOrCreate(const std::string& name, XbDbfFile& table,
                                                   XbKeySourceFactory factory) {
  const std::string path = NewIndexFileName(name, table.FileName());
  bool shared = table.GetOptions().shared;
  if (!Platform().Exists(path)) {
    XbPlatform::Created created = Platform().CreateNewFile(path);
    if (created == XbPlatform::Created::Failed) ThrowDbf(msg::kCouldNotCreate, {path});
    if (created == XbPlatform::Created::New) shared = false;  // a file just created is used without sharing
  }
  std::unique_ptr<XbCdxFile> file(new XbCdxFile(table, std::move(factory)));
  file->OpenPath(path, shared);
  return file;
}

void XbCdxFile::OpenPath(const std::string& path, bool shared) {
  disk_.Open(path, shared, table_.GetOptions().writable);
  if (disk_.Size() <= kNodeSize) {
    if (!disk_.Writable()) Corrupted();
    WriteEmptyDirectory();
  }
  LoadTags();
  MarkStructural();
}

void XbCdxFile::Close() {
  tags_.clear();
  directory_.reset();
  disk_.Close();
}

void XbCdxFile::Corrupted() const { ThrowDbf(msg::kIndexCorrupted, {disk_.Name()}); }

XbCdxTagHeader XbCdxFile::ReadHeader(uint32_t offset) const {
  if (offset % kNodeSize != 0) Corrupted();
  XbCdxTagHeader header;
  if (disk_.ReadAt(offset, header.image.data(), cdx::kHeaderSize) < cdx::kHeaderSize) Corrupted();
  if (!header.Valid(Size())) Corrupted();
  return header;
}

namespace {
// Nodes the cache holds at most (some 2.5 KB each; a tag of a million short
// keys has about 15,000). When a file's cache is full it starts afresh: the
// few interior nodes every descent passes are read again at once.
constexpr size_t kCachedNodes = 32768;
}  // namespace

void XbCdxFile::IndexLockTaken() {
  if (lockDepth_++ > 0) return;
  uint8_t stamp[sizeof stamp_];
  if (disk_.ReadAt(4, stamp, sizeof stamp) < sizeof stamp) Corrupted();
  if (!stampKnown_ || std::memcmp(stamp, stamp_, sizeof stamp) != 0) DropCache();
  std::memcpy(stamp_, stamp, sizeof stamp);
  stampKnown_ = true;
}

void XbCdxFile::IndexLockGiven() {
  if (lockDepth_ > 0) --lockDepth_;
}

void XbCdxFile::DropCache() const {
  cache_.clear();
  cachedNodes_ = 0;
}

void XbCdxFile::ForgetNode(uint32_t offset) const {
  const size_t block = offset / kNodeSize;
  if (block < cache_.size() && cache_[block]) {
    cache_[block].reset();
    --cachedNodes_;
  }
}

void XbCdxFile::RememberNode(std::shared_ptr<const XbCdxNode> node) const {
  const size_t block = node->offset / kNodeSize;
  const bool held = block < cache_.size() && cache_[block];
  if (!held && cachedNodes_ >= kCachedNodes) DropCache();
  if (block >= cache_.size()) cache_.resize(block + 1);
  if (!held) ++cachedNodes_;
  cache_[block] = std::move(node);
}

std::shared_ptr<const XbCdxNode> XbCdxFile::ReadSharedNode(uint32_t offset, const cdx::KeyFormat& format) const {
  // Node 0 is the directory header; an offset past the end reads short.
  if (offset == 0 || offset % kNodeSize != 0) Corrupted();
  if (lockDepth_ > 0) {
    const size_t block = offset / kNodeSize;
    if (block < cache_.size() && cache_[block]) return cache_[block];
  }
  uint8_t block[kNodeSize];
  if (disk_.ReadAt(offset, block, kNodeSize) < kNodeSize) Corrupted();
  auto node = std::make_shared<XbCdxNode>();
  if (!cdx::DecodeNode(block, format, *node)) Corrupted();
  node->offset = offset;
  if (lockDepth_ > 0) RememberNode(node);
  return node;
}

XbCdxNode XbCdxFile::ReadNode(uint32_t offset, const cdx::KeyFormat& format) const {
  return *ReadSharedNode(offset, format);
}

void XbCdxFile::WriteNode(XbCdxNode node, const cdx::KeyFormat& format, uint64_t highestRecno) {
  uint8_t block[kNodeSize];
  cdx::LeafWidths widths;
  if (node.IsLeaf()) {
    widths = cdx::LeafWidthsFor(format, node.entries, highestRecno);
    cdx::EncodeLeaf(node, format, widths, block);
  } else {
    if (static_cast<int>(node.entries.size()) > cdx::InteriorCapacity(format.length))
      throw std::logic_error("index node overfull");
    cdx::EncodeInterior(node, format, block);
  }
  ForgetNode(node.offset);
  disk_.WriteAt(node.offset, block, kNodeSize);
  // Under the lock the node is held as the file now has it: its entries as
  // written, with the widths and free bytes that reading the block gives.
  if (lockDepth_ == 0) return;
  const bool leaf = node.IsLeaf();
  auto written = std::make_shared<XbCdxNode>(std::move(node));
  written->widths = leaf ? widths : cdx::LeafWidths{};
  written->storedFree = leaf ? static_cast<int>(cdx::Get16(block + 12)) : cdx::kLeafArea;
  RememberNode(std::move(written));
}

void XbCdxFile::WriteRightLink(uint32_t offset, uint32_t right) {
  if (offset == 0 || offset % kNodeSize != 0 || uint64_t{offset} + kNodeSize > Size()) Corrupted();
  uint8_t link[4];
  cdx::Put32(link, right);
  ForgetNode(offset);
  disk_.WriteAt(offset + 8, link, sizeof link);
}

uint32_t XbCdxFile::AllocateBlock() {
  uint64_t end = (Size() + kNodeSize - 1) / kNodeSize * kNodeSize;
  end = std::max(end, nextFree_);
  if (end + kNodeSize > 0xFFFFFE00u) ThrowDbf(msg::kWriteError, {disk_.Name()});
  nextFree_ = end + kNodeSize;
  return static_cast<uint32_t>(end);
}

void XbCdxFile::GiveBackBlocks(uint32_t end) {
  nextFree_ = 0;
  if (Size() > end) disk_.Truncate(end);
}

void XbCdxFile::WriteBlocks(uint32_t offset, const uint8_t* data, size_t size) {
  DropCache();
  if (offset < 12) stampKnown_ = false;  // the file header's free list and counter
  disk_.WriteAt(offset, data, size);
}

void XbCdxFile::WriteEmptyDirectory() {
  nextFree_ = 0;
  DropCache();
  stampKnown_ = false;
  XbCdxTagHeader header = XbCdxTagHeader::ForDirectory(cdx::kHeaderSize);
  disk_.WriteAt(0, header.image.data(), cdx::kHeaderSize);
  XbCdxNode root;
  root.offset = cdx::kHeaderSize;
  WriteNode(root, cdx::KeyFormat{header.KeyLength(), XbKeyType::Character}, cdx::kHeaderSize + kNodeSize);
}

void XbCdxFile::LoadTags() {
  XbCdxTagHeader dirHeader = ReadHeader(0);
  directory_ = std::make_unique<XbCdxTag>(*this, std::string(), 0, dirHeader, nullptr, true);
  std::vector<std::unique_ptr<XbCdxTag>> old = std::move(tags_);
  tags_.clear();
  cdx::TagCursor walk(*this, dirHeader.Root(), directory_->Format());
  for (bool on = walk.First(); on; on = walk.Next()) {
    std::string name = UpperName(walk.Entry()->key);
    uint32_t offset = walk.Entry()->recno;
    auto kept = std::find_if(old.begin(), old.end(), [&](const std::unique_ptr<XbCdxTag>& t) {
      return t && t->Name() == name && t->HeaderOffset() == offset;
    });
    if (kept != old.end()) {
      tags_.push_back(std::move(*kept));
      continue;
    }
    XbCdxTagHeader header = ReadHeader(offset);
    std::unique_ptr<XbKeySource> source;
    if (factory_) source = factory_(header.KeyExpression(), header.FilterExpression());
    tags_.push_back(std::make_unique<XbCdxTag>(*this, name, offset, header, std::move(source), false));
  }
}

void XbCdxFile::MarkStructural() {
  namespace fs = std::filesystem;
  fs::path index(disk_.Name()), table(table_.FileName());
  bool same = Lower(index.extension().string()) == ".cdx" &&
              Lower(fs::path(index).replace_extension().string()) == Lower(fs::path(table).replace_extension().string());
  if (!same || (table_.TableFlags() & 0x01)) return;
  table_.RefreshHeader();
  table_.SetTableFlags(static_cast<uint8_t>(table_.TableFlags() | 0x01));
  table_.WriteHeader();
}

XbCdxTag* XbCdxFile::FindTag(std::string_view name) const {
  std::string wanted = UpperName(name);
  for (const auto& t : tags_)
    if (t->Name() == wanted) return t.get();
  return nullptr;
}

uint32_t XbCdxFile::ChangeCounter() const {
  uint8_t bytes[4];
  if (disk_.ReadAt(8, bytes, sizeof bytes) < sizeof bytes) Corrupted();
  return cdx::Get32(bytes);
}

void XbCdxFile::RemoveDirectoryEntries(const std::string& name) {
  std::vector<cdx::XbCdxEntry> found;
  cdx::TagCursor walk(*this, directory_->RootOffset(), directory_->Format());
  for (bool on = walk.First(); on; on = walk.Next())
    if (UpperName(walk.Entry()->key) == name) found.push_back(*walk.Entry());
  for (const cdx::XbCdxEntry& e : found) directory_->Remove(e.key, e.recno);
}

XbCdxTag& XbCdxFile::CreateTag(const std::string& name, const std::string& keyExpr, const std::string& filterExpr,
                               bool unique, bool descending, const XbBuildProgress& progress) {
  std::string tagName = UpperName(name);
  if (tagName.empty()) ThrowDbf(msg::kCannotFindTag, {name});
  if (tagName.size() > 10) tagName.resize(10);
  std::unique_ptr<XbKeySource> source = factory_ ? factory_(keyExpr, filterExpr) : nullptr;
  if (!source) ThrowDbf(msg::kTagNotBuildable, {tagName});
  cdx::KeyFormat format{source->Type() == XbKeyType::Character ? source->Length() : 8, source->Type()};
  if (format.length < 1 || format.length > cdx::kMaxKeyLength)
    ThrowDbf(msg::kSortKeyLength, {std::to_string(cdx::kMaxKeyLength), std::to_string(format.length)});
  if (keyExpr.size() + filterExpr.size() + 2 > cdx::kHeaderSize - 512) ThrowDbf(msg::kExpressionsTooLong, {tagName});

  Lock lock(*this, XbIndexAccess::Write);
  RemoveDirectoryEntries(tagName);
  uint32_t headerOffset = AllocateBlock();
  AllocateBlock();
  XbCdxTagHeader blank;
  WriteBlocks(headerOffset, blank.image.data(), cdx::kHeaderSize);
  uint32_t root = XbSortCdx(*this, format, unique).Build(table_, *source, progress);
  XbCdxTagHeader header = XbCdxTagHeader::ForTag(root, format.length, unique, descending, keyExpr, filterExpr);
  WriteBlocks(headerOffset, header.image.data(), cdx::kHeaderSize);
  directory_->Insert(tagName, headerOffset);
  LoadTags();
  XbCdxTag* tag = FindTag(tagName);
  if (!tag) Corrupted();
  return *tag;
}

XbCdxTag& XbCdxFile::RebuildTag(XbCdxTag& tag, const XbBuildProgress& progress) {
  if (!tag.Maintainable()) ThrowDbf(msg::kTagNotMaintainable, {tag.Name(), disk_.Name(), tag.Why()});
  Lock lock(*this, XbIndexAccess::Write);
  const std::string name = tag.Name();
  const uint32_t headerOffset = tag.HeaderOffset();
  uint32_t root = XbSortCdx(*this, tag.Format(), tag.Unique()).Build(table_, *tag.Source(), progress);
  uint8_t bytes[4];
  cdx::Put32(bytes, root);
  WriteBlocks(headerOffset, bytes, sizeof bytes);
  CountChange();
  // The tag is read afresh from its header.
  for (auto& t : tags_)
    if (t.get() == &tag) t.reset();
  LoadTags();
  XbCdxTag* rebuilt = FindTag(name);
  if (!rebuilt || rebuilt->HeaderOffset() != headerOffset) Corrupted();
  return *rebuilt;
}

void XbCdxFile::CountChange() {
  // Under the index lock the counter is the one read when the lock was
  // taken (or last written by this file): nobody else writes it meanwhile.
  uint8_t stamp[8];
  if (lockDepth_ > 0 && stampKnown_)
    std::memcpy(stamp, stamp_, sizeof stamp);
  else if (disk_.ReadAt(4, stamp, sizeof stamp) < sizeof stamp)
    Corrupted();
  cdx::Put32(stamp + 4, cdx::Get32(stamp + 4) + 1);
  disk_.WriteAt(8, stamp + 4, 4);
  // What we wrote ourselves under the lock keeps the nodes held valid.
  if (lockDepth_ > 0) std::memcpy(stamp_, stamp, sizeof stamp);
}

void XbCdxFile::CheckWritable(long recno, const char* before, const char* after) const {
  for (const auto& t : tags_) {
    if (t->Maintainable()) continue;
    if (!t->Source() || t->Affected(t->KeysFor(recno, before, after)))
      ThrowDbf(msg::kTagNotMaintainable, {t->Name(), disk_.Name(), t->Why()});
  }
}

XbCdxFile::KeyChanges XbCdxFile::UpdateKeys(long recno, const char* before, const char* after) {
  // Every key is computed before anything is written, so that a key
  // expression that fails leaves every tag as it was.
  KeyChanges keys(tags_.size());
  for (size_t i = 0; i < tags_.size(); ++i)
    if (tags_[i]->Maintainable()) keys[i] = tags_[i]->KeysFor(recno, before, after);
  Lock lock(*this, XbIndexAccess::Write);
  bool changed = false;
  size_t applied = 0;
  try {
    for (; applied < tags_.size(); ++applied)
      if (tags_[applied]->Maintainable() && tags_[applied]->Apply(recno, keys[applied])) changed = true;
    // The change counter tells every reader of the file that a tag changed.
    if (changed) CountChange();
  } catch (...) {
    // The tag that failed put itself back; the ones before it follow.
    for (size_t i = std::min(applied, tags_.size()); i-- > 0;) {
      try {
        if (tags_[i]->Maintainable()) tags_[i]->Revert(recno, keys[i]);
      } catch (...) {
        // The first failure is the one reported.
      }
    }
    try {
      if (changed) CountChange();
    } catch (...) {
    }
    ForgetAllNodes();
    throw;
  }
  return keys;
}

void XbCdxFile::RevertKeys(long recno, const KeyChanges& changes) {
  Lock lock(*this, XbIndexAccess::Write);
  XbOnFailure forget([this] { ForgetAllNodes(); });
  bool changed = false;
  for (size_t i = std::min(changes.size(), tags_.size()); i-- > 0;) {
    if (!tags_[i]->Maintainable() || !changes[i].Changed()) continue;
    tags_[i]->Revert(recno, changes[i]);
    changed = true;
  }
  if (changed) CountChange();
}

void XbCdxFile::ForgetAllNodes() {
  // What the failed change left in memory may not be what the file holds.
  DropCache();
  if (directory_) directory_->DropNodes();
  for (const auto& t : tags_) t->DropNodes();
}

void XbCdxFile::Flush() {
  disk_.Flush();
  ForgetAllNodes();
}
