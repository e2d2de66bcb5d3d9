// The table object's navigation: which record is shown, the moves through
// the current order with their events, record numbers and bookmarks.

#include <algorithm>
#include <cstdlib>

#include "xbase/table/dbf_table.h"
#include "xbase/table/table_messages.h"

// --- showing records ---

void TDbfTable::ShowEngineRecord() {
  shown_ = handler_->RecNo();
  eof_ = bof_ = false;
  ComputeCalculatedFields();
}

void TDbfTable::ShowNothing() {
  shown_ = 0;
  eof_ = bof_ = true;
  std::fill(calculated_.begin(), calculated_.end(), TValue());
}

void TDbfTable::ShowReached(bool reached) {
  if (reached) ShowEngineRecord();
  else ShowNothing();
}

void TDbfTable::Scroll(const std::function<void()>& move, void (TDataSetObserver::*notice)()) {
  Fire(BeforeScroll);
  move();
  Fire(AfterScroll);
  Notify(notice);
}

void TDbfTable::ReshowAfterMove(bool found, bool forward) {
  if (found) {
    ShowEngineRecord();
    return;
  }
  // Nothing further that way: stay on the record shown, with the end (or
  // beginning) state set.
  if (shown_ != 0) {
    handler_->GoToRecord(shown_);
    ComputeCalculatedFields();
  }
  if (forward) eof_ = true;
  else bof_ = true;
}

void TDbfTable::PlaceOnShown() {
  // Every operation leaves the engine on the record shown; only when the
  // file stands elsewhere is the order placed again.
  if (handler_->RecNo() != shown_ || handler_->Eof()) handler_->GoToRecord(shown_);
}

// --- moves ---

void TDbfTable::First() {
  CheckActive();
  CheckBrowseMode();
  Scroll([this] {
    ShowReached(handler_->First());
    bof_ = true;
  });
}

void TDbfTable::Last() {
  CheckActive();
  CheckBrowseMode();
  Scroll([this] {
    ShowReached(handler_->Last());
    eof_ = true;
  });
}

void TDbfTable::Next() {
  CheckActive();
  CheckBrowseMode();
  if (eof_) return;
  Scroll([this] {
    if (shown_ == 0) {
      ShowNothing();
      return;
    }
    PlaceOnShown();
    ReshowAfterMove(handler_->Next(), true);
  });
}

void TDbfTable::Prior() {
  CheckActive();
  CheckBrowseMode();
  if (bof_) return;
  Scroll([this] {
    if (shown_ == 0) {
      ShowNothing();
      return;
    }
    PlaceOnShown();
    ReshowAfterMove(handler_->Prior(), false);
  });
}

long TDbfTable::RecNo() const {
  if (!Active()) ThrowDb(msg::kDatasetClosed);
  return state_ == TDataSetState::Insert ? 0 : shown_;
}

void TDbfTable::SetRecNo(long recno) {
  CheckActive();
  CheckBrowseMode();
  Scroll([&] {
    handler_->GoToRecord(recno);
    if (!handler_->Eof()) {
      ShowEngineRecord();
      return;
    }
    // One past the last record: the end of the table.
    ShowReached(handler_->Last());
    eof_ = true;
  });
}

long TDbfTable::RecordCount() {
  if (!Active()) ThrowDb(msg::kDatasetClosed);
  if (!ExactCount) return file_->RecordCount();
  CheckActive();
  long count = 0;
  for (bool more = handler_->First(); more; more = handler_->Next()) ++count;
  if (shown_ != 0) handler_->GoToRecord(shown_);
  return count;
}

// --- bookmarks ---

std::string TDbfTable::GetBookmark() const {
  std::string number = std::to_string(shown_);
  std::string mark(10 - std::min<size_t>(10, number.size()), ' ');
  mark += number;
  mark += '\0';
  return mark;
}

namespace {
// The record number of a bookmark, or -1 when it holds no number.
long BookmarkNumber(const std::string& bookmark) {
  std::string digits;
  for (char c : bookmark) {
    if (c == '\0') break;
    if (c != ' ') digits += c;
  }
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  return std::strtol(digits.c_str(), nullptr, 10);
}
}  // namespace

bool TDbfTable::BookmarkValid(const std::string& bookmark) const {
  if (!Active()) return false;
  long n = BookmarkNumber(bookmark);
  return n >= 1 && n <= file_->RecordCount();
}

void TDbfTable::GotoBookmark(const std::string& bookmark) {
  CheckActive();
  long n = BookmarkNumber(bookmark);
  if (n < 1) ThrowDb(msg::kBookmarkInvalid, {tableName_});
  CheckBrowseMode();
  Scroll([&] {
    try {
      handler_->GoToRecord(n);
    } catch (const EDbfError&) {
      ThrowDb(msg::kBookmarkInvalid, {tableName_});
    }
    if (handler_->Eof()) ThrowDb(msg::kBookmarkInvalid, {tableName_});
    ShowEngineRecord();
  });
}

int TDbfTable::CompareBookmarks(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}
