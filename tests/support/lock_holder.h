#pragma once
// Another process that holds a byte-range lock on a file, or has the file
// open, as a shop program would: a child holds a classic POSIX write lock
// (or a shared open) for a while, then exits.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>

// A child process that tries a write lock on a byte range, reports whether
// it got it, and holds it for `millis` (0: exits at once).
class LockHolder {
 public:
  LockHolder(const std::string& path, uint64_t offset, uint64_t length, int millis) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      int fd = ::open(path.c_str(), O_RDWR);
      struct flock fl{};
      fl.l_type = F_WRLCK;
      fl.l_whence = SEEK_SET;
      fl.l_start = static_cast<off_t>(offset);
      fl.l_len = static_cast<off_t>(length);
      char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0) ? 1 : 0;
      (void)!::write(fds[1], &ok, 1);
      if (millis > 0) ::usleep(static_cast<useconds_t>(millis) * 1000);
      ::_exit(0);
    }
    ::close(fds[1]);
    char ok = 0;
    (void)!::read(fds[0], &ok, 1);
    ::close(fds[0]);
    locked_ = ok == 1;
  }
  ~LockHolder() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  bool Locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  bool locked_ = false;
};

// True when another process could take a write lock on the byte range now.
inline bool OtherProcessCanLock(const std::string& path, uint64_t offset, uint64_t length) {
  return LockHolder(path, offset, length, 0).Locked();
}

// A child process that has the file open shared, as a shop program's table
// open holds it (flock LOCK_SH), until it is killed with the holder.
class SharedOpenHolder {
 public:
  explicit SharedOpenHolder(const std::string& path) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      int fd = ::open(path.c_str(), O_RDWR);
      char ok = (fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) == 0) ? 1 : 0;
      (void)!::write(fds[1], &ok, 1);
      ::pause();
      ::_exit(0);
    }
    ::close(fds[1]);
    char ok = 0;
    (void)!::read(fds[0], &ok, 1);
    ::close(fds[0]);
    open_ = ok == 1;
  }
  ~SharedOpenHolder() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool Open() const { return open_; }

 private:
  pid_t pid_ = -1;
  bool open_ = false;
};
