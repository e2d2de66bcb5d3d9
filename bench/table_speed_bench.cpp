// The table object at the speed of the shops' engines, on files of the
// shapes they work on: shared, ClipLock offsets, no forced flush. Each row
// reports its time per operation and the system calls per operation
// (reads, writes, locks, size queries of the engine's files).

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "bench_tables.h"
#include "support/temp_dir.h"
#include "xbase/disk_file.h"
#include "xbase/table/dbf_table.h"

namespace {

constexpr long kBig = 1000000;

std::string Key(long k) {
  char text[16];
  std::snprintf(text, sizeof text, "%010ld", k);
  return text;
}

// Counts the engine's system calls from construction to Report.
class CallMeter {
 public:
  CallMeter() : start_(XbDiskFile::CallCount()) {}
  void Report(benchmark::State& state, long operations) const {
    const XbDiskFile::Calls& now = XbDiskFile::CallCount();
    auto per = [&](long a, long b) { return static_cast<double>(a - b) / static_cast<double>(operations); };
    state.counters["pread/op"] = per(now.reads, start_.reads);
    state.counters["pwrite/op"] = per(now.writes, start_.writes);
    state.counters["fcntl/op"] = per(now.locks, start_.locks);
    state.counters["fstat/op"] = per(now.sizes, start_.sizes);
  }

 private:
  XbDiskFile::Calls start_;
};

void Bind(TDbfTable& t, const std::string& dir, const std::string& name) {
  t.SetDatabaseName(dir);
  t.SetTableName(name);
  t.SetLockProtocol(TXbLockProtocol::ClipLock);
}

struct TagSpec {
  const char* name;
  const char* expression;
  int duplicates;  // 0 unique keys, 1 duplicates allowed
};

// A new table `name` of `count` records in `dir` with the tags given,
// opened shared in the first of them.
void OpenNewTable(TDbfTable& t, const TempDir& dir, const std::string& name, long count,
                  const std::vector<TagSpec>& tags) {
  WriteBenchTable(dir.File(name + ".DBF"), count);
  Bind(t, dir.Path(), name);
  t.Open();
  for (const TagSpec& tag : tags) t.CreateIndexTag(name, tag.name, tag.expression, "", tag.duplicates, 0);
  t.Close();
  t.IndexFiles = {name};
  t.SetIndexName(tags.front().name);
  t.Open();
}

// One table of a million records with its KEY tag, made once.
struct MillionTable {
  TempDir dir;
  MillionTable() {
    WriteBenchTable(dir.File("BIG.DBF"), kBig);
    TDbfTable t;
    Bind(t, dir.Path(), "BIG");
    t.Open();
    t.CreateIndexTag("BIG", "KEY", "KEY", "", 0, 0);
  }
};

MillionTable& Million() {
  static MillionTable table;
  return table;
}

void BM_TableExactSeeks_200k_Of_1M(benchmark::State& state) {
  MillionTable& big = Million();
  TDbfTable t;
  Bind(t, big.dir.Path(), "BIG");
  t.IndexFiles = {"BIG"};
  t.SetIndexName("KEY");
  t.Open();
  std::mt19937 random(7);
  constexpr long kSeeks = 200000;
  for (auto _ : state) {
    CallMeter meter;
    for (long i = 0; i < kSeeks; ++i) benchmark::DoNotOptimize(t.SeekKey(Key(random() % kBig + 1)));
    meter.Report(state, kSeeks);
  }
  state.SetItemsProcessed(state.iterations() * kSeeks);
}
BENCHMARK(BM_TableExactSeeks_200k_Of_1M)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TableUpdateLoop_50k(benchmark::State& state) {
  constexpr long kKeys = 50000;
  for (auto _ : state) {
    state.PauseTiming();
    TempDir dir;
    TDbfTable t;
    OpenNewTable(t, dir, "UPD", kKeys, {{"KEY", "KEY", 0}});
    state.ResumeTiming();
    CallMeter meter;
    for (long k = 1; k <= kKeys; ++k) {
      if (!t.SeekKey(Key(k))) state.SkipWithError("key not found");
      t.Edit();
      t.FieldByName("PC1").SetAsFloat(static_cast<double>(k) / 8);
      t.FieldByName("NUM").SetAsInteger(k % 1000);
      t.Post();
    }
    meter.Report(state, kKeys);
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}
BENCHMARK(BM_TableUpdateLoop_50k)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TableAppends_100k_FiveTags(benchmark::State& state) {
  constexpr long kAppends = 100000;
  for (auto _ : state) {
    state.PauseTiming();
    TempDir dir;
    TDbfTable t;
    OpenNewTable(t, dir, "APP", 0,
                 {{"KEY", "KEY", 0}, {"NUM", "NUM", 1}, {"NAC", "UPPER(NAC)", 1}, {"PC1", "PC1", 1}, {"KN", "KEY+NAC", 1}});
    state.ResumeTiming();
    CallMeter meter;
    for (long i = 1; i <= kAppends; ++i) {
      long k = (i * 7919) % kAppends;
      t.Append();
      t.FieldByName("KEY").SetAsString(Key(k));
      t.FieldByName("NUM").SetAsInteger(k);
      t.FieldByName("NAC").SetAsString("name " + std::to_string(k % 3000));
      t.FieldByName("PC1").SetAsFloat(static_cast<double>(k % 777) / 4);
      t.Post();
    }
    meter.Report(state, kAppends);
  }
  state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(BM_TableAppends_100k_FiveTags)->Iterations(1)->Unit(benchmark::kMillisecond);

// One tag over the million records: 0 C10, 1 numeric, 2 UPPER(C30).
void BM_TableBuildTag_1M(benchmark::State& state) {
  static const char* const kExpressions[] = {"KEY", "NUM", "UPPER(NAC)"};
  const char* expression = kExpressions[state.range(0)];
  state.SetLabel(expression);
  MillionTable& big = Million();
  TDbfTable t;
  Bind(t, big.dir.Path(), "BIG");
  t.Open();
  for (auto _ : state) t.CreateIndexTag("BUILD", "T", expression, "", 1, 0);
  state.SetItemsProcessed(state.iterations() * kBig);
}
BENCHMARK(BM_TableBuildTag_1M)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TableNaturalScan_1M_3Fields(benchmark::State& state) {
  MillionTable& big = Million();
  TDbfTable t;
  Bind(t, big.dir.Path(), "BIG");
  t.Open();
  TField& key = t.FieldByName("KEY");
  TField& num = t.FieldByName("NUM");
  TField& pc1 = t.FieldByName("PC1");
  for (auto _ : state) {
    CallMeter meter;
    double sum = 0;
    long rows = 0;
    for (t.First(); !t.Eof(); t.Next(), ++rows) {
      benchmark::DoNotOptimize(key.AsString());
      sum += static_cast<double>(num.AsInteger()) + pc1.AsFloat();
    }
    benchmark::DoNotOptimize(sum);
    meter.Report(state, rows);
  }
  state.SetItemsProcessed(state.iterations() * kBig);
}
BENCHMARK(BM_TableNaturalScan_1M_3Fields)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
