#pragma once
// Another process that holds a byte-range lock on a file, or has the file
// open, as a shop program would: a child takes the lock (or the shared
// open), reports whether it got it, holds it for a while, then exits.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>

// A child process that runs `take` on the file opened for writing, reports
// whether it succeeded, and holds on for `millis` (0: exits at once; a
// negative time: until the holder goes).
class ChildHolder {
 public:
  template <typename Take>
  ChildHolder(const std::string& path, int millis, Take take) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      int fd = ::open(path.c_str(), O_RDWR);
      char ok = (fd >= 0 && take(fd)) ? 1 : 0;
      (void)!::write(fds[1], &ok, 1);
      if (millis < 0) ::pause();
      if (millis > 0) ::usleep(static_cast<useconds_t>(millis) * 1000);
      ::_exit(0);
    }
    ::close(fds[1]);
    char ok = 0;
    (void)!::read(fds[0], &ok, 1);
    ::close(fds[0]);
    got_ = ok == 1;
  }
  ~ChildHolder() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  ChildHolder(const ChildHolder&) = delete;
  ChildHolder& operator=(const ChildHolder&) = delete;

  // True when `take` succeeds in another process right now.
  template <typename Take>
  static bool Succeeds(const std::string& path, Take take) {
    return ChildHolder(path, 0, take).got_;
  }

 protected:
  bool got_ = false;

 private:
  pid_t pid_ = -1;
};

// A child process that tries a classic POSIX write lock on a byte range,
// reports whether it got it, and holds it for `millis` (0: exits at once).
class LockHolder : public ChildHolder {
 public:
  LockHolder(const std::string& path, uint64_t offset, uint64_t length, int millis)
      : ChildHolder(path, millis, [offset, length](int fd) {
          struct flock fl{};
          fl.l_type = F_WRLCK;
          fl.l_whence = SEEK_SET;
          fl.l_start = static_cast<off_t>(offset);
          fl.l_len = static_cast<off_t>(length);
          return ::fcntl(fd, F_SETLK, &fl) == 0;
        }) {}
  bool Locked() const { return got_; }
};

// True when another process could take a write lock on the byte range now.
inline bool OtherProcessCanLock(const std::string& path, uint64_t offset, uint64_t length) {
  return LockHolder(path, offset, length, 0).Locked();
}

// A child process that has the file open shared, as a shop program's table
// open holds it (flock LOCK_SH), until the holder goes.
class SharedOpenHolder : public ChildHolder {
 public:
  explicit SharedOpenHolder(const std::string& path)
      : ChildHolder(path, -1, [](int fd) { return ::flock(fd, LOCK_SH | LOCK_NB) == 0; }) {}
  bool Open() const { return got_; }
};
