#pragma once
// The commands of dbftool and what they share: the parsed command line and
// opening a table through the table object (the index commands open the
// table and index files directly).

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/key_source.h"

class TDbfTable;
class XbCdxFile;
class XbDbfFile;

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

// The command line of the index commands (check, repair, reindex).
struct IndexArgs {
  std::string command, file, index, tag, expr, filter;
  bool exclusive = false, unique = false, descending = false;
  bool tree = false;  // check --tree: `file` is a directory
};

// True for the commands that IndexArgs describes.
bool IsIndexCommand(int argc, char** argv);
// Parses an index command's line; false for a usage error.
bool ParseIndexArgs(int argc, char** argv, IndexArgs& a);

// Opens FILE as a table file: shared unless --exclusive, writable as asked.
void OpenTableFile(XbDbfFile& table, const IndexArgs& a, bool writable);
// The path of an index file named on the command line, by the engine's
// rule: ".cdx" added to a name without extension, the table's directory
// given to a name without directory, letter case resolved. An empty name
// means the table's own (structural) index file.
std::string IndexFilePath(const XbDbfFile& table, const std::string& name);

// Key sources from the expression evaluator for the tags of an index file;
// a tag whose expressions this engine cannot evaluate gets none (it can
// still be walked and checked in its structure), and the reason goes into
// `failures` (keyed by key and filter expression joined by a line feed).
XbKeySourceFactory TolerantKeySources(const XbDbfFile& table, std::map<std::string, std::string>* failures);

// Checks the tag directory and every tag of an open index file under the
// shops' index lock, as a writer of the index takes it.
std::vector<XbTagReport> CheckUnderLock(XbCdxFile& index, const XbDbfFile& table);

int Check(const IndexArgs& a);
int CheckTree(const std::string& dir);
int Repair(const IndexArgs& a);
int Reindex(const IndexArgs& a);
