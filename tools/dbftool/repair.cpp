// repair: what to run on a table after a program was killed in the middle of
// a write. The table's header takes the record count its file size gives
// (a record written just before the kill is counted), and every tag of its
// index file is rebuilt in place from the expressions and flags of its own
// header, so the index file of a shop program is mended as it stands.
// Everything happens under the shops' index lock and the table's append
// lock, as a writer takes them: a shop program waits meanwhile, or is told
// that the file is locked, and never reads a half-built tag.

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/index_locks.h"
#include "xbase/lock_protocol.h"
#include "xbase/scope_guard.h"

namespace {

// Rewrites the header when its record count is not the file's. The count
// the engine holds comes from the file size already.
void RepairHeader(XbDbfFile& table) {
  table.RefreshHeader();
  long stored = static_cast<long>(table.Header().StoredCount());
  if (stored == table.RecordCount()) {
    std::printf("header: %ld records, as the file holds\n", stored);
    return;
  }
  table.MarkHeaderDirty();
  table.WriteHeader();
  std::printf("header: counted %ld records, the file holds %ld; rewritten\n", stored, table.RecordCount());
}

// Rebuilds every tag the engine can keep current; returns how many it left.
int RebuildTags(XbCdxFile& index, const std::map<std::string, std::string>& failures) {
  std::vector<std::string> names;
  for (const auto& tag : index.Tags()) names.push_back(tag->Name());
  int left = 0;
  for (const std::string& name : names) {
    XbCdxTag* tag = index.FindTag(name);
    if (!tag->Maintainable()) {
      std::string why = tag->Why();
      auto failure = failures.find(tag->KeyExpression() + '\n' + tag->FilterExpression());
      if (failure != failures.end()) why += " (" + failure->second + ")";
      std::printf("tag %-10s %7s keys  left as it was: %s\n", name.c_str(), "?", why.c_str());
      ++left;
      continue;
    }
    long keys = 0;
    index.RebuildTag(*tag, [&keys](int stat1, long stat2, long) {
      if (stat1 == 2) keys = stat2;
    });
    std::printf("tag %-10s %7ld keys  rebuilt\n", name.c_str(), keys);
  }
  return left;
}

}  // namespace

int Repair(const IndexArgs& a) {
  XbDbfFile table;
  OpenTableFile(table, a, true);
  std::string path = IndexFilePath(table, a.index);
  // A table without an index file of its own has only its header mended.
  bool withIndex = !a.index.empty() || std::filesystem::exists(path);
  std::map<std::string, std::string> failures;
  std::unique_ptr<XbCdxFile> index;
  if (withIndex) index = XbCdxFile::Open(path, table, TolerantKeySources(table, &failures));

  XbProtocolIndexLocker locker(table);
  if (index) {
    index->SetLocker(&locker);
    locker.Lock(*index, XbIndexAccess::Write);
  }
  XbOnExit unlockIndex([&] {
    if (index) locker.Unlock(*index, XbIndexAccess::Write);
  });
  // The index lock first, then the append lock, as every append takes them.
  XbDiskFile& disk = table.DiskFile();
  if (!LockWithRetry(disk, AppendLockRegion(table.GetOptions().protocol))) ThrowDbf(msg::kCanNotLock, {disk.Name()});
  XbOnExit unlockTable([&] { disk.Unlock(); });

  std::printf("table %s (%ld records)\n", table.FileName().c_str(), table.RecordCount());
  RepairHeader(table);
  if (!index) {
    std::printf("verdict: repaired - no index file\n");
    return 0;
  }
  std::printf("index %s\n", index->FileName().c_str());
  int left = RebuildTags(*index, failures);
  index->Flush();
  size_t tags = index->Tags().size();
  if (left > 0) {
    std::printf("verdict: NOT REPAIRED - %d of %zu tags left as they were\n", left, tags);
    return 1;
  }
  std::printf("verdict: repaired - %zu tag%s rebuilt\n", tags, tags == 1 ? "" : "s");
  return 0;
}
