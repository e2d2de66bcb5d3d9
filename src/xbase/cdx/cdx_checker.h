#pragma once
// The proof that an index file is sound against its table (what `dbftool
// check` reports): for the directory and every tag, the node structure (key
// counts, free bytes, root and leaf flags, neighbour links, every parent
// entry equal to its child's last key, no node reached twice), the keys in
// collation order, and, where the key expression can be evaluated, every
// record that belongs to the tag present exactly once and nothing else.
// Without a key source the keys are taken as text: only a tag whose key
// length is 8 might hold numbers or dates, and such a tag is not read.
//
// Unique tags hold one entry per key, the lowest record number of the key
// when the tag is built. Key upkeep does not restore that: when the record
// in the tag changes its key, another record with the old key stays out
// until the tag is rebuilt, and a record taking a key that is already in the
// tag stays out too (the shops' programs keep unique tags the same way).
// Where a unique tag differs from a fresh build only so, the report lists it
// under `differences`; an entry whose record does not have its key, or a key
// given twice, is a problem.

#include <string>
#include <vector>

class XbCdxFile;
class XbCdxTag;

struct XbTagReport {
  std::string tag;               // the tag name; empty for the tag directory
  long keys = 0;                 // entries found in the leaves
  bool treeChecked = true;       // false: the nodes were not read (key type unknown)
  bool contentChecked = false;   // keys compared with the table's records
  std::string note;              // why the content (or the tree) was not checked
  std::vector<std::string> problems;
  std::vector<std::string> differences;  // unique tags only: not as a fresh build

  bool Sound() const { return problems.empty(); }
};

// Checks the tag directory and every tag; damage becomes problems of the
// report, not exceptions (read errors of the table file still raise).
std::vector<XbTagReport> CheckIndexFile(XbCdxFile& file);
XbTagReport CheckTag(XbCdxTag& tag);
