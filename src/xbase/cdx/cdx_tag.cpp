#include "xbase/cdx/cdx_tag.h"

#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/tag_upkeep.h"
#include "xbase/dbf_file.h"
#include "xbase/scope_guard.h"

using cdx::XbCdxEntry;

namespace {

// Why the engine cannot keep a tag of a file written by others current;
// empty when it can.
std::string Unmaintainable(const cdx::XbCdxTagHeader& header, const XbKeySource* source) {
  if (!source) return "its key expression cannot be evaluated";
  if (header.Collation() == "GENERAL") return "its keys use the collation GENERAL";
  if (!(header.Options() & cdx::kCompact)) return "its nodes are not in the compact form";
  int expected = source->Type() == XbKeyType::Character ? source->Length() : 8;
  if (header.KeyLength() != expected) return "its key length does not match its key expression";
  return {};
}

}  // namespace

XbCdxTag::XbCdxTag(XbCdxFile& file, std::string name, uint32_t headerOffset, const cdx::XbCdxTagHeader& header,
                   std::unique_ptr<XbKeySource> source, bool directory)
    : file_(file),
      name_(std::move(name)),
      headerOffset_(headerOffset),
      root_(header.Root()),
      format_{header.KeyLength(), source ? source->Type() : XbKeyType::Character},
      keyExpr_(header.KeyExpression()),
      filterExpr_(header.FilterExpression()),
      collation_(header.Collation()),
      unique_(header.Unique()),
      descending_(header.Descending()),
      directory_(directory),
      source_(std::move(source)),
      why_(directory ? std::string() : Unmaintainable(header, source_.get())),
      cursor_(file, root_, format_) {}

uint64_t XbCdxTag::HighestRecno() const {
  // Directory entries point at header offsets, tag entries at records.
  if (directory_) return file_.Size();
  long count = file_.Table().RecordCount();
  return count > 0 ? static_cast<uint64_t>(count) : 0;
}

std::optional<std::string> XbCdxTag::KeyOf(const char* record, long recno) const {
  if (!source_ || !source_->Includes(record, recno)) return std::nullopt;
  return cdx::NormalizeKey(source_->Key(record, recno), format_);
}

XbCdxTag::RecordKeys XbCdxTag::KeysFor(long recno, const char* before, const char* after) const {
  RecordKeys keys;
  if (!source_) return keys;
  keys.append = before == nullptr;
  keys.newKey = cdx::NormalizeKey(source_->Key(after, recno), format_);
  keys.newBelongs = source_->Includes(after, recno);
  if (!keys.append) {
    keys.oldKey = cdx::NormalizeKey(source_->Key(before, recno), format_);
    keys.oldBelongs = source_->Includes(before, recno);
  }
  return keys;
}

bool XbCdxTag::Affected(const RecordKeys& keys) const {
  if (keys.append) return keys.newBelongs;
  return keys.oldBelongs != keys.newBelongs || (keys.newBelongs && keys.oldKey != keys.newKey);
}

bool XbCdxTag::Apply(long recno, RecordKeys& keys) {
  keys.removed = keys.inserted = false;
  if (keys.append) {
    keys.inserted = keys.newBelongs && Insert(keys.newKey, recno);
  } else if (keys.newKey != keys.oldKey || !keys.newBelongs) {
    keys.removed = Remove(keys.oldKey, recno);
    if (keys.newBelongs) {
      // A new key that cannot be written brings the old one back.
      XbOnFailure putBack([&] {
        if (keys.removed) Insert(keys.oldKey, recno);
        keys.removed = false;
      });
      keys.inserted = Insert(keys.newKey, recno);
    }
  } else if (!Contains(keys.oldKey, recno)) {
    keys.inserted = Insert(keys.newKey, recno);
  }
  return keys.Changed();
}

void XbCdxTag::Revert(long recno, const RecordKeys& keys) {
  if (keys.inserted) Remove(keys.newKey, recno);
  if (keys.removed) Insert(keys.oldKey, recno);
}

bool XbCdxTag::Insert(std::string_view key, long recno) {
  std::string k = cdx::NormalizeKey(key, format_);
  if (!cdx::TreeWriter(file_, root_, format_, HighestRecno()).Insert(k, static_cast<uint32_t>(recno), unique_))
    return false;
  cursor_.Drop();
  return true;
}

bool XbCdxTag::Remove(std::string_view key, long recno) {
  std::string k = cdx::NormalizeKey(key, format_);
  bool removed = cdx::TreeWriter(file_, root_, format_, HighestRecno()).Remove(k, static_cast<uint32_t>(recno));
  if (removed) cursor_.Drop();
  return removed;
}

bool XbCdxTag::Contains(std::string_view key, long recno) {
  std::string k = cdx::NormalizeKey(key, format_);
  cdx::TagCursor probe(file_, root_, format_);
  return probe.SeekEntry(k, static_cast<uint32_t>(recno)) &&
         cdx::CompareEntry(*probe.Entry(), k, static_cast<uint32_t>(recno), format_.Character()) == 0;
}
