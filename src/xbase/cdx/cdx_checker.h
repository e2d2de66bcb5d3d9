#pragma once
// The proof that an index file is sound against its table (what `dbftool
// check` reports): for the directory and every tag, the node structure (key
// counts, free bytes, root and leaf flags, neighbour links, every parent
// entry equal to its child's last key, no node reached twice), the keys in
// collation order, and, where the key expression can be evaluated, every
// record that belongs to the tag present exactly once (unique tags: the
// lowest record number of each key) and nothing else.

#include <string>
#include <vector>

class XbCDXFile;
class XbCDXTag;

struct XbTagReport {
  std::string tag;               // the tag name; empty for the tag directory
  long keys = 0;                 // entries found in the leaves
  bool contentChecked = false;   // keys compared with the table's records
  std::string note;              // why the content was not compared
  std::vector<std::string> problems;

  bool Sound() const { return problems.empty(); }
};

// Checks the tag directory and every tag; damage becomes problems of the
// report, not exceptions (read errors of the table file still raise).
std::vector<XbTagReport> CheckIndexFile(XbCDXFile& file);
XbTagReport CheckTag(XbCDXTag& tag);
