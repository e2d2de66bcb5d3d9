// The table object's editing: the dataset states, edit under the record
// lock, append, post, cancel, delete and the record locks of the callers.

#include <algorithm>
#include <exception>

#include "xbase/scope_guard.h"
#include "xbase/table/dbf_table.h"
#include "xbase/table/table_messages.h"

void TDbfTable::SetState(TDataSetState state) {
  if (state == state_) return;
  state_ = state;
  Notify(&TDataSetObserver::StateChanged);
}

void TDbfTable::CheckBrowseMode() {
  if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) {
    if (modified_) Post();
    else Cancel();
  }
}

void TDbfTable::Edit() {
  CheckActive();
  if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) return;
  if (shown_ == 0) {
    Append();
    return;
  }
  Fire(BeforeEdit);
  // The record lock comes first and the record is read from the file under
  // it, so the edit starts from what the file holds and no other program
  // can write the record between that read and our post. A lock this table
  // object holds already (LockRecordWithRetry) nests.
  if (!file_->LockRecord(shown_)) {
    handler_->GoToRecord(shown_);  // shows the record as the other program left it
    ComputeCalculatedFields();
    NotifyRecord(nullptr);
    ThrowDb(msg::kRecordLocked);
  }
  {
    XbOnFailure unlock([this] { file_->UnlockRecord(); });
    handler_->ReloadRecord(shown_);
  }
  ComputeCalculatedFields();
  modified_ = false;
  SetState(TDataSetState::Edit);
  NotifyRecord(nullptr);
  Fire(AfterEdit);
}

void TDbfTable::Append() {
  CheckActive();
  Fire(BeforeInsert);
  CheckBrowseMode();
  file_->UnlockRecord();
  beforeInsert_ = shown_;
  file_->BlankRecord();
  std::fill(calculated_.begin(), calculated_.end(), TValue());
  modified_ = false;
  SetState(TDataSetState::Insert);
  if (OnNewRecord) OnNewRecord(*this);
  NotifyRecord(nullptr);
  Fire(AfterInsert);
}

void TDbfTable::Post() {
  CheckActive();
  if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert) return;
  Fire(BeforePost);
  {
    // The index locks of the write stay taken until the posted record is
    // placed in the current order, so that placing it finds the nodes just
    // written without locking and reading the index files again.
    auto writeLocks = file_->HoldWriteLocks();
    if (state_ == TDataSetState::Edit) file_->Update();
    else file_->Append();
    file_->UnlockRecord();
    modified_ = false;
    handler_->PlaceWritten();
  }
  ShowEngineRecord();
  SetState(TDataSetState::Browse);
  Notify(&TDataSetObserver::DataSetChanged);
  Fire(AfterPost);
}

void TDbfTable::Cancel() {
  CheckActive();
  if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert) return;
  Fire(BeforeCancel);
  long back = state_ == TDataSetState::Insert ? beforeInsert_ : shown_;
  modified_ = false;
  state_ = TDataSetState::Browse;
  if (back != 0) {
    handler_->GoToRecord(back);
    ShowEngineRecord();
  } else {
    ShowReached(handler_->First());
  }
  Notify(&TDataSetObserver::StateChanged);
  Notify(&TDataSetObserver::DataSetChanged);
  Fire(AfterCancel);
}

void TDbfTable::Delete() {
  CheckActive();
  if (state_ == TDataSetState::Insert) {
    Cancel();
    return;
  }
  if (shown_ == 0) ThrowDb(msg::kDatasetEmpty);
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  long recno = shown_;
  try {
    // Unposted edits are dropped: only the deletion mark is written.
    handler_->GoToRecord(recno);
    file_->Delete();
  } catch (const Exception&) {
    // The caller sees the table object's text; the engine's cause travels
    // with it as the nested exception.
    std::throw_with_nested(EDatabaseError(msg::kCannotDelete));
  }
  modified_ = false;
  state_ = TDataSetState::Browse;
  if (!handler_->Hidden()) {
    ShowEngineRecord();
  } else if (handler_->Next()) {
    ShowEngineRecord();
  } else {
    handler_->GoToRecord(recno);
    if (handler_->Prior()) {
      ShowEngineRecord();
      eof_ = true;
    } else {
      ShowNothing();
    }
  }
  Notify(&TDataSetObserver::StateChanged);
  Notify(&TDataSetObserver::DataSetChanged);
  Fire(AfterDelete);
  Fire(AfterScroll);
}

bool TDbfTable::LockCurrentRecord() {
  CheckActive();
  if (shown_ == 0) return false;
  return file_->LockRecord(shown_);
}

void TDbfTable::UnlockRecords() {
  CheckActive();
  file_->UnlockRecord();
}
