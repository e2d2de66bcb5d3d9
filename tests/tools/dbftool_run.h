#pragma once
// Runs dbftool as the administrator does and picks lines out of its report.

#include <sstream>
#include <string>

#include "support/run_command.h"

inline CommandResult Dbftool(const std::string& args) { return RunCommand(BinPath("dbftool") + " " + args); }

// The line of a report that begins with `start`, or "".
inline std::string LineOf(const std::string& out, const std::string& start) {
  std::stringstream in(out);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(start, 0) == 0) return line;
  return {};
}
