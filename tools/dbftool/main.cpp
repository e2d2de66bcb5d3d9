// dbftool: an administrator's companion for the program's table files. It
// opens tables through the table object, shared and under the lock protocol
// of the shops' programs, so it can run beside them.
//
//   dbftool info FILE                          header facts and the field list
//   dbftool dump FILE [--deleted] [--recno]    the records as UTF-8 TSV
//   dbftool set FILE --recno N FIELD=VALUE...  edits one record
//   dbftool append FILE FIELD=VALUE...         appends one record
//   dbftool check FILE [--index FILE.cdx]      proves an index file sound
//   dbftool reindex FILE INDEX TAG EXPR ...    builds one tag
//
// Every command takes --exclusive to open the table without sharing.

#include <cstdio>
#include <iostream>

#include "commands.h"

namespace {

int Usage() {
  std::cerr << "usage: dbftool info FILE\n"
               "       dbftool dump FILE [--deleted] [--recno]\n"
               "       dbftool set FILE --recno N FIELD=VALUE...\n"
               "       dbftool append FILE FIELD=VALUE...\n"
               "       dbftool check FILE [--index FILE.cdx]\n"
               "       dbftool reindex FILE INDEX TAG EXPR [--for EXPR] [--unique] [--descending]\n"
               "options: --exclusive  open the table without sharing\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  IndexArgs ia;
  if (IsIndexCommand(argc, argv) ? !ParseIndexArgs(argc, argv, ia) : !ParseArgs(argc, argv, a)) return Usage();
  try {
    if (ia.command == "check") return Check(ia);
    if (ia.command == "reindex") return Reindex(ia);
    if (a.command == "info") return Info(a);
    if (a.command == "dump") return Dump(a);
    if (a.command == "set" || a.command == "append") return Write(a);
    return Usage();
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::cerr << "dbftool: " << e.what() << "\n";
    return 1;
  }
}
