#pragma once
// Large tables for the benchmarks, written straight to the file (the record
// count follows from the file size): KEY C10 a permutation of zero-padded
// numbers, NUM N10, NAC C30 with many repeats, PC1 N12.2.

#include <cstdio>
#include <fstream>
#include <string>

#include "dbf_writer.h"

inline void WriteBenchTable(const std::string& path, long count) {
  CreateTable(path, {{"KEY", 'C', 10}, {"NUM", 'N', 10}, {"NAC", 'C', 30}, {"PC1", 'N', 12, 2}});
  // The records go where the new table's end-of-file mark stands; the mark
  // follows the last one.
  std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
  out.seekp(-1, std::ios::end);
  std::string record(1 + 10 + 10 + 30 + 12, ' ');
  for (long i = 1; i <= count; ++i) {
    long k = (i * 7919) % count + 1;
    char text[64];
    auto put = [&](size_t offset, size_t width) { record.replace(offset, width, text, width); };
    std::snprintf(text, sizeof text, "%010ld", k);
    put(1, 10);
    std::snprintf(text, sizeof text, "%10ld", k - count / 2);
    put(11, 10);
    std::snprintf(text, sizeof text, "NAME %025ld", (k * 31) % 5000);
    put(21, 30);
    std::snprintf(text, sizeof text, "%12.2f", static_cast<double>(k % 10000) / 4);
    put(51, 12);
    out.write(record.data(), static_cast<long>(record.size()));
  }
  out.put('\x1A');
}
