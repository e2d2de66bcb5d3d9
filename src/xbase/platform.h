#pragma once
// The operating system as the engine uses it, apart from the open files of
// XbDiskFile: files by name (existence, the directory scan of the case-blind
// name match, creation, deletion, whole-file reads for the configuration),
// the kind of file system a file lies on, the clock and the pause between
// lock attempts. Everything else in the engine reaches the system through
// this one seam, so tests can put in their own clock and pause (a lock test
// then no longer sleeps through real retries) or their own file system kind.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

class XbPlatform {
 public:
  using Clock = std::chrono::system_clock;
  enum class Created { New, Existed, Failed };

  virtual ~XbPlatform() = default;

  // True when something (a file, a directory) has this path.
  virtual bool Exists(const std::string& path);
  // True when the path names a regular file.
  virtual bool IsRegularFile(const std::string& path);
  // The names in a directory ("." and ".." left out); empty when it cannot
  // be read.
  virtual std::vector<std::string> DirectoryEntries(const std::string& dir);
  // Creates an empty file that must not exist yet.
  virtual Created CreateNewFile(const std::string& path);
  // Deletes a file; false when it is still there afterwards.
  virtual bool RemoveFile(const std::string& path);
  // The whole content of a file; nothing when it cannot be read.
  virtual std::optional<std::string> ReadWholeFile(const std::string& path);
  // The current directory; empty when it cannot be told.
  virtual std::string CurrentDirectory();
  // The path of the running program's executable; empty when unknown.
  virtual std::string ProgramPath();
  // The login name of the user running the program; empty when unknown.
  virtual std::string UserName();

  // The file system type of an open file (the f_type of statfs); 0 when the
  // system cannot tell.
  virtual uint64_t FileSystemType(int fd);

  // The wall clock.
  virtual Clock::time_point Now();
  // Waits this many milliseconds (between two lock attempts).
  virtual void Pause(int millis);
};

// The platform in use: the real one unless a test put in another.
XbPlatform& Platform();
// Puts `platform` in use (nullptr: the real one again); returns the one that
// was in use. The caller keeps `platform` alive while it is in use.
XbPlatform* SetPlatform(XbPlatform* platform);

// A write past the process's file-size limit raises SIGXFSZ, which would end
// the program on the spot; each program ignores it at start, so that such a
// write fails like one on a full disk ("Error writing to %s") and is taken
// back.
void XbIgnoreFileSizeSignal();

// A point of the clock in local time, with its milliseconds.
struct XbLocalTime {
  std::tm tm{};
  int millis = 0;
};
XbLocalTime LocalTime(XbPlatform::Clock::time_point when);
