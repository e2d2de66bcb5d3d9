// A transfer-shaped loop on a shared table under ClipLock: for each key, seek
// it in the card-number tag; found: edit, set two fields, post; missing:
// append. Run under `strace -c -f` to count the system calls per operation.

#include <benchmark/benchmark.h>

#include "dbf_writer.h"
#include "support/temp_dir.h"
#include "xbase/table/dbf_table.h"

namespace {

constexpr int kKeys = 50000;

std::string Card(int i) {
  std::string s = std::to_string(i);
  return std::string(6 - s.size(), '0') + s;
}

void BM_TransferLoop(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TempDir dir;
    CreateTable(dir.File("SOR0001.DBF"), {{"SOR_KAV", 'C', 6}, {"SOR_NAC", 'C', 30}, {"SOR_PC1", 'N', 12, 2},
                                          {"SOR_STA", 'N', 8, 0}});
    {
      TDbfTable t;
      t.SetDatabaseName(dir.Path());
      t.SetTableName("SOR0001");
      t.Open();
      // Half of the keys exist already (the even ones).
      for (int i = 0; i < kKeys; i += 2) {
        t.Append();
        t.FieldByName("SOR_KAV").SetAsString(Card(i));
        t.Post();
      }
      t.CreateIndexTag("SOR0001", "KAV", "SOR_KAV", "", 0, 0);
    }
    TDbfTable t;
    t.SetDatabaseName(dir.Path());
    t.SetTableName("SOR0001");
    t.SetLockProtocol(TXbLockProtocol::ClipLock);
    t.IndexFiles = {"SOR0001"};
    t.SetIndexName("KAV");
    t.Open();
    state.ResumeTiming();
    for (int i = 0; i < kKeys; ++i) {
      if (t.SeekKey(Card(i), true, false)) {
        t.Edit();
        t.FieldByName("SOR_PC1").SetAsFloat(i * 0.5);
        t.FieldByName("SOR_STA").SetAsInteger(i % 100);
        t.Post();
      } else {
        t.Append();
        t.FieldByName("SOR_KAV").SetAsString(Card(i));
        t.FieldByName("SOR_NAC").SetAsString("Nová karta");
        t.Post();
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kKeys);
}
BENCHMARK(BM_TransferLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
