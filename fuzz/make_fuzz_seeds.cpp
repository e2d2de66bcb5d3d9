// Writes the seed corpora of the file-reader fuzz targets, one directory
// each under SEED_ROOT:
// - cdx_reader_fuzzer: index files this engine builds over the fuzz table
//   (every kind of key, unique, filtered and descending tags, trees of
//   several levels, a tree after many updates, an empty directory), and a
//   link to the small index file of the peer fixtures, which another engine
//   wrote (the larger ones would slow the target to a few dozen runs a
//   second, and its mutants would crowd the corpus);
// - dbf_reader_fuzzer: table files of every shape the reader meets (the
//   fuzz table, no records, deleted records, every field type with good and
//   bad values, a long character field in a version 0x30 table), and links
//   to the peer fixtures' small tables.
//
//   make_fuzz_seeds SEED_ROOT [PEER_FIXTURE_DIR]

#include <cstdio>
#include <filesystem>
#include <string>

#include "dbf_writer.h"
#include "fuzz_table.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/expression_key_source.h"
#include "xbase/dbf_file.h"
#include "xbase/errors.h"

namespace fs = std::filesystem;

namespace {

struct TagSpec {
  const char *name, *key, *filter;
  bool unique, descending;
};

void Build(XbDbfFile& table, const fs::path& file, std::initializer_list<TagSpec> tags, int updates = 0) {
  fs::remove(file);
  auto index = XbCdxFile::OpenOrCreate(file.string(), table, ExpressionKeySources(table));
  for (const TagSpec& t : tags) index->CreateTag(t.name, t.key, t.filter, t.unique, t.descending);
  const XbField& name = table.FieldByName("SOR_NAC");
  for (int i = 0; i < updates; ++i) {
    long recno = 1 + i * 7 % table.RecordCount();
    table.GoTo(recno);
    std::string before(table.Buffer(), static_cast<size_t>(table.RecordLength()));
    std::string after = before;
    after.replace(static_cast<size_t>(name.offset), 8, i % 3 ? "AAAAAAAA" : "ZZZZZZZZ");
    index->UpdateKeys(recno, before.data(), after.data());
  }
  index->Flush();
}

// Links `name` of the peer fixtures into `seeds` when it is there.
void LinkPeer(const fs::path& peerDir, const char* name, const fs::path& seeds) {
  fs::path peer = peerDir / name;
  fs::remove(seeds / name);
  if (fs::exists(peer)) fs::create_symlink(peer, seeds / name);
}

// Appends one record of raw field texts (as stored, one per field).
void AppendRaw(XbDbfFile& table, std::initializer_list<const char*> values, bool deleted = false) {
  table.BlankRecord();
  int number = 1;
  for (const char* v : values) table.PutText(table.Field(number++), v);
  table.Append();
  if (deleted) table.Delete();
}

void WriteTableSeeds(const fs::path& seeds) {
  fs::create_directories(seeds);
  {
    XbDbfFile table;
    CreateFuzzTable(table, (seeds / "fuzz-table.dbf").string(), 60);
  }
  CreateTable((seeds / "no-records.dbf").string(), {{"KEY", 'C', 10}, {"NUM", 'N', 8, 2}});
  {
    // Every field type, with values a reader must take apart: exponents,
    // signs, blanks, text in number fields, impossible dates, every
    // logical letter; some records deleted.
    fs::path path = seeds / "all-types.dbf";
    CreateTable(path.string(), {{"TEXT", 'C', 12},
                                {"WHOLE", 'N', 4, 0},
                                {"BIG", 'N', 20, 0},
                                {"PRICE", 'N', 12, 3},
                                {"RATE", 'F', 10, 4},
                                {"FLAG", 'L', 1},
                                {"DAY", 'D', 8},
                                {"MEMO", 'M', 10},
                                {"INT", 'I', 4},
                                {"STAMP", 'T', 8},
                                {"MONEY", 'Y', 8},
                                {"PIC", 'G', 10}});
    XbDbfFile table;
    table.Open(path.string(), XbDbfFile::Options{});
    AppendRaw(table, {"Kladivo", "12", "12345678901234567890", "-1.5e3", "3.1416", "T", "20240229", "0000000001"});
    AppendRaw(table, {"", "", "", "", "", "", "", ""});
    AppendRaw(table, {"x", "abc", "1e308", "1.", "-.5", "?", "20231340", "", "\x01\x02"}, true);
    AppendRaw(table, {"ČŘŽ", "-999", "-9223372036854775809", "+7", "1E+5", "J", "00000000"});
    AppendRaw(table, {"end", "9999", "99999999999999999999", "0.0005", "1e-300", "n", "99991231"}, true);
  }
  {
    fs::path path = seeds / "long-text.dbf";
    CreateTable(path.string(), {{"NOTE", 'C', 300}, {"N", 'N', 3}}, 0x30);
    XbDbfFile table;
    table.Open(path.string(), XbDbfFile::Options{});
    AppendRaw(table, {"dlouhý text", "1"});
    AppendRaw(table, {"", "-12"}, true);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds SEED_ROOT [PEER_FIXTURE_DIR]\n");
    return 2;
  }
  try {
    fs::path seeds = fs::path(argv[1]) / "cdx_reader_fuzzer";
    fs::create_directories(seeds);
    XbDbfFile table;
    OpenFuzzTable(table);
    Build(table, seeds / "all-kinds.cdx",
          {{"KEY", "KEY", "", false, false},
           {"NAC", "UPPER(SOR_NAC)", "", false, false},
           {"NUM", "NUM", "", false, false},
           {"DAT", "SOR_DAT", "", false, false},
           {"KAV", "SOR_KAV", "", true, false},
           {"OLD", "SOR_KAV", "SOR_OLD", false, false},
           {"KVD", "SOR_KAV+SOR_KDO", "", false, true}});
    Build(table, seeds / "one-tag.cdx", {{"NAC", "SOR_NAC", "", false, false}});
    Build(table, seeds / "after-updates.cdx", {{"NAC", "SOR_NAC", "", false, false}, {"PC1", "SOR_PC1", "", false, false}},
          200);
    Build(table, seeds / "no-tags.cdx", {});
    fs::path tableSeeds = fs::path(argv[1]) / "dbf_reader_fuzzer";
    WriteTableSeeds(tableSeeds);
    if (argc > 2) {
      LinkPeer(argv[2], "EMPTY.CDX", seeds);
      // CZ.DBF and the large tables would slow the target down; VFP.DBF
      // holds the same fields in 50 records.
      LinkPeer(argv[2], "EMPTY.DBF", tableSeeds);
      LinkPeer(argv[2], "VFP.DBF", tableSeeds);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
