#pragma once
// Makes new, empty table files from a field list, laid out as the shops'
// programs lay out theirs (version 0x03, descriptors, 0x0D terminator and one
// zero byte, an end-of-file byte). The program itself never creates tables;
// the demo-data maker and the tests do, and fill them through the engine.

#include <cstdint>
#include <string>
#include <vector>

struct FieldSpec {
  std::string name;
  char type = 'C';
  int length = 10;
  int decimals = 0;
};

// Writes the table file `path` (replacing any file there) with no records.
// `flags` is header byte 28 (bit 0: a structural index exists).
void CreateTable(const std::string& path, const std::vector<FieldSpec>& fields, uint8_t version = 0x03,
                 uint8_t flags = 0);
