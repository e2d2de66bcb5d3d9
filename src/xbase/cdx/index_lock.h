#pragma once
// The seam for the index-file locks shared with the shops' programs. The
// index layer brackets every change of an index file (key upkeep, a tag
// build) and every read from a tag's root (seeks and walks) with Lock and
// Unlock of the file's locker; which of these really lock, at which offset,
// and how long they wait is the lock protocol's business. Without a locker
// nothing is locked.

class XbCdxFile;

enum class XbIndexAccess { Seek, Write };

class XbIndexLocker {
 public:
  virtual ~XbIndexLocker() = default;
  // Takes the index lock for the access; raises EDbfError ("Can not Lock
  // file %s") when it cannot be had, and then nothing has been done.
  virtual void Lock(XbCdxFile& file, XbIndexAccess access) = 0;
  // Gives up one level of the lock taken by Lock.
  virtual void Unlock(XbCdxFile& file, XbIndexAccess access) = 0;
};
