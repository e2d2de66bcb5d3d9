// The table object's reads for grids: the records of the current order and
// other records than the one shown, read through the field objects.

#include "xbase/scope_guard.h"
#include "xbase/table/dbf_table.h"
#include "xbase/table/table_messages.h"

namespace {
void RequireBrowse(TDataSetState state) {
  if (state != TDataSetState::Browse) ThrowDb(msg::kNotBrowsing);
}
}  // namespace

std::vector<long> TDbfTable::VisibleRecordsInOrder() {
  CheckActive();
  RequireBrowse(state_);
  std::vector<long> recnos;
  for (bool more = handler_->First(); more; more = handler_->Next()) recnos.push_back(handler_->RecNo());
  if (shown_ != 0) handler_->GoToRecord(shown_);
  return recnos;
}

void TDbfTable::VisitRecords(const std::vector<long>& recnos, const std::function<void(long recno)>& visit) {
  CheckActive();
  RequireBrowse(state_);
  // However the visits end, the record shown is shown again.
  XbOnExit showAgain([this, shown = shown_] {
    shown_ = shown;
    if (shown_ != 0) handler_->GoToRecord(shown_);
    ComputeCalculatedFields();
  });
  for (long recno : recnos) {
    handler_->GoToRecord(recno);
    if (handler_->Eof()) continue;
    shown_ = recno;
    ComputeCalculatedFields();
    visit(recno);
  }
}
