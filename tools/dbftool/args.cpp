#include <cstdlib>

#include "commands.h"
#include "xbase/file_names.h"
#include "xbase/table/dbf_table.h"

bool ParseArgs(int argc, char** argv, Args& a) {
  if (argc < 3) return false;
  a.command = argv[1];
  a.file = argv[2];
  for (int i = 3; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--exclusive") a.exclusive = true;
    else if (arg == "--deleted" && a.command == "dump") a.deleted = true;
    else if (arg == "--recno" && a.command == "dump") a.recnoColumn = true;
    else if (arg == "--recno" && a.command == "set" && i + 1 < argc) a.recno = std::atol(argv[++i]);
    else if ((a.command == "set" || a.command == "append") && arg.find('=') != std::string::npos && arg[0] != '-')
      a.assignments.emplace_back(arg.substr(0, arg.find('=')), arg.substr(arg.find('=') + 1));
    else return false;
  }
  if (a.command == "set" && (a.recno <= 0 || a.assignments.empty())) return false;
  if (a.command == "append" && a.assignments.empty()) return false;
  return true;
}

void OpenTable(TDbfTable& table, const Args& a, bool showDeleted) {
  std::string path = ResolveFileName(a.file);
  size_t slash = path.find_last_of('/');
  table.SetDatabaseName(path.substr(0, slash + 1));
  table.SetTableName(path.substr(slash + 1));
  table.Exclusive = a.exclusive;
  table.SetReadOnly(a.command == "info" || a.command == "dump");
  table.SetLockProtocol(TXbLockProtocol::ClipLock);
  table.SetUseDeleted(showDeleted);
  table.Open();
}

