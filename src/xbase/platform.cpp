#include "xbase/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

bool XbPlatform::Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool XbPlatform::IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> XbPlatform::DirectoryEntries(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.empty() ? "/" : dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  }
  ::closedir(d);
  return names;
}

XbPlatform::Created XbPlatform::CreateNewFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return errno == EEXIST ? Created::Existed : Created::Failed;
  ::close(fd);
  return Created::New;
}

bool XbPlatform::RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

// Only a regular file that reads to its end counts: a directory of that name
// or a read error is no file's text (a stream would read either as empty).
std::optional<std::string> XbPlatform::ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char buf[8192];
  while (ok) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) text.append(buf, static_cast<size_t>(n));
    else if (n == 0) break;
    else if (errno != EINTR) ok = false;
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  return text;
}

std::string XbPlatform::CurrentDirectory() {
  char cwd[4096];
  return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string();
}

std::string XbPlatform::ProgramPath() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string XbPlatform::UserName() {
  if (passwd* pw = ::getpwuid(::geteuid())) return pw->pw_name;
  if (const char* user = std::getenv("USER")) return user;
  return {};
}

uint64_t XbPlatform::FileSystemType(int fd) {
  struct statfs fs;
  if (::fstatfs(fd, &fs) != 0) return 0;
  return static_cast<uint64_t>(static_cast<uint32_t>(fs.f_type));
}

XbPlatform::Clock::time_point XbPlatform::Now() { return Clock::now(); }

void XbPlatform::Pause(int millis) { std::this_thread::sleep_for(std::chrono::milliseconds(millis)); }

namespace {
XbPlatform& RealPlatform() {
  static XbPlatform real;
  return real;
}
XbPlatform* current = nullptr;
}  // namespace

XbPlatform& Platform() { return current ? *current : RealPlatform(); }

XbPlatform* SetPlatform(XbPlatform* platform) {
  XbPlatform* previous = &Platform();
  current = platform;
  return previous;
}

XbLocalTime LocalTime(XbPlatform::Clock::time_point when) {
  XbLocalTime t;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  t.millis = static_cast<int>(ms % 1000);
  if (t.millis < 0) {
    t.millis += 1000;
    --seconds;
  }
  localtime_r(&seconds, &t.tm);
  return t;
}

void XbIgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }
