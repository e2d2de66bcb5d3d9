// tamorix-chain-bench: the whole transfer over a chain of the shops' shape,
// timed. `--make` writes the chain (the demo data set, sized by --cards and
// --stores); `--run first|unchanged|reprice` runs one transfer over it and
// prints its wall time: "first" is the first run (creates the cards and
// variants missing in the stores, reprices the stores' differing prices),
// "unchanged" a run with nothing changed since the last one, "reprice"
// changes price 1 of every tenth master card first (not timed) and then
// runs. Run it under `strace -c -f` or `perf record` to see where the time
// goes.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "data/data_module.h"
#include "data/quiet_ui.h"
#include "demo_data.h"
#include "operations/transfer.h"

namespace {

void Bind(TData& data, const std::string& dir) {
  data.DataPath = dir + "/data";
  data.StoreCode = "0000";
  data.UserInitials = "BN";
  data.Sor0000.SetDatabaseName(data.DataPath);
  data.Sor0000.SetTableName("Sor0000");
  data.Sor0000.Open();
  data.Sor0000.OpenIndexFile(data.DataFile("Sor0000.cdx"));
  data.Sor0000.SelectTag("KAV");
  data.Skl0000.SetDatabaseName(data.DataPath);
  data.Skl0000.SetTableName("SKL0000");
  data.Ces0000.SetDatabaseName(data.DataPath);
}

// Price 1 of every tenth master card goes up by one crown.
void RepriceTenth(TData& data) {
  TDbfTable& cards = data.Sor0000;
  long n = 0;
  for (cards.First(); !cards.Eof(); cards.Next())
    if (n++ % 10 == 0) {
      cards.Edit();
      cards.FieldByName("SOR_PC1").SetAsFloat(cards.FieldByName("SOR_PC1").AsFloat() + 1);
      cards.Post();
    }
}

int Usage() {
  std::cerr << "usage: tamorix-chain-bench DIR --make [--cards N] [--stores N]\n"
               "       tamorix-chain-bench DIR --run first|unchanged|reprice\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string dir = argv[1];
  // The shops' shape: 1.67 variants per card, about 2.9 journal rows per
  // store variant (82,434 variants and 214,000 rows for 49,501 cards).
  DemoSize size{49501, 15, false, 3, 5};
  std::string run;
  bool make = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--make") make = true;
    else if (a == "--cards" && i + 1 < argc) size.cards = std::stoi(argv[++i]);
    else if (a == "--stores" && i + 1 < argc) size.stores = std::stoi(argv[++i]);
    else if (a == "--run" && i + 1 < argc) run = argv[++i];
    else return Usage();
  }
  using Clock = std::chrono::steady_clock;
  try {
    if (make) {
      auto t0 = Clock::now();
      WriteDemoData(dir, size);
      std::printf("chain of %d cards x %d stores written in %.1f s\n", size.cards, size.stores,
                  std::chrono::duration<double>(Clock::now() - t0).count());
    }
    if (run.empty()) return 0;
    if (run != "first" && run != "unchanged" && run != "reprice") return Usage();
    QuietUi ui;
    TData data(ui);
    Bind(data, dir);
    if (run == "reprice") RepriceTenth(data);
    long cards = data.Sor0000.RecordCount();
    auto t0 = Clock::now();
    TTransfer transfer(data);
    bool done = transfer.Button5Click();
    double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    int created = 0, repriced = 0, rows = 0, stores = 0;
    for (const TStoreSummary& s : transfer.summaries) {
      if (s.skipped) continue;
      ++stores;
      created += s.cardsCreated;
      repriced += s.cardsRepriced;
      rows += s.journalRows;
    }
    std::printf("%s: %.2f s for %ld cards x %d stores (%.1f us per card and store); created %d, repriced %d, "
                "journal rows %d\n",
                run.c_str(), seconds, cards, stores, seconds * 1e6 / (static_cast<double>(cards) * stores), created,
                repriced, rows);
    return done ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "tamorix-chain-bench: " << e.what() << "\n";
    return 1;
  }
}
