// reindex: builds one tag of an index file anew from the table's records.

#include <cstdio>
#include <memory>

#include "commands.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/dbf_file.h"
#include "xbase/index_locks.h"

int Reindex(const IndexArgs& a) {
  XbDbfFile table;
  OpenTableFile(table, a, true);
  // A wrong expression fails here with its own message, before the index
  // file is opened or created; other tags of the file need not be ours.
  ExpressionKeySources(table)(a.expr, a.filter);
  std::unique_ptr<XbCdxFile> index =
      XbCdxFile::OpenOrCreate(IndexFilePath(table, a.index), table, TolerantKeySources(table, nullptr));
  XbProtocolIndexLocker locker(table);  // the build holds the shops' index lock
  index->SetLocker(&locker);
  long keys = 0;
  XbCdxTag& tag = index->CreateTag(a.tag, a.expr, a.filter, a.unique, a.descending, [&keys](int stat1, long stat2, long) {
    if (stat1 == 2) keys = stat2;
  });
  index->Flush();
  std::printf("tag %s of %s: %ld keys from %ld records (%s%s%s%s)\n", tag.Name().c_str(), index->FileName().c_str(),
              keys, table.RecordCount(), tag.KeyExpression().c_str(),
              tag.HasFilter() ? (" FOR " + tag.FilterExpression()).c_str() : "", tag.Unique() ? ", unique" : "",
              tag.Descending() ? ", descending" : "");
  return 0;
}
