// check: the administrator's proof that an index file holds together and
// agrees with its table, tag by tag.

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "commands.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/dbf_file.h"
#include "xbase/index_locks.h"

namespace {

// The tag's line: name, entry count and the finding; problems below it.
void PrintReport(const XbTagReport& r, const std::string& why) {
  std::string note = why.empty() ? r.note : r.note + " (" + why + ")";
  if (!r.treeChecked) {
    std::printf("tag %-10s %7s keys  not checked: %s\n", r.tag.c_str(), "?", note.c_str());
    return;
  }
  if (r.tag.empty()) std::printf("%-14s %7ld tags  ", "directory", r.keys);
  else std::printf("tag %-10s %7ld keys  ", r.tag.c_str(), r.keys);
  if (!r.Sound()) {
    std::printf("DAMAGED\n");
    for (const std::string& p : r.problems) std::printf("    %s\n", p.c_str());
    return;
  }
  std::printf("sound");
  if (!r.tag.empty() && !r.contentChecked) std::printf("; not compared with the table: %s", note.c_str());
  if (!r.differences.empty())
    std::printf("; note: this unique tag differs from a fresh build, as key upkeep leaves unique tags (%s)",
                r.differences.front().c_str());
  std::printf("\n");
}

}  // namespace

std::vector<XbTagReport> CheckUnderLock(XbCdxFile& index, const XbDbfFile& table) {
  // The shops' programs leave the index alone while the check reads it.
  XbProtocolIndexLocker locker(table);
  index.SetLocker(&locker);
  locker.Lock(index, XbIndexAccess::Write);
  std::vector<XbTagReport> reports;
  try {
    reports = CheckIndexFile(index);
  } catch (...) {
    locker.Unlock(index, XbIndexAccess::Write);
    index.SetLocker(nullptr);
    throw;
  }
  locker.Unlock(index, XbIndexAccess::Write);
  index.SetLocker(nullptr);
  return reports;
}

int Check(const IndexArgs& a) {
  XbDbfFile table;
  OpenTableFile(table, a, false);
  std::map<std::string, std::string> failures;
  std::unique_ptr<XbCdxFile> index =
      XbCdxFile::Open(IndexFilePath(table, a.index), table, TolerantKeySources(table, &failures));
  std::printf("index %s of table %s (%ld records)\n", index->FileName().c_str(), table.FileName().c_str(),
              table.RecordCount());

  int damagedTags = 0, partial = 0;
  bool damagedDirectory = false;
  std::vector<XbTagReport> reports = CheckUnderLock(*index, table);
  for (const XbTagReport& r : reports) {
    std::string why;
    if (XbCdxTag* tag = r.tag.empty() ? nullptr : index->FindTag(r.tag)) {
      auto failure = failures.find(tag->KeyExpression() + '\n' + tag->FilterExpression());
      if (failure != failures.end()) why = failure->second;
    }
    PrintReport(r, why);
    if (r.tag.empty()) damagedDirectory = !r.Sound();
    else if (!r.Sound()) ++damagedTags;
    else if (!r.contentChecked) ++partial;
  }
  size_t tags = reports.size() - 1;
  if (damagedDirectory || damagedTags > 0) {
    std::printf("verdict: DAMAGED - problems in %s%s", damagedDirectory ? "the tag directory" : "",
                damagedDirectory && damagedTags > 0 ? " and " : "");
    if (damagedTags > 0) std::printf("%d of %zu tags", damagedTags, tags);
    std::printf("\n");
    return 1;
  }
  std::printf("verdict: sound - %zu tag%s", tags, tags == 1 ? "" : "s");
  if (partial > 0) std::printf(", %d of them not fully checked", partial);
  std::printf("\n");
  return 0;
}
