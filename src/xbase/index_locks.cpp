#include "xbase/index_locks.h"

#include "xbase/cdx/cdx_file.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/scope_guard.h"

bool XbProtocolIndexLocker::Applies(XbIndexAccess access) const {
  return access == XbIndexAccess::Write || table_.GetOptions().protocol == TXbLockProtocol::ClipLock;
}

void XbProtocolIndexLocker::Lock(XbCdxFile& file, XbIndexAccess access) {
  if (!Applies(access)) return;
  if (!LockWithRetry(file.Disk(), IndexLockRegion(table_.GetOptions().protocol)))
    ThrowDbf(msg::kCanNotLock, {file.FileName()});
  XbOnFailure giveBack([&file] { file.Disk().Unlock(); });
  file.IndexLockTaken();
}

void XbProtocolIndexLocker::Unlock(XbCdxFile& file, XbIndexAccess access) {
  if (!Applies(access)) return;
  file.IndexLockGiven();
  file.Disk().Unlock();
}
