// dbftool: looks into the program's table files from the command line.
//
//   dbftool info FILE                      header facts and the field list
//   dbftool dump FILE [--deleted] [--recno] the records as UTF-8 TSV

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "xbase/codepage.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/field_codec.h"

namespace {

int Usage() {
  std::cerr << "usage: dbftool info FILE\n"
               "       dbftool dump FILE [--deleted] [--recno]\n";
  return 2;
}

void OpenForReading(XbDbfFile& table, const std::string& name) {
  XbDbfFile::Options options;
  options.shared = true;
  options.writable = false;
  table.Open(name, options);
}

int Info(const std::string& name) {
  XbDbfFile table;
  OpenForReading(table, name);
  const XbDbfHeader& h = table.Header();
  // Years are stored since 1900; files that store the year modulo 100 would
  // read as 19xx, which no table of this kind can be.
  int year = 1900 + h.image[1];
  if (year < 1980) year += 100;
  char line[128];
  std::printf("File:           %s\n", table.FileName().c_str());
  std::printf("Version:        0x%02X\n", table.Version());
  std::snprintf(line, sizeof line, "%04d-%02d-%02d", year, h.image[2], h.image[3]);
  std::printf("Last update:    %s\n", line);
  std::printf("Header length:  %d\n", table.HeaderLength());
  std::printf("Record length:  %d\n", table.RecordLength());
  std::printf("Records:        %ld\n", table.RecordCount());
  std::printf("Fields:         %zu\n", table.Fields().size());
  for (const XbField& f : table.Fields())
    std::printf("  %-10s  %c  %4d  %2d\n", f.name.c_str(), f.type, f.length, f.decimals);
  return 0;
}

// One field of the current record as the dump prints it.
std::string DumpValue(const XbDbfFile& table, const XbField& f) {
  std::string_view raw = table.RawField(f);
  switch (f.type) {
    case 'N':
    case 'F':
      return std::string(codec::Trim(raw));
    case 'L':
      return table.GetLogical(f) ? "T" : "F";
    case 'D': {
      auto d = table.GetDate(f);
      if (!d) return {};
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d->year, d->month, d->day);
      return buf;
    }
    default:
      return Codepage::Instance().OemToUtf8(codec::TrimRight(raw));
  }
}

int Dump(const std::string& name, bool withDeleted, bool withRecno) {
  XbDbfFile table;
  OpenForReading(table, name);
  std::string out;
  if (withRecno) out += "RECNO\t";
  if (withDeleted) out += "DELETED\t";
  for (size_t i = 0; i < table.Fields().size(); ++i) {
    if (i) out += '\t';
    out += table.Fields()[i].name;
  }
  out += '\n';
  long count = table.RecordCount();
  for (long n = 1; n <= count; ++n) {
    table.GoTo(n);
    if (table.IsDeleted() && !withDeleted) continue;
    if (withRecno) out += std::to_string(n) + '\t';
    if (withDeleted) out += table.IsDeleted() ? "*\t" : "\t";
    bool first = true;
    for (const XbField& f : table.Fields()) {
      if (!first) out += '\t';
      first = false;
      out += DumpValue(table, f);
    }
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string command = argv[1];
  std::string file = argv[2];
  try {
    if (command == "info" && argc == 3) return Info(file);
    if (command == "dump") {
      bool deleted = false, recno = false;
      for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--deleted") == 0) deleted = true;
        else if (std::strcmp(argv[i], "--recno") == 0) recno = true;
        else return Usage();
      }
      return Dump(file, deleted, recno);
    }
    return Usage();
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::cerr << "dbftool: " << e.what() << "\n";
    return 1;
  }
}
