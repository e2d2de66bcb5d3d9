#pragma once
// A platform for tests: the real file operations, with a file system type,
// a clock and a pause the test chooses. While a FakePlatform lives it is the
// one the engine uses. Its clock stands still until a pause moves it on, so
// retries that would sleep for seconds run at once; `onPause` lets a test act
// at the moment the engine waits (free a lock another process holds).

#include <functional>
#include <optional>

#include "xbase/platform.h"

class FakePlatform : public XbPlatform {
 public:
  FakePlatform() : previous_(SetPlatform(this)) {}
  ~FakePlatform() override { SetPlatform(previous_); }
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // The file system type reported for every file; nothing: the real one.
  std::optional<uint64_t> fileSystemType;
  // Called at each pause with the pause's length; pauses are counted.
  std::function<void(int millis)> onPause;
  int pauses = 0;
  int pausedMillis = 0;
  Clock::time_point now = Clock::now();

  uint64_t FileSystemType(int fd) override {
    return fileSystemType ? *fileSystemType : XbPlatform::FileSystemType(fd);
  }
  Clock::time_point Now() override { return now; }
  void Pause(int millis) override {
    ++pauses;
    pausedMillis += millis;
    now += std::chrono::milliseconds(millis);
    if (onPause) onPause(millis);
  }

 private:
  XbPlatform* previous_;
};
