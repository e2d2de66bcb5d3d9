#include "xbase/lock_protocol.h"

#include "xbase/disk_file.h"
#include "xbase/platform.h"

XbLockRegion RecordLockRegion(TXbLockProtocol protocol, long recno, bool indexOpen, int headerLength,
                              int recordLength) {
  const uint64_t n = static_cast<uint64_t>(recno);
  if (protocol == TXbLockProtocol::ClipLock) return {1000000000ull + n, 1};
  if (protocol == TXbLockProtocol::DB4Lock) return {0xEFFFFFFEull - n, 1};
  // Default and FoxLock.
  if (indexOpen) return {0x7FFFFFFEull - n, 1};
  return {0x40000000ull + static_cast<uint64_t>(headerLength) + static_cast<uint64_t>(recordLength) * (n - 1), 1};
}

XbLockRegion AppendLockRegion(TXbLockProtocol protocol) {
  if (protocol == TXbLockProtocol::ClipLock) return {1000000000ull, 1};
  if (protocol == TXbLockProtocol::DB4Lock) return {0xEFFFFFFFull, 1};
  return {0x7FFFFFFEull, 1};
}

XbLockRegion FileLockRegion(TXbLockProtocol protocol) {
  if (protocol == TXbLockProtocol::ClipLock) return {1000000000ull, 1000000000ull};
  if (protocol == TXbLockProtocol::DB4Lock) return {0x40000000ull, 0xB0000000ull};
  return {0x40000000ull, 0x3FFFFFFFull};
}

XbLockRegion IndexLockRegion(TXbLockProtocol protocol) {
  if (protocol == TXbLockProtocol::ClipLock) return {1000000000ull, 1};
  if (protocol == TXbLockProtocol::DB4Lock) return {0xEFFFFFFEull, 2};
  return {0x7FFFFFFDull, 1};
}

bool LockWithRetry(XbDiskFile& file, const XbLockRegion& region, int tries, int pauseMs) {
  for (int i = 0; i < tries; ++i) {
    if (file.Lock(region)) return true;
    Platform().Pause(pauseMs);
  }
  return false;
}
