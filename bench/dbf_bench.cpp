// Table-file throughput: sequential reads with field decoding and appends,
// each beside the raw positioned-I/O cost of the same bytes.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "dbf_writer.h"
#include "support/temp_dir.h"
#include "xbase/dbf_file.h"

namespace {

const std::vector<FieldSpec> kFields = {{"KAV", 'C', 6},     {"NAC", 'C', 30}, {"PC1", 'N', 12, 2},
                                        {"STA", 'N', 8, 0},  {"SKL", 'L', 1},  {"DAT", 'D', 8}};
constexpr long kReadRecords = 1000000;
constexpr long kAppends = 100000;

TempDir& Dir() {
  static TempDir dir;
  return dir;
}

void Fill(XbDbfFile& t, long i) {
  t.BlankRecord();
  t.PutText(t.Field(1), std::to_string(100000 + i % 900000));
  t.PutText(t.Field(2), "Sroubovak krizovy PH2");
  t.PutNumber(t.Field(3), 12.5 + static_cast<double>(i % 1000));
  t.PutNumber(t.Field(4), static_cast<double>(i % 500));
  t.PutLogical(t.Field(5), i % 2 == 0);
  t.PutDate(t.Field(6), XbDate{2026, 1 + static_cast<int>(i % 12), 1 + static_cast<int>(i % 28)});
}

// The million-record table, made once.
const std::string& BigTable() {
  static std::string path = [] {
    std::string p = Dir().File("BIG.DBF");
    CreateTable(p, kFields);
    XbDbfFile t;
    XbDbfFile::Options o;
    o.shared = false;
    t.Open(p, o);
    for (long i = 0; i < kReadRecords; ++i) {
      Fill(t, i);
      t.Append();
    }
    return p;
  }();
  return path;
}

void BM_SequentialReadDecoded(benchmark::State& state) {
  XbDbfFile t;
  t.Open(BigTable(), {});
  double sum = 0;
  for (auto _ : state) {
    for (long n = 1; n <= t.RecordCount(); ++n) {
      t.GoTo(n);
      sum += t.GetNumber(t.Field(3)) + t.GetNumber(t.Field(4));
      sum += t.GetLogical(t.Field(5)) ? 1 : 0;
      sum += t.GetDate(t.Field(6))->day;
      sum += static_cast<double>(t.RawField(t.Field(2)).size());
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * t.RecordCount());
}
BENCHMARK(BM_SequentialReadDecoded)->Unit(benchmark::kMillisecond);

void BM_SequentialReadRawPread(benchmark::State& state) {
  XbDbfFile t;
  t.Open(BigTable(), {});
  int fd = ::open(BigTable().c_str(), O_RDONLY);
  std::vector<char> buf(t.RecordLength());
  for (auto _ : state) {
    for (long n = 0; n < t.RecordCount(); ++n)
      benchmark::DoNotOptimize(::pread(fd, buf.data(), buf.size(), t.HeaderLength() + n * t.RecordLength()));
  }
  ::close(fd);
  state.SetItemsProcessed(state.iterations() * t.RecordCount());
}
BENCHMARK(BM_SequentialReadRawPread)->Unit(benchmark::kMillisecond);

void BM_AppendShared(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::string p = Dir().File("APPEND.DBF");
    CreateTable(p, kFields);
    XbDbfFile t;
    t.Open(p, {});
    state.ResumeTiming();
    for (long i = 0; i < kAppends; ++i) {
      Fill(t, i);
      t.Append();
    }
  }
  state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(BM_AppendShared)->Unit(benchmark::kMillisecond);

void BM_AppendRawPwrite(benchmark::State& state) {
  std::vector<char> record(66, ' ');
  for (auto _ : state) {
    state.PauseTiming();
    std::string p = Dir().File("RAW.DBF");
    int fd = ::open(p.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    state.ResumeTiming();
    for (long i = 0; i < kAppends; ++i) benchmark::DoNotOptimize(::pwrite(fd, record.data(), record.size(), 226 + i * 66));
    state.PauseTiming();
    ::close(fd);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(BM_AppendRawPwrite)->Unit(benchmark::kMillisecond);

}  // namespace
