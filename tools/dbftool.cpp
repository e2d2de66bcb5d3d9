// dbftool: an administrator's companion for the program's table files. It
// opens tables through the table object, shared and under the lock protocol
// of the shops' programs, so it can run beside them.
//
//   dbftool info FILE                          header facts and the field list
//   dbftool dump FILE [--deleted] [--recno]    the records as UTF-8 TSV
//   dbftool set FILE --recno N FIELD=VALUE...  edits one record
//   dbftool append FILE FIELD=VALUE...         appends one record
//
// Every command takes --exclusive to open the table without sharing.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "xbase/codepage.h"
#include "xbase/errors.h"
#include "xbase/field_codec.h"
#include "xbase/file_names.h"
#include "xbase/table/dbf_table.h"

namespace {

int Usage() {
  std::cerr << "usage: dbftool info FILE\n"
               "       dbftool dump FILE [--deleted] [--recno]\n"
               "       dbftool set FILE --recno N FIELD=VALUE...\n"
               "       dbftool append FILE FIELD=VALUE...\n"
               "options: --exclusive  open the table without sharing\n";
  return 2;
}

struct Args {
  std::string command, file;
  bool exclusive = false, deleted = false, recnoColumn = false;
  long recno = 0;
  std::vector<std::pair<std::string, std::string>> assignments;
};

bool Parse(int argc, char** argv, Args& a) {
  if (argc < 3) return false;
  a.command = argv[1];
  a.file = argv[2];
  for (int i = 3; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--exclusive") a.exclusive = true;
    else if (arg == "--deleted" && a.command == "dump") a.deleted = true;
    else if (arg == "--recno" && a.command == "dump") a.recnoColumn = true;
    else if (arg == "--recno" && a.command == "set" && i + 1 < argc) a.recno = std::atol(argv[++i]);
    else if ((a.command == "set" || a.command == "append") && arg.find('=') != std::string::npos && arg[0] != '-')
      a.assignments.emplace_back(arg.substr(0, arg.find('=')), arg.substr(arg.find('=') + 1));
    else return false;
  }
  if (a.command == "set" && (a.recno <= 0 || a.assignments.empty())) return false;
  if (a.command == "append" && a.assignments.empty()) return false;
  return true;
}

// Opens FILE through a table object: shared under the shops' lock protocol
// unless --exclusive, with every field of the file as a field object.
void OpenTable(TDbfTable& table, const Args& a, bool showDeleted) {
  std::string path = ResolveFileName(a.file);
  size_t slash = path.find_last_of('/');
  table.SetDatabaseName(path.substr(0, slash + 1));
  table.SetTableName(path.substr(slash + 1));
  table.Exclusive = a.exclusive;
  table.SetReadOnly(a.command == "info" || a.command == "dump");
  table.SetLockProtocol(TXbLockProtocol::ClipLock);
  table.SetUseDeleted(showDeleted);
  table.Open();
}

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

int Dump(const Args& a) {
  TDbfTable table;
  OpenTable(table, a, a.deleted);
  const XbDbfFile& file = table.File();
  std::string out;
  if (a.recnoColumn) out += "RECNO\t";
  if (a.deleted) out += "DELETED\t";
  for (size_t i = 0; i < file.Fields().size(); ++i) {
    if (i) out += '\t';
    out += file.Fields()[i].name;
  }
  out += '\n';
  table.File().SetReadAhead(true);
  for (table.First(); !table.Eof(); table.Next()) {
    if (a.recnoColumn) out += std::to_string(table.RecNo()) + '\t';
    if (a.deleted) out += file.IsDeleted() ? "*\t" : "\t";
    bool first = true;
    for (const XbField& f : file.Fields()) {
      if (!first) out += '\t';
      first = false;
      out += DumpValue(file, f);
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

// set and append: field writes from text through the table object, then post.
int Write(const Args& a) {
  TDbfTable table;
  OpenTable(table, a, true);
  if (a.command == "set") {
    table.SetRecNo(a.recno);
    if (table.RecNo() != a.recno) ThrowDbf(msg::kRecordNotInTable, {std::to_string(a.recno), table.File().FileName()});
    table.Edit();
  } else {
    table.Append();
  }
  for (const auto& [name, value] : a.assignments) table.FieldByName(name).SetAsString(value);
  table.Post();
  std::printf("%ld\n", table.RecNo());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  if (!Parse(argc, argv, a)) return Usage();
  try {
    if (a.command == "info") return Info(a);
    if (a.command == "dump") return Dump(a);
    if (a.command == "set" || a.command == "append") return Write(a);
    return Usage();
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::cerr << "dbftool: " << e.what() << "\n";
    return 1;
  }
}
