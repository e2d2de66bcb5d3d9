#pragma once
// Table files of the program's layouts for tests and benchmarks: a table of
// one layout with every stored field, filled record by record, and the
// master card table with numbered cards.

#include <functional>
#include <string>
#include <vector>

#include "data/table_layouts.h"
#include "dbf_writer.h"
#include "demo_data.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/codepage.h"
#include "xbase/dbf_file.h"

// Text as the table file holds it (OEM code page) from UTF-8.
inline std::string OemText(const std::string& utf8) { return Codepage::Instance().Utf8ToOem(utf8); }

// Writes the table file `path` of the layout of `object` with `count` blank
// records, each passed to `fill` (numbered from 1) before it is appended,
// and, when `index` is given, that index file with the layout's tags built
// over them.
inline void WriteLayoutFile(const std::string& object, const std::string& path, long count,
                            const std::function<void(XbDbfFile&, long n)>& fill, const std::string& index = {}) {
  const TableLayout& layout = TableLayoutOf(object);
  CreateLayoutTable(path, layout);
  XbDbfFile file;
  XbDbfFile::Options o;
  o.shared = false;
  file.Open(path, o);
  for (long n = 1; n <= count; ++n) {
    file.BlankRecord();
    if (fill) fill(file, n);
    file.Append();
  }
  if (!index.empty()) {
    auto cdx = XbCdxFile::OpenOrCreate(index, file, ExpressionKeySources(file));
    for (const TagDecl& tag : layout.tags) cdx->CreateTag(tag.name, tag.expression, "", tag.unique, false);
    cdx->Flush();
  }
  file.Close();
}

// Writes the table file of the table object `object` (a data-directory
// table: its file name from the layout) into `dir` with `count` blank
// records, each passed to `fill` (numbered from 1) before it is appended.
// Returns the path.
inline std::string WriteLayoutTable(const std::string& object, const std::string& dir, long count,
                                    const std::function<void(XbDbfFile&, long n)>& fill = {}) {
  std::string path = dir + "/" + TableLayoutOf(object).file;
  WriteLayoutFile(object, path, count, fill);
  return path;
}

// SOR0000.DBF with `count` cards numbered 000001, 000002, ... and named
// "Karta 1", "Karta 2", ...; `fill` sets more of each card.
inline std::string WriteMasterCards(const std::string& dir, long count,
                                    const std::function<void(XbDbfFile&, long n)>& fill = {}) {
  return WriteLayoutTable("Sor0000", dir, count, [&](XbDbfFile& file, long n) {
    std::string number = std::to_string(n);
    file.PutText(file.FieldByName("SOR_KAV"), std::string(6 - std::min<size_t>(6, number.size()), '0') + number);
    file.PutText(file.FieldByName("SOR_NAC"), OemText("Karta " + number));
    if (fill) fill(file, n);
  });
}
