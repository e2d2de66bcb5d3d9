// Compound index files: building a tag over a large table, exact seeks that
// read from the root in the file, and appends that keep five tags current.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

#include "bench_tables.h"
#include "support/temp_dir.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/index_set.h"
#include "xbase/cdx/test_key_source.h"
#include "xbase/dbf_file.h"

namespace {

constexpr long kRecords = 1000000;

struct BigTable {
  TempDir dir;
  XbDbfFile dbf;
  std::unique_ptr<XbCdxFile> cdx;
  BigTable() {
    WriteBenchTable(dir.File("BIG.DBF"), kRecords);
    dbf.Open(dir.File("BIG.DBF"), XbDbfFile::Options{});
    cdx = XbCdxFile::OpenOrCreate(dir.File("BIG.CDX"), dbf, TestKeySources(dbf));
  }
};

BigTable& Big() {
  static BigTable table;
  return table;
}

void BM_BuildTag1M(benchmark::State& state) {
  BigTable& t = Big();
  for (auto _ : state) t.cdx->CreateTag("KEY", "KEY", "", false, false);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BuildTag1M)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ExactSeek1M(benchmark::State& state) {
  BigTable& t = Big();
  XbCdxTag* tag = t.cdx->FindTag("KEY");
  if (!tag) tag = &t.cdx->CreateTag("KEY", "KEY", "", false, false);
  std::mt19937 random(7);
  char key[16];
  for (auto _ : state) {
    std::snprintf(key, sizeof key, "%010ld", static_cast<long>(random() % kRecords) + 1);
    benchmark::DoNotOptimize(tag->FindFirst(key, false));
  }
}
BENCHMARK(BM_ExactSeek1M)->Unit(benchmark::kMicrosecond);

void BM_Append100kFiveTags(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TempDir dir;
    WriteBenchTable(dir.File("A.DBF"), 0);
    XbDbfFile dbf;
    dbf.Open(dir.File("A.DBF"), XbDbfFile::Options{});
    XbIndexSet set(dbf, TestKeySources(dbf));
    XbCdxFile& cdx = set.OpenOrCreate("A");
    cdx.CreateTag("KEY", "KEY", "", true, false);
    cdx.CreateTag("NUM", "NUM", "", false, false);
    cdx.CreateTag("NAC", "UPPER(NAC)", "", false, false);
    cdx.CreateTag("PC1", "PC1", "", false, false);
    cdx.CreateTag("KN", "KEY+NAC", "", false, false);
    const XbField& key = dbf.FieldByName("KEY");
    const XbField& num = dbf.FieldByName("NUM");
    const XbField& nac = dbf.FieldByName("NAC");
    const XbField& pc1 = dbf.FieldByName("PC1");
    state.ResumeTiming();
    char text[32];
    for (long i = 1; i <= 100000; ++i) {
      long k = (i * 7919) % 100000;
      dbf.BlankRecord();
      std::snprintf(text, sizeof text, "%010ld", k);
      dbf.PutText(key, text);
      dbf.PutNumber(num, static_cast<double>(k));
      std::snprintf(text, sizeof text, "name %ld", k % 3000);
      dbf.PutText(nac, text);
      dbf.PutNumber(pc1, static_cast<double>(k % 777) / 4);
      dbf.Append();
    }
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_Append100kFiveTags)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
