#include "xbase/cdx/table_scan.h"

#include <algorithm>
#include <vector>

#include "xbase/dbf_file.h"
#include "xbase/errors.h"

namespace cdx {

void ScanRecords(XbDbfFile& table, const std::function<void(const char* record, long recno)>& visit) {
  ScanRecords(table, 1, table.RecordCount(), visit);
}

void ScanRecords(const XbDbfFile& table, long first, long last,
                 const std::function<void(const char* record, long recno)>& visit) {
  const size_t length = static_cast<size_t>(table.RecordLength());
  const long count = last - first + 1;
  const long perChunk = std::max<long>(1, static_cast<long>((256 * 1024) / length));
  std::vector<char> chunk(length * static_cast<size_t>(std::min(perChunk, std::max(count, 1L))));
  const XbDiskFile& disk = table.DiskFile();
  for (long from = first; from <= last; from += perChunk) {
    long n = std::min(perChunk, last - from + 1);
    size_t bytes = length * static_cast<size_t>(n);
    uint64_t offset = static_cast<uint64_t>(table.HeaderLength()) + length * static_cast<uint64_t>(from - 1);
    if (disk.ReadAt(offset, chunk.data(), bytes) < bytes) ThrowDbf(msg::kReadError, {disk.Name()});
    for (long i = 0; i < n; ++i) visit(chunk.data() + length * static_cast<size_t>(i), from + i);
  }
}

}  // namespace cdx
