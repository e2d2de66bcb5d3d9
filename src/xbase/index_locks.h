#pragma once
// The index-file locks of the lock protocol. Every record write and append
// locks the index-file region of the protocol in each open index file, and
// under ClipLock so does every seek; a lock held by another program is tried
// 100 times, 50 ms apart, before the operation fails with "Can not Lock file
// %s" (nothing done). Index files opened exclusively lock nothing at the
// operating system.

#include "xbase/cdx/index_lock.h"

class XbDbfFile;

class XbProtocolIndexLocker : public XbIndexLocker {
 public:
  // The protocol is the table's, read at every lock: changing the table
  // object's LockProtocol applies at once to its index files.
  explicit XbProtocolIndexLocker(const XbDbfFile& table) : table_(table) {}
  void Lock(XbCdxFile& file, XbIndexAccess access) override;
  void Unlock(XbCdxFile& file, XbIndexAccess access) override;

 private:
  bool Applies(XbIndexAccess access) const;
  const XbDbfFile& table_;
};
