// set and append: fixing data in a live table, record by record.

#include <cstdio>
#include <string>

#include "commands.h"
#include "xbase/errors.h"
#include "xbase/table/dbf_table.h"

// set and append: field writes from text through the table object, then post.
int Write(const Args& a) {
  TDbfTable table;
  OpenTable(table, a, true);
  if (a.command == "set" && !a.tag.empty()) {
    if (!table.SeekKey(a.key, true, false)) {
      std::fprintf(stderr, "dbftool: no record with the key %s in the tag %s\n", a.key.c_str(), a.tag.c_str());
      return 1;
    }
    table.Edit();
  } else if (a.command == "set") {
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

