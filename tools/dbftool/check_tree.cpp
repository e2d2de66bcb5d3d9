// check --tree: the sweep over a whole data drive after a crash. Every table
// file below a directory is opened as the engine opens it and its header
// compared with its size; every index file is proven against its table (the
// table file of the same name beside it). One line per file with its
// finding, the problems of an unsound file below it, then the verdict; the
// exit code is 1 when anything is unsound, so that the files it names can be
// given to `repair`.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/dbf_file.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

struct Finding {
  bool sound = true;
  std::string text;
  std::vector<std::string> problems;
};

void OpenShared(XbDbfFile& table, const fs::path& path) {
  IndexArgs shared;
  shared.file = path.string();
  OpenTableFile(table, shared, false);
}

// The record count of the header against the one the file size gives. A
// header that lags names a record appended by a program that was stopped
// between the record and the header write: the engine counts the record,
// a reader that trusts the header would not.
Finding CheckTable(const fs::path& path) {
  XbDbfFile table;
  OpenShared(table, path);
  Finding f;
  const long count = table.RecordCount();
  const long stored = static_cast<long>(table.Header().StoredCount());
  f.text = std::to_string(count) + (count == 1 ? " record  " : " records  ");
  if (stored == count) {
    f.text += "sound";
  } else {
    f.sound = false;
    f.text += stored + 1 == count ? "HEADER BEHIND" : "HEADER WRONG";
    f.text += " - the header counts " + std::to_string(stored) + ", the file holds " + std::to_string(count);
  }
  uint64_t data = static_cast<uint64_t>(table.HeaderLength()) +
                  static_cast<uint64_t>(count) * static_cast<uint64_t>(table.RecordLength());
  uint64_t size = fs::file_size(path);
  if (size > data + 1) f.text += "; " + std::to_string(size - data) + " bytes of a partly written record at the end";
  return f;
}

// The table file beside an index file whose name it shares, any letter case.
fs::path TableOf(const fs::path& index) {
  std::string stem = Lower(index.stem().string());
  for (const fs::directory_entry& e : fs::directory_iterator(index.parent_path()))
    if (e.is_regular_file() && Lower(e.path().extension().string()) == ".dbf" && Lower(e.path().stem().string()) == stem)
      return e.path();
  return {};
}

Finding CheckIndex(const fs::path& path) {
  Finding f;
  fs::path tablePath = TableOf(path);
  if (tablePath.empty()) {
    f.text = "not checked: no table file of the same name beside it";
    return f;
  }
  XbDbfFile table;
  OpenShared(table, tablePath);
  std::map<std::string, std::string> failures;
  std::unique_ptr<XbCdxFile> index = XbCdxFile::Open(path.string(), table, TolerantKeySources(table, &failures));
  std::vector<XbTagReport> reports = CheckUnderLock(*index, table);
  int partial = 0;
  for (const XbTagReport& r : reports) {
    std::string where = r.tag.empty() ? "directory" : "tag " + r.tag;
    for (const std::string& p : r.problems) f.problems.push_back(where + ": " + p);
    if (!r.tag.empty() && r.Sound() && !r.contentChecked) ++partial;
  }
  f.sound = f.problems.empty();
  size_t tags = reports.size() - 1;
  f.text = std::to_string(tags) + " tag" + (tags == 1 ? "" : "s") + "  " + (f.sound ? "sound" : "DAMAGED");
  if (partial > 0) f.text += ", " + std::to_string(partial) + " not fully checked";
  return f;
}

}  // namespace

int CheckTree(const std::string& dir) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir)) {
    std::string ext = Lower(e.path().extension().string());
    if (e.is_regular_file() && (ext == ".dbf" || ext == ".cdx")) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<std::string> unsound;
  for (const fs::path& path : files) {
    bool isTable = Lower(path.extension().string()) == ".dbf";
    std::string name = fs::relative(path, dir).string();
    Finding f;
    try {
      f = isTable ? CheckTable(path) : CheckIndex(path);
    } catch (const std::exception& e) {
      f.sound = false;
      f.text = std::string("UNUSABLE - ") + e.what();
    }
    std::printf("%-5s %-28s %s\n", isTable ? "table" : "index", name.c_str(), f.text.c_str());
    for (const std::string& p : f.problems) std::printf("    %s\n", p.c_str());
    if (!f.sound) unsound.push_back(name);
  }
  if (unsound.empty()) {
    std::printf("verdict: sound - %zu files\n", files.size());
    return 0;
  }
  std::printf("verdict: UNSOUND - %zu of %zu files:", unsound.size(), files.size());
  for (const std::string& name : unsound) std::printf(" %s", name.c_str());
  std::printf("\n");
  return 1;
}
