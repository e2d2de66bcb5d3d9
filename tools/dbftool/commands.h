#pragma once
// The commands of dbftool and what they share: the parsed command line and
// opening a table through the table object.

#include <string>
#include <utility>
#include <vector>

class TDbfTable;

struct Args {
  std::string command, file;
  bool exclusive = false, deleted = false, recnoColumn = false, exact = false;
  long recno = 0;
  std::string tag, index, key;  // --tag, --index, --key (seek: TAG KEY)
  std::vector<std::pair<std::string, std::string>> assignments;
};

// Parses the command line; false for a usage error.
bool ParseArgs(int argc, char** argv, Args& a);

// Opens FILE through a table object: shared under the shops' lock protocol
// unless --exclusive, with every field of the file as a field object and
// with its index file (--index, else the same-named .cdx when there is one)
// so that writes keep the tags current; --tag becomes the order.
void OpenTable(TDbfTable& table, const Args& a, bool showDeleted);

// The header line and one line per record of the dump's TSV.
std::string DumpHeader(const TDbfTable& table, bool recno, bool deleted);
std::string DumpLine(TDbfTable& table, bool recno, bool deleted);

int Info(const Args& a);
int Dump(const Args& a);
int Write(const Args& a);
int Seek(const Args& a);
