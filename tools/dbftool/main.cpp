// dbftool: an administrator's companion for the program's table files. It
// opens tables through the table object, shared and under the lock protocol
// of the shops' programs, so it can run beside them.
//
//   dbftool info FILE                          header facts and the field list
//   dbftool dump FILE [--tag TAG] [--deleted] [--recno]
//                                              the records as UTF-8 TSV
//   dbftool seek FILE TAG KEY [--exact]        the record a key finds
//   dbftool set FILE (--recno N | --tag TAG --key KEY) FIELD=VALUE...
//                                              edits one record
//   dbftool append FILE FIELD=VALUE...         appends one record
//   dbftool check FILE [--index FILE.cdx]      proves an index file sound
//   dbftool check --tree DIR                   every table and index file below DIR
//   dbftool repair FILE [--index FILE.cdx]     mends a table and its index after a crash
//   dbftool reindex FILE INDEX TAG EXPR ...    builds one tag
//
// Every command takes --exclusive to open the table without sharing.

#include <cstdio>
#include <iostream>

#include "commands.h"
#include "xbase/platform.h"

namespace {

int Usage() {
  std::cerr << "usage: dbftool info FILE\n"
               "       dbftool dump FILE [--tag TAG] [--deleted] [--recno]\n"
               "       dbftool seek FILE TAG KEY [--exact]\n"
               "       dbftool set FILE (--recno N | --tag TAG --key KEY) FIELD=VALUE...\n"
               "       dbftool append FILE FIELD=VALUE...\n"
               "       dbftool check FILE [--index FILE.cdx]\n"
               "       dbftool check --tree DIR\n"
               "       dbftool repair FILE [--index FILE.cdx]\n"
               "       dbftool reindex FILE INDEX TAG EXPR [--for EXPR] [--unique] [--descending]\n"
               "options: --exclusive     open the table without sharing\n"
               "         --index FILE    the index file (default: the table's own .cdx)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  XbIgnoreFileSizeSignal();
  Args a;
  IndexArgs ia;
  if (IsIndexCommand(argc, argv) ? !ParseIndexArgs(argc, argv, ia) : !ParseArgs(argc, argv, a)) return Usage();
  try {
    if (ia.command == "check") return ia.tree ? CheckTree(ia.file) : Check(ia);
    if (ia.command == "repair") return Repair(ia);
    if (ia.command == "reindex") return Reindex(ia);
    if (a.command == "info") return Info(a);
    if (a.command == "dump") return Dump(a);
    if (a.command == "seek") return Seek(a);
    if (a.command == "set" || a.command == "append") return Write(a);
    return Usage();
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::cerr << "dbftool: " << e.what() << "\n";
    return 1;
  }
}
