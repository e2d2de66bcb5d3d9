#include "fuzz_table.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dbf_writer.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"

namespace {

std::string workDir;

void RemoveWorkDir() {
  std::error_code ec;
  std::filesystem::remove_all(workDir, ec);
}

}  // namespace

std::string FuzzWorkDir() {
  if (workDir.empty()) {
    // In memory where there is such a file system: the targets rewrite a
    // file for every input, and a disk file system may write each one out
    // (a file cut to nothing and written again is flushed at close).
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tamorix-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    workDir = pattern;
    std::atexit(RemoveWorkDir);
  }
  return workDir;
}

std::string OpenFuzzTable(XbDbfFile& table, long records) {
  CreateFuzzTable(table, FuzzWorkDir() + "/T.DBF", records);
  return workDir;
}

void CreateFuzzTable(XbDbfFile& table, const std::string& path, long records) {
  CreateTable(path, {{"KEY", 'C', 10},
                     {"NUM", 'N', 10, 0},
                     {"SOR_KAV", 'C', 6},
                     {"SOR_NAC", 'C', 30},
                     {"SOR_KDO", 'C', 10},
                     {"SOR_KVY", 'C', 10},
                     {"SOR_PC1", 'N', 12, 2},
                     {"SOR_DAT", 'D', 8},
                     {"SOR_OLD", 'L', 1}});
  table.Open(path, XbDbfFile::Options{});
  const Codepage& cp = Codepage::Instance();
  const char* const names[] = {"Šroubovák křížový", "Kladivo", "čep", "Čep", "ABC", "ABC ", "", "Řetěz 5 m"};
  for (long n = 1; n <= records; ++n) {
    table.BlankRecord();
    table.PutText(table.FieldByName("KEY"), std::to_string(n * 7919 % 1000));
    table.PutNumber(table.FieldByName("NUM"), static_cast<double>(n * 37 % 200) - 100);
    table.PutText(table.FieldByName("SOR_KAV"), std::to_string(100000 + n % 250));
    table.PutText(table.FieldByName("SOR_NAC"), cp.Utf8ToOem(names[n % 8]) + std::to_string(n % 13));
    table.PutText(table.FieldByName("SOR_KDO"), "D" + std::to_string(n * 31 % 97));
    table.PutText(table.FieldByName("SOR_KVY"), n % 5 ? "TOR-" + std::to_string(n % 11) : "");
    table.PutNumber(table.FieldByName("SOR_PC1"), (n % 9) * 12.5 - 30);
    if (n % 6) table.PutDate(table.FieldByName("SOR_DAT"), XbDate::FromJulian(2460000 + n * 3));
    table.PutLogical(table.FieldByName("SOR_OLD"), n % 10 == 0);
    if (n % 50 == 0) table.Buffer()[0] = '*';  // deleted
    table.Append();
  }
}
