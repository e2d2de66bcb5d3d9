#pragma once
// Reads every record of a table file straight from the file, in record
// number order and in large chunks (deleted records included; no filter),
// as a tag build and the index checker need them.

#include <functional>

class XbDbfFile;

namespace cdx {

// Calls `visit` with each record (record-length bytes) and its number, from
// 1 to the table's record count. "Error on Read of file %s" when the file
// ends early.
void ScanRecords(XbDbfFile& table, const std::function<void(const char* record, long recno)>& visit);
// The same for records first..last only. It asks nothing of the table but
// its lengths and file, so two threads may scan two ranges of it at once.
void ScanRecords(const XbDbfFile& table, long first, long last,
                 const std::function<void(const char* record, long recno)>& visit);

}  // namespace cdx
