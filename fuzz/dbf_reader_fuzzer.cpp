// Fuzz target of the table-file reader: the input is a table file. It is
// opened by the file layer and by the table object; every field of every
// record is read through every decoder, the records are walked both ways
// (with and without the read-ahead window, deleted records shown and
// hidden), and record numbers in and out of range are visited. A damaged
// file may only end in the engine's own errors ("Table Header for %s is
// invalid", "Invalid numeric value in field %s", "Record number %d is not
// in table %s", ...): never a crash, undefined behaviour, a hang, an endless
// walk, a huge allocation or an error of another kind.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_table.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"
#include "xbase/expr/field_value.h"
#include "xbase/table/dbf_table.h"

namespace {

std::string directory;
std::string tablePath;

// A walk stops after this many records: further records of a table take
// the same paths, and a 4 KB input may hold thousands of one-byte records.
// The ends of a longer table are still visited by number and by the walks
// from the other end.
constexpr long kWalk = 200;

// Record numbers worth a visit: the ends, the middle and beyond both ends.
std::vector<long> Probes(long count) {
  return {LONG_MIN, -1, 0, 1, 2, count / 2, count - 1, count, count + 1, count + 2, LONG_MAX};
}

// Every decoder of the file layer on the working buffer, and the one of
// key expressions (which also reads the binary field types).
void DecodeRecord(const XbDbfFile& file) {
  for (const XbField& f : file.Fields()) {
    file.RawField(f);
    try {
      file.GetNumber(f);
    } catch (const EDbfError&) {
    }
    file.GetLogical(f);
    file.GetDate(f);
    try {
      ReadFieldValue(f, file.Buffer(), file);
    } catch (const EDbfExpression&) {
    }
    if (file.FindField(f.name) == nullptr && !f.name.empty() && f.name.back() != ' ') std::abort();
  }
}

// Walks the file from the first record to the last and back; one walk
// visits each record once. The values are decoded on the way forward when
// `decode` (once per input is enough: the bytes are the same each time).
void WalkFile(XbDbfFile& file, bool decode) {
  const long count = file.RecordCount();
  long steps = 0;
  for (file.GoTo(XbDbfFile::Move::First); !file.Eof() && steps < kWalk; file.GoTo(XbDbfFile::Move::Next)) {
    if (++steps > count) std::abort();
    if (decode) DecodeRecord(file);
  }
  steps = 0;
  for (file.GoTo(XbDbfFile::Move::Last); !file.Bof() && steps < kWalk; file.GoTo(XbDbfFile::Move::Previous))
    if (++steps > count) std::abort();
}

void ReadFile(size_t size) {
  XbDbfFile file;
  XbDbfFile::Options options;
  options.writable = false;
  try {
    file.Open(tablePath, options);
  } catch (const EDbfError&) {
    return;
  }
  // The record count comes from the file size.
  if (static_cast<size_t>(file.RecordCount()) > size) std::abort();
  for (bool readAhead : {false, true}) {
    file.SetReadAhead(readAhead);
    WalkFile(file, !readAhead);
    for (long recno : Probes(file.RecordCount())) {
      try {
        file.GoTo(recno);
        DecodeRecord(file);
      } catch (const EDbfError&) {
      }
      try {
        file.ReadFromFile(recno);
        DecodeRecord(file);
      } catch (const EDbfError&) {
      }
    }
  }
  try {
    file.FieldByName("NO SUCH");
  } catch (const EDbfError&) {
  }
}

// Every getter of every field object; bad values may only raise the
// engine's errors.
void ReadFields(const TDbfTable& table) {
  auto tolerate = [](auto&& read) {
    try {
      read();
    } catch (const Exception&) {
    }
  };
  for (const auto& field : table.Fields()) {
    tolerate([&] { field->Value(); });
    tolerate([&] { field->AsString(); });
    tolerate([&] { field->AsInteger(); });
    tolerate([&] { field->AsFloat(); });
    tolerate([&] { field->AsBoolean(); });
    tolerate([&] { field->AsDate(); });
  }
}

// As WalkFile, through the table object's moves and field objects.
void WalkTable(TDbfTable& table, bool read) {
  const long bound = table.File().RecordCount() + 1;
  long steps = 0;
  for (table.First(); !table.Eof() && steps < kWalk; table.Next()) {
    if (++steps > bound) std::abort();
    if (read) ReadFields(table);
  }
  steps = 0;
  for (table.Last(); !table.Bof() && steps < kWalk; table.Prior())
    if (++steps > bound) std::abort();
}

void ReadTable(size_t size) {
  TDbfTable table;
  table.SetDatabaseName(directory);
  table.SetTableName("T.DBF");
  table.SetReadOnly(true);
  // Whole numbers of 10 and more digits come in each of their types.
  table.LargeIntegerAs = static_cast<TXbIntFields>(size % 3);
  try {
    table.Open();
  } catch (const Exception&) {
    return;
  }
  // Deleted records hidden first, then shown (and read).
  for (bool useDeleted : {false, true}) {
    table.SetUseDeleted(useDeleted);
    WalkTable(table, useDeleted);
    for (long recno : Probes(table.File().RecordCount())) {
      try {
        table.SetRecNo(recno);
        ReadFields(table);
      } catch (const Exception&) {
      }
    }
    if (!useDeleted && table.File().RecordCount() <= kWalk) {
      // These walk the whole table.
      table.ExactCount = true;
      table.RecordCount();
      std::vector<long> visible = table.VisibleRecordsInOrder();
      if (visible.size() > static_cast<size_t>(table.File().RecordCount())) std::abort();
      visible.push_back(table.File().RecordCount() + 1);
      table.VisitRecords(visible, [&](long) {
        if (table.Fields().empty()) return;
        try {
          table.Fields().front()->AsString();
        } catch (const Exception&) {
        }
      });
    }
    try {
      table.GotoBookmark(table.GetBookmark());
    } catch (const Exception&) {
    }
  }
  table.Close();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  directory = FuzzWorkDir();
  tablePath = directory + "/T.DBF";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out(tablePath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  ReadFile(size);
  ReadTable(size);
  return 0;
}
