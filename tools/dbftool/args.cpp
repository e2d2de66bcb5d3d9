#include <unistd.h>

#include <cstdlib>

#include "commands.h"
#include "xbase/file_names.h"
#include "xbase/table/dbf_table.h"

bool ParseArgs(int argc, char** argv, Args& a) {
  if (argc < 3) return false;
  a.command = argv[1];
  a.file = argv[2];
  int first = 3;
  if (a.command == "seek") {
    if (argc < 5) return false;
    a.tag = argv[3];
    a.key = argv[4];
    first = 5;
  }
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    bool value = i + 1 < argc;
    if (arg == "--exclusive") a.exclusive = true;
    else if (arg == "--exact" && a.command == "seek") a.exact = true;
    else if (arg == "--index" && value && a.command != "append") a.index = argv[++i];
    else if (arg == "--tag" && value && (a.command == "dump" || a.command == "set")) a.tag = argv[++i];
    else if (arg == "--key" && value && a.command == "set") a.key = argv[++i];
    else if (arg == "--deleted" && a.command == "dump") a.deleted = true;
    else if (arg == "--recno" && a.command == "dump") a.recnoColumn = true;
    else if (arg == "--recno" && a.command == "set" && i + 1 < argc) a.recno = std::atol(argv[++i]);
    else if ((a.command == "set" || a.command == "append") && arg.find('=') != std::string::npos && arg[0] != '-')
      a.assignments.emplace_back(arg.substr(0, arg.find('=')), arg.substr(arg.find('=') + 1));
    else return false;
  }
  if (a.command == "set" && ((a.recno <= 0) == a.tag.empty() || a.tag.empty() != a.key.empty() ||
                             a.assignments.empty()))
    return false;
  if (a.command == "append" && a.assignments.empty()) return false;
  return true;
}

void OpenTable(TDbfTable& table, const Args& a, bool showDeleted) {
  std::string path = ResolveFileName(a.file);
  size_t slash = path.find_last_of('/');
  table.SetDatabaseName(path.substr(0, slash + 1));
  table.SetTableName(path.substr(slash + 1));
  std::string index = a.index;
  if (index.empty()) {
    std::string base = path.substr(0, path.find_last_of('.') > slash ? path.find_last_of('.') : path.size());
    std::string sameNamed = ResolveFileName(base + ".cdx");
    if (::access(sameNamed.c_str(), F_OK) == 0) index = sameNamed;
  }
  if (!index.empty()) table.IndexFiles = {index};
  table.SetIndexName(a.tag);
  table.Exclusive = a.exclusive;
  table.SetReadOnly(a.command == "info" || a.command == "dump");
  table.SetLockProtocol(TXbLockProtocol::ClipLock);
  table.SetUseDeleted(showDeleted);
  table.Open();
}

