// The table object's key seeks and key ranges in the current tag, and the
// refresh of what it holds of the files.

#include "xbase/cdx/key_encoding.h"
#include "xbase/codepage.h"
#include "xbase/table/dbf_table.h"
#include "xbase/table/table_messages.h"

std::optional<std::string> TDbfTable::SearchKey(const XbCdxTag& tag, const std::string& text) const {
  const Codepage& cp = Codepage::Instance();
  std::string ansi = cp.Utf8ToAnsi(text);
  std::string disk = translate_ ? cp.AnsiToOem(ansi) : ansi;
  if (tag.KeyType() == XbKeyType::Numeric && disk.find('.') == std::string::npos)
    for (char& c : disk)
      if (c == ',') c = '.';
  return cdx::SearchKeyFromText(disk, tag.KeyType(), '.');
}

bool TDbfTable::FindInTag(XbCdxTag& tag, const std::string& key, bool exact, bool last, bool* atEnd) {
  *atEnd = false;
  long recno = last ? tag.FindLast(key, !exact) : tag.FindFirst(key, !exact);
  // A hidden record is stepped over: forward for the first key, backward
  // for the last, so an earlier visible record with the key is found.
  while (recno != 0) {
    file_->GoTo(recno);
    if (!handler_->Hidden()) break;
    recno = last ? tag.Previous() : tag.Next();
  }
  if (recno == 0) {
    *atEnd = true;
    return false;
  }
  return cdx::CompareSearch(key, tag.CurrentKey(), tag.Format().Character(),
                            exact ? cdx::PrefixRule::Exact : cdx::PrefixRule::Partial) == 0;
}

bool TDbfTable::ReadyToSeek() {
  CheckActive();
  CheckBrowseMode();
  if (!tag_) ThrowDb(msg::kNoIndexForFind);
  return file_->RecordCount() != 0 && shown_ != 0;
}

bool TDbfTable::Seek(const std::string& key, bool exact, bool near, bool last) {
  if (!ReadyToSeek()) return false;
  bool found = false;
  Scroll([&] {
    std::optional<std::string> search = SearchKey(*tag_, key);
    bool atEnd = true;
    found = search && FindInTag(*tag_, *search, exact, last, &atEnd);
    if (found || (near && !atEnd)) {
      ShowEngineRecord();
      return;
    }
    ShowReached(handler_->Last());
    eof_ = true;
  });
  return found;
}

bool TDbfTable::SeekKey(const std::string& key, bool exact, bool near) { return Seek(key, exact, near, false); }

bool TDbfTable::SeekLastKey(const std::string& key, bool exact, bool near) { return Seek(key, exact, near, true); }

void TDbfTable::SetKeyRange(const std::string& low, const std::string& high) {
  CheckActive();
  CheckBrowseMode();
  if (!tag_) return;
  std::optional<std::string> lowKey, highKey;
  if (!low.empty()) lowKey = SearchKey(*tag_, low);
  if (!high.empty()) highKey = SearchKey(*tag_, high);
  if (!tag_->SetRange(lowKey, highKey, true, true, cdx::PrefixRule::Exact)) return;
  Scroll(
      [this] {
        ShowReached(handler_->First());
        bof_ = true;
      },
      &TDataSetObserver::DataSetChanged);
}

void TDbfTable::RefreshTable() {
  CheckActive();
  CheckBrowseMode();
  if (shown_ != 0) handler_->GoToRecord(shown_);
  file_->MarkHeaderDirty();
  file_->Flush();
  indexes_->Flush();
  if (tag_ && shown_ != 0) tag_->GoToRecord(file_->Buffer(), shown_);
}
