#pragma once
// The small table the fuzz targets work on: the fields of the peer
// fixtures' tags (so that their key expressions evaluate) plus a date and a
// logical, filled with a few hundred deterministic records, some deleted,
// some blank, some with Czech letters.

#include <string>

class XbDbfFile;

// Creates the table in a fresh temporary directory, removed at exit, and
// opens it writable (so that index files beside it are writable too).
// Returns the directory.
std::string OpenFuzzTable(XbDbfFile& table, long records = 300);
