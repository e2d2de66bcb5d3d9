// Fuzz target of the index reader: a mutated index file beside a small
// table is opened, every tag walked both ways, searched and limited to a
// range, the file checked, and record updates applied to its tags. A
// damaged file may only end in the engine's own errors ("Index file %s is
// corrupted", a read or expression error): never a crash, a hang, an
// endless walk or an error of another kind.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "fuzz_table.h"
#include "xbase/cdx/cdx_checker.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"

namespace {

XbDbfFile* table = nullptr;
std::string indexPath;

// Walks the tag from one end to the other; a walk longer than the file
// could hold entries for never ends.
void Walk(XbCdxTag& tag, size_t fileSize, bool forward) {
  const size_t bound = (fileSize / 512 + 1) * 512;
  size_t steps = 0;
  for (long r = forward ? tag.First() : tag.Last(); r != 0; r = forward ? tag.Next() : tag.Previous())
    if (++steps > bound) std::abort();
}

void Exercise(XbCdxFile& index, size_t fileSize) {
  for (const auto& tag : index.Tags()) {
    try {
      Walk(*tag, fileSize, true);
      Walk(*tag, fileSize, false);
      std::optional<std::string> low, high;
      for (long recno : {1L, 17L, 150L}) {
        table->GoTo(recno);
        std::optional<std::string> key = tag->KeyOf(table->Buffer(), recno);
        if (!key) continue;
        tag->FindFirst(*key, true);
        tag->FindFirst(*key, false);
        tag->FindLast(*key, false);
        tag->GoToRecord(table->Buffer(), recno);
        (low ? high : low) = key;
      }
      if (tag->SetRange(low, high)) Walk(*tag, fileSize, true);
      tag->ClearRange();
    } catch (const Exception&) {
    }
  }
}

// Records get other keys and names, enough of them to split nodes; every
// tag that can follows.
void Update(XbCdxFile& index) {
  const XbField& key = table->FieldByName("KEY");
  const XbField& name = table->FieldByName("SOR_NAC");
  for (long recno = 5; recno <= 65; recno += 3) {
    table->GoTo(recno);
    std::string before(table->Buffer(), static_cast<size_t>(table->RecordLength()));
    std::string after = before;
    std::string mark = std::to_string(recno * 7);
    after.replace(static_cast<size_t>(key.offset), mark.size(), mark);
    after.replace(static_cast<size_t>(name.offset), 4, recno % 2 ? "AAAA" : "ZZZZ");
    try {
      index.CheckWritable(recno, before.data(), after.data());
    } catch (const Exception&) {
    }
    try {
      index.UpdateKeys(recno, before.data(), after.data());
    } catch (const Exception&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static XbDbfFile file;
  table = &file;
  indexPath = OpenFuzzTable(file) + "/X.CDX";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out(indexPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::unique_ptr<XbCdxFile> index;
  try {
    index = XbCdxFile::Open(indexPath, *table, ExpressionKeySources(*table));
  } catch (const Exception&) {
    return 0;
  }
  Exercise(*index, size);
  try {
    CheckIndexFile(*index);
  } catch (const Exception&) {
  }
  Update(*index);
  try {
    CheckIndexFile(*index);
  } catch (const Exception&) {
  }
  return 0;
}
