#pragma once
// Where the locks lie. The shops' programs and this program keep out of each
// other's way only through byte-range locks at agreed offsets, far beyond the
// data, so the locks never cover bytes that are read or written. Each lock
// protocol fixes those offsets for the record, append, whole-file and
// index-file locks.

#include <cstdint>

enum class TXbLockProtocol { Default, DB4Lock, ClipLock, FoxLock };

struct XbLockRegion {
  uint64_t offset = 0;
  uint64_t length = 0;
  friend bool operator==(const XbLockRegion&, const XbLockRegion&) = default;
};

// The lock of one record of the table file. Under Default and FoxLock it
// depends on whether the table has an index file open.
XbLockRegion RecordLockRegion(TXbLockProtocol protocol, long recno, bool indexOpen, int headerLength,
                              int recordLength);
// The lock every append holds while it takes its record number and writes.
XbLockRegion AppendLockRegion(TXbLockProtocol protocol);
// The lock over the whole table (taken by the shops' programs, never by us).
XbLockRegion FileLockRegion(TXbLockProtocol protocol);
// The lock of an index file, held around every index write (and every seek
// under ClipLock).
XbLockRegion IndexLockRegion(TXbLockProtocol protocol);

class XbDiskFile;

// Tries a lock up to `tries` times with `pauseMs` milliseconds after each
// failed try; true once it is held. Index locks use 100 tries 50 ms apart.
bool LockWithRetry(XbDiskFile& file, const XbLockRegion& region, int tries = 100, int pauseMs = 50);
