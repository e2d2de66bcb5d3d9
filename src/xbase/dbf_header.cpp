#include "xbase/dbf_header.h"

std::vector<XbField> ParseDescriptors(const uint8_t* area, size_t length) {
  std::vector<XbField> fields;
  int offset = 1;
  for (size_t at = 0; at + 32 <= length; at += 32) {
    const uint8_t* d = area + at;
    XbField f;
    for (int i = 0; i < 11 && d[i] != 0; ++i) f.name += static_cast<char>(d[i]);
    f.type = static_cast<char>(d[11]);
    if (f.type == 'C') {
      f.length = d[16] + 256 * d[17];
      f.decimals = 0;
    } else {
      f.length = d[16];
      f.decimals = d[17];
    }
    f.offset = offset;
    f.number = static_cast<int>(fields.size()) + 1;
    offset += f.length;
    fields.push_back(std::move(f));
  }
  return fields;
}
