#include "operations/store_keys.h"

#include <exception>

#include "xbase/table/dbf_table.h"

void AbandonEdit(TDbfTable& table) {
  try {
    if (!table.Active()) return;
    TDataSetState state = table.State();
    if (state == TDataSetState::Edit || state == TDataSetState::Insert) table.Cancel();
    // The edit's own lock level; an insert holds none.
    if (state == TDataSetState::Edit) table.UnlockRecords();
  } catch (const std::exception&) {
  }
}

void QuietUnlock(TDbfTable& table) {
  try {
    if (table.Active()) table.UnlockRecords();
  } catch (const std::exception&) {
  }
}
