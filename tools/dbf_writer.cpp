#include "dbf_writer.h"

#include <ctime>
#include <fstream>
#include <stdexcept>

void CreateTable(const std::string& path, const std::vector<FieldSpec>& fields, uint8_t version, uint8_t flags) {
  int recordLength = 1;
  for (const FieldSpec& f : fields) recordLength += f.length;
  int headerLength = 32 + 32 * static_cast<int>(fields.size()) + 2 + (version == 0x30 ? 263 - 1 : 0);
  std::string out(static_cast<size_t>(headerLength), '\0');
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  out[0] = static_cast<char>(version);
  out[1] = static_cast<char>(local.tm_year);
  out[2] = static_cast<char>(local.tm_mon + 1);
  out[3] = static_cast<char>(local.tm_mday);
  out[8] = static_cast<char>(headerLength & 0xFF);
  out[9] = static_cast<char>(headerLength >> 8);
  out[10] = static_cast<char>(recordLength & 0xFF);
  out[11] = static_cast<char>(recordLength >> 8);
  out[28] = static_cast<char>(flags);
  int offset = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldSpec& f = fields[i];
    if (f.name.size() > 10) throw std::invalid_argument("field name too long: " + f.name);
    char* d = out.data() + 32 + 32 * i;
    for (size_t k = 0; k < f.name.size(); ++k) d[k] = f.name[k];
    d[11] = f.type;
    for (int k = 0; k < 4; ++k) d[12 + k] = static_cast<char>((offset >> (8 * k)) & 0xFF);
    if (f.type == 'C') {
      d[16] = static_cast<char>(f.length & 0xFF);
      d[17] = static_cast<char>(f.length >> 8);
    } else {
      d[16] = static_cast<char>(f.length);
      d[17] = static_cast<char>(f.decimals);
    }
    offset += f.length;
  }
  out[32 + 32 * fields.size()] = 0x0D;
  out += '\x1A';
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("Could not create file " + path);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  if (!file) throw std::runtime_error("Error writing to " + path);
}
