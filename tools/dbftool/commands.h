#pragma once
// The commands of dbftool and what they share: the parsed command line and
// opening a table through the table object.

#include <string>
#include <utility>
#include <vector>

class TDbfTable;

struct Args {
  std::string command, file;
  bool exclusive = false, deleted = false, recnoColumn = false;
  long recno = 0;
  std::vector<std::pair<std::string, std::string>> assignments;
};

// Parses the command line; false for a usage error.
bool ParseArgs(int argc, char** argv, Args& a);

// Opens FILE through a table object: shared under the shops' lock protocol
// unless --exclusive, with every field of the file as a field object.
void OpenTable(TDbfTable& table, const Args& a, bool showDeleted);

int Info(const Args& a);
int Dump(const Args& a);
int Write(const Args& a);
