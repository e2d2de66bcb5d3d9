#pragma once
// One open operating-system file of the shared drive: positioned reads and
// writes, size, flush.
//
// Share modes. On a local file system a shared open holds a shared flock()
// on the file and an exclusive open an exclusive one, the convention by which
// the xBase programs on this platform keep an exclusive user alone on a file;
// a refused flock() is reported like a refused open. On a network file system
// (NFS, SMB/CIFS, FUSE) a shared open takes no flock(): see disk_file.cpp.
//
// Byte-range locks: a file holds at most one locked region, with a nesting
// count. The locks are Linux open-file-description locks (F_OFD_SETLK):
// exclusive and non-waiting like the shops' programs' locks, conflicting with
// the classic POSIX locks other programs take, and - unlike classic POSIX
// locks, which belong to the process - owned by this open file, so two table
// objects of this program on one file exclude each other and closing one
// does not drop the other's locks.

#include <cstddef>
#include <cstdint>
#include <string>

#include "xbase/lock_protocol.h"

class XbDiskFile {
 public:
  // System calls made on the calling thread by every open file, for the
  // benchmarks' and tests' counts per operation.
  struct Calls {
    long reads = 0, writes = 0, locks = 0, sizes = 0;
  };
  static Calls& CallCount();

  XbDiskFile() = default;
  ~XbDiskFile();
  XbDiskFile(const XbDiskFile&) = delete;
  XbDiskFile& operator=(const XbDiskFile&) = delete;

  // Opens an existing file. Fails with "File %s could not be found" or
  // "Access denied to file %s".
  void Open(const std::string& name, bool shared, bool writable);
  // True when the open file lies on a network file system (asked at open).
  bool OnNetworkFileSystem() const { return network_; }
  // Closes the file (also given up by the destructor); "Error in Close of file %s".
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Reads up to n bytes at offset; returns the count read (short at the end
  // of the file). Fails with "Error on Read of file %s".
  size_t ReadAt(uint64_t offset, void* buf, size_t n) const;
  // Writes all n bytes at offset; "Error writing to %s" when the system
  // refuses the write or takes only part of it (a full disk, a file-size
  // limit). LastWritten() then tells how many bytes did reach the file.
  void WriteAt(uint64_t offset, const void* buf, size_t n);
  size_t LastWritten() const { return written_; }
  // Cuts the file (or extends it with zeros) to `size` bytes; "Error
  // writing to %s".
  void Truncate(uint64_t size);
  // "Error getting FileSize for file %s".
  uint64_t Size() const;
  // Data to the disk; "Error on Flush for file %s".
  void Flush();

  // Locks `region` in one attempt. An exclusively opened file only records
  // the region and count. A region already held raises the count; another
  // region than the one held fails without asking the operating system.
  bool Lock(const XbLockRegion& region);
  // Gives up one level; the operating-system lock goes with the last one.
  // "Error in Unlock of file %s".
  void Unlock();
  int LockCount() const { return lockCount_; }
  const XbLockRegion& LockedRegion() const { return locked_; }

  const std::string& Name() const { return name_; }
  bool Shared() const { return shared_; }
  bool Writable() const { return writable_; }
  int Handle() const { return fd_; }

 private:
  int fd_ = -1;
  std::string name_;
  bool shared_ = true;
  bool writable_ = true;
  bool network_ = false;
  XbLockRegion locked_;
  int lockCount_ = 0;
  size_t written_ = 0;  // bytes the last WriteAt got to the file
};
