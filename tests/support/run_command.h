#pragma once
// Runs one of the program's executables and collects what it printed.

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

struct CommandResult {
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `command` through the shell with standard error sent to a file.
inline CommandResult RunCommand(const std::string& command) {
  CommandResult r;
  char errName[] = "/tmp/tamorix-err-XXXXXX";
  int errFd = ::mkstemp(errName);
  if (errFd >= 0) ::close(errFd);
  FILE* pipe = ::popen((command + " 2>" + errName).c_str(), "r");
  if (!pipe) return r;
  std::array<char, 65536> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
  int status = ::pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (FILE* f = std::fopen(errName, "rb")) {
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0) r.err.append(buf.data(), n);
    std::fclose(f);
  }
  std::remove(errName);
  return r;
}

// The path of an executable of this build.
inline std::string BinPath(const std::string& name) { return std::string(TAMORIX_BIN_DIR) + "/" + name; }
