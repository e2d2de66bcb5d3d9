#include "xbase/disk_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "xbase/errors.h"

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
  if (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    ::close(fd);
    ThrowDbf(msg::kAccessDenied, {name});
  }
  fd_ = fd;
  name_ = name;
  shared_ = shared;
  writable_ = writable;
}

void XbDiskFile::Close() {
  if (fd_ < 0) return;
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) ThrowDbf(msg::kCloseError, {name_});
}

size_t XbDiskFile::ReadAt(uint64_t offset, void* buf, size_t n) const {
  size_t done = 0;
  while (done < n) {
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
  size_t done = 0;
  while (done < n) {
    ssize_t r = ::pwrite(fd_, static_cast<const char*>(buf) + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      ThrowDbf(msg::kWriteError, {name_});
    }
    done += static_cast<size_t>(r);
  }
}

uint64_t XbDiskFile::Size() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) ThrowDbf(msg::kFileSizeError, {name_});
  return static_cast<uint64_t>(st.st_size);
}

void XbDiskFile::Flush() {
  if (::fdatasync(fd_) != 0) ThrowDbf(msg::kFlushError, {name_});
}
