// The table object's index files and tags: opening and closing index
// files, building a tag, and choosing the order.

#include "xbase/ascii.h"
#include "xbase/cdx/cdx_messages.h"
#include "xbase/errors.h"
#include "xbase/field_codec.h"
#include "xbase/scope_guard.h"
#include "xbase/table/dbf_table.h"
#include "xbase/tag_order.h"

void TDbfTable::UseTag(XbCdxTag* tag) {
  bool hadTag = tag_ != nullptr;
  tag_ = tag;
  handler_->SetOrder(tag ? std::make_unique<XbTagOrder>(*tag) : nullptr);
  // Natural order chosen after a tag reads through the read-ahead window.
  file_->SetReadAhead(!tag && hadTag);
}

std::string TDbfTable::CurrentTagName() const { return tag_ ? tag_->Name() : std::string(); }

int TDbfTable::OpenIndexFile(const std::string& path) {
  CheckActive();
  if (indexes_->Find(path)) return -1;
  indexes_->Open(path);
  file_->SetIndexOpen(true);
  return 0;
}

void TDbfTable::CloseIndexFile(const std::string& path) {
  CheckActive();
  XbCdxFile* file = indexes_->Find(path);
  if (!file) return;
  if (tag_ && &tag_->File() == file) {
    tag_->ClearRange();
    UseTag(nullptr);
    if (shown_ != 0) handler_->GoToRecord(shown_);
  }
  indexes_->Close(path);
  file_->SetIndexOpen(!indexes_->Files().empty());
}

void TDbfTable::CreateIndexTag(const std::string& file, const std::string& tag, const std::string& keyExpr,
                               const std::string& forExpr, int duplicates, int order) {
  // The documented codes: duplicates 0 unique keys, 1 duplicates allowed;
  // order 0 ascending, 1 descending.
  enum class Keys { Unique, Duplicates };
  enum class Order { Ascending, Descending };
  const Keys keys = duplicates == 0 ? Keys::Unique : Keys::Duplicates;
  const Order direction = order == 1 || order == 8 ? Order::Descending : Order::Ascending;

  CheckActive();
  CheckBrowseMode();
  busy_ = true;
  DisableControls();
  // However the build ends: every index file closed, the table object usable
  // again on the first record of natural order.
  XbOnExit finish([this] {
    busy_ = false;
    EnableControls();
    First();
  });
  XbOnFailure closeAll([this] { indexes_->CloseAll(); });
  if (tag_) tag_->ClearRange();
  UseTag(nullptr);
  indexes_->CloseAll();
  file_->SetIndexOpen(false);
  if (codec::Trim(tag).empty()) ThrowDbf(msg::kCannotFindTag, {tag});
  XbCdxFile& index = indexes_->OpenOrCreate(file);
  XbBuildProgress progress;
  if (OnStatus) progress = [this](int s1, long s2, long s3) { OnStatus(s1, static_cast<int>(s2), static_cast<int>(s3)); };
  index.CreateTag(tag, keyExpr, forExpr, keys == Keys::Unique, direction == Order::Descending, progress);
  indexes_->Close(file);
}

void TDbfTable::SelectTag(const std::string& tag) {
  CheckActive();
  indexName_ = tag;
  CheckBrowseMode();
  XbCdxTag* found = nullptr;
  std::string name = AsciiUpper(std::string(codec::Trim(tag)));
  if (!name.empty()) {
    found = indexes_->FindTag(name);
    if (!found) ThrowDbf(msg::kCannotFindTag, {tag});
  }
  if (tag_) tag_->ClearRange();
  UseTag(found);
  Scroll(
      [this] {
        long shown = shown_;
        bool placed = handler_->First();
        if (placed && shown != 0) {
          placed = handler_->GoToRecord(shown) && !handler_->Hidden();
          if (!placed) placed = handler_->First();
        }
        ShowReached(placed);
      },
      &TDataSetObserver::DataSetChanged);
}
