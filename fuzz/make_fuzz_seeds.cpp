// Writes the seed corpus of the index-reader fuzz target: index files this
// engine builds over the fuzz table (every kind of key, unique, filtered and
// descending tags, trees of several levels, a tree after many updates, an
// empty directory), and a link to the small index file of the peer
// fixtures, which another engine wrote (the larger ones would slow the
// target to a few dozen runs a second, and its mutants would crowd the
// corpus).
//
//   make_fuzz_seeds SEED_DIR [PEER_FIXTURE_DIR]

#include <cstdio>
#include <filesystem>
#include <string>

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds SEED_DIR [PEER_FIXTURE_DIR]\n");
    return 2;
  }
  try {
    fs::path seeds = argv[1];
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
    if (argc > 2) {
      fs::path peer = fs::path(argv[2]) / "EMPTY.CDX";
      fs::remove(seeds / "EMPTY.CDX");
      if (fs::exists(peer)) fs::create_symlink(peer, seeds / "EMPTY.CDX");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
