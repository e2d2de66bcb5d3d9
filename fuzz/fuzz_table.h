#pragma once
// The small table the fuzz targets work on: the fields of the peer
// fixtures' tags (so that their key expressions evaluate) plus a date and a
// logical, filled with a few hundred deterministic records, some deleted,
// some blank, some with Czech letters.

#include <string>

class XbDbfFile;

// A fresh temporary directory of this process (in memory when the machine
// has /dev/shm), removed at exit; a second call gives the same directory.
std::string FuzzWorkDir();

// Creates the table file at `path` with `records` records and leaves it
// open in `table`, writable (so that index files beside it are writable too).
void CreateFuzzTable(XbDbfFile& table, const std::string& path, long records);

// CreateFuzzTable as T.DBF in FuzzWorkDir(); returns the directory.
std::string OpenFuzzTable(XbDbfFile& table, long records = 300);
