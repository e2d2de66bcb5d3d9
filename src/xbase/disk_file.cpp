#include "xbase/disk_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "xbase/errors.h"
#include "xbase/platform.h"

// Share modes and the file system.
//
// Linux implements flock() locally as a whole-file lock that only other
// flock() calls see. On a network file system it is something else:
// - NFS (since Linux 2.6.12): flock() is emulated as a byte-range lock over
//   the whole file (fcntl-style, sent to the server). A shared flock() held
//   by us then conflicts with every exclusive byte-range record lock another
//   client takes.
// - SMB/CIFS (since Linux 5.5): flock() is sent as an SMB byte-range lock over
//   the whole file, and SMB locks are mandatory: while we hold it, another
//   client's record locks fail and so does every write of another client to
//   the file.
// - FUSE: the back end is unknown (it may forward flock() to a network
//   server), so it is treated as a network file system.
// So a shared open on these file systems takes no flock(); the server
// enforces the Windows programs' own share modes at open. The exclusive open
// (the index rebuild) still takes flock(LOCK_EX): there it becomes a lock on
// the whole file, which keeps every other user of the file out, as an
// exclusive open should.
namespace {
constexpr uint64_t kNfsMagic = 0x6969;
constexpr uint64_t kSmbMagic = 0x517B;
constexpr uint64_t kCifsMagic = 0xFF534D42;
constexpr uint64_t kSmb2Magic = 0xFE534D42;
constexpr uint64_t kFuseMagic = 0x65735546;

bool IsNetworkFileSystem(uint64_t type) {
  return type == kNfsMagic || type == kSmbMagic || type == kCifsMagic || type == kSmb2Magic || type == kFuseMagic;
}
}  // namespace

XbDiskFile::~XbDiskFile() {
  if (fd_ >= 0) ::close(fd_);
}

void XbDiskFile::Open(const std::string& name, bool shared, bool writable) {
  if (fd_ >= 0) Close();
  int fd = ::open(name.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) ThrowDbf(msg::kFileNotFound, {name});
    ThrowDbf(msg::kAccessDenied, {name});
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    ThrowDbf(msg::kAccessDenied, {name});
  }
  bool network = IsNetworkFileSystem(Platform().FileSystemType(fd));
  if (!(shared && network) && ::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    ::close(fd);
    ThrowDbf(msg::kAccessDenied, {name});
  }
  fd_ = fd;
  network_ = network;
  name_ = name;
  shared_ = shared;
  writable_ = writable;
}

void XbDiskFile::Close() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  lockCount_ = 0;  // closing the file gives up its locks
  if (::close(fd) != 0) ThrowDbf(msg::kCloseError, {name_});
}

XbDiskFile::Calls& XbDiskFile::CallCount() {
  static thread_local Calls calls;
  return calls;
}

size_t XbDiskFile::ReadAt(uint64_t offset, void* buf, size_t n) const {
  size_t done = 0;
  while (done < n) {
    ++CallCount().reads;
    ssize_t r = ::pread(fd_, static_cast<char*>(buf) + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      ThrowDbf(msg::kReadError, {name_});
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

void XbDiskFile::WriteAt(uint64_t offset, const void* buf, size_t n) {
  written_ = 0;
  while (written_ < n) {
    ++CallCount().writes;
    ssize_t r = ::pwrite(fd_, static_cast<const char*>(buf) + written_, n - written_,
                         static_cast<off_t>(offset + written_));
    if (r < 0 && errno == EINTR) continue;
    // A write that takes nothing would be asked again for ever; the next
    // call after a short one reports the reason (no space, file too large).
    if (r <= 0) ThrowDbf(msg::kWriteError, {name_});
    written_ += static_cast<size_t>(r);
  }
}

void XbDiskFile::Truncate(uint64_t size) {
  int r;
  do {
    ++CallCount().writes;
    r = ::ftruncate(fd_, static_cast<off_t>(size));
  } while (r != 0 && errno == EINTR);
  if (r != 0) ThrowDbf(msg::kWriteError, {name_});
}

uint64_t XbDiskFile::Size() const {
  struct stat st;
  ++CallCount().sizes;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) ThrowDbf(msg::kFileSizeError, {name_});
  return static_cast<uint64_t>(st.st_size);
}

void XbDiskFile::Flush() {
  if (::fdatasync(fd_) != 0) ThrowDbf(msg::kFlushError, {name_});
}

namespace {
// One exclusive, non-waiting open-file-description lock operation.
bool OfdLock(int fd, short type, const XbLockRegion& region) {
  struct flock fl{};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(region.offset);
  fl.l_len = static_cast<off_t>(region.length);
  fl.l_pid = 0;
  ++XbDiskFile::CallCount().locks;
  return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}
}  // namespace

bool XbDiskFile::Lock(const XbLockRegion& region) {
  if (!shared_) {
    // Nobody else has the file: the lock is only bookkeeping.
    if (lockCount_++ == 0) locked_ = region;
    return true;
  }
  if (lockCount_ > 0) {
    if (!(region == locked_)) return false;
    ++lockCount_;
    return true;
  }
  // A file open for reading only can take just a read lock; it still keeps
  // writers out while it is held.
  if (!OfdLock(fd_, writable_ ? F_WRLCK : F_RDLCK, region)) return false;
  locked_ = region;
  lockCount_ = 1;
  return true;
}

void XbDiskFile::Unlock() {
  if (lockCount_ == 0) return;
  if (lockCount_ == 1 && shared_ && !OfdLock(fd_, F_UNLCK, locked_)) ThrowDbf(msg::kUnlockError, {name_});
  --lockCount_;
}
