// info and dump: what a table holds, read under a shared open.

#include <cstdio>
#include <string>

#include "commands.h"
#include "xbase/codepage.h"
#include "xbase/field_codec.h"
#include "xbase/table/dbf_table.h"

int Info(const Args& a) {
  TDbfTable table;
  OpenTable(table, a, true);
  const XbDbfFile& file = table.File();
  const XbDbfHeader& h = file.Header();
  // Years are stored since 1900; files that store the year modulo 100 would
  // read as 19xx, which no table of this kind can be.
  int year = 1900 + h.image[1];
  if (year < 1980) year += 100;
  std::printf("File:           %s\n", file.FileName().c_str());
  std::printf("Version:        0x%02X\n", file.Version());
  std::printf("Last update:    %04d-%02d-%02d\n", year, h.image[2], h.image[3]);
  std::printf("Header length:  %d\n", file.HeaderLength());
  std::printf("Record length:  %d\n", file.RecordLength());
  std::printf("Records:        %ld\n", file.RecordCount());
  std::printf("Fields:         %zu\n", file.Fields().size());
  for (const XbField& f : file.Fields())
    std::printf("  %-10s  %c  %4d  %2d\n", f.name.c_str(), f.type, f.length, f.decimals);
  return 0;
}

namespace {

// One field of the current record as the dump prints it: numbers as stored,
// logicals T/F, dates yyyy-mm-dd, text from code page 852.
std::string DumpValue(const XbDbfFile& file, const XbField& f) {
  std::string_view raw = file.RawField(f);
  switch (f.type) {
    case 'N':
    case 'F':
      return std::string(codec::Trim(raw));
    case 'L':
      return file.GetLogical(f) ? "T" : "F";
    case 'D': {
      auto d = file.GetDate(f);
      if (!d) return {};
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d->year, d->month, d->day);
      return buf;
    }
    default:
      return Codepage::Instance().OemToUtf8(codec::TrimRight(raw));
  }
}

}  // namespace

std::string DumpHeader(const TDbfTable& table, bool recno, bool deleted) {
  std::string out;
  if (recno) out += "RECNO\t";
  if (deleted) out += "DELETED\t";
  const auto& fields = const_cast<TDbfTable&>(table).File().Fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += '\t';
    out += fields[i].name;
  }
  return out + '\n';
}

std::string DumpLine(TDbfTable& table, bool recno, bool deleted) {
  const XbDbfFile& file = table.File();
  std::string out;
  if (recno) out += std::to_string(table.RecNo()) + '\t';
  if (deleted) out += file.IsDeleted() ? "*\t" : "\t";
  bool first = true;
  for (const XbField& f : file.Fields()) {
    if (!first) out += '\t';
    first = false;
    out += DumpValue(file, f);
  }
  return out + '\n';
}

int Dump(const Args& a) {
  TDbfTable table;
  OpenTable(table, a, a.deleted);
  std::string out = DumpHeader(table, a.recnoColumn, a.deleted);
  if (a.tag.empty()) table.File().SetReadAhead(true);
  for (table.First(); !table.Eof(); table.Next()) {
    out += DumpLine(table, a.recnoColumn, a.deleted);
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

// seek: the record the key finds in the tag, with its record number.
int Seek(const Args& a) {
  TDbfTable table;
  OpenTable(table, a, false);
  if (!table.SeekKey(a.key, a.exact, false)) {
    std::printf("not found\n");
    return 1;
  }
  std::string out = DumpHeader(table, true, false) + DumpLine(table, true, false);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
