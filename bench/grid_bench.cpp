// The catalogue grid on 100,000 cards, offscreen: building the grid with its
// first paint (the row list of the whole order is read then), and moving
// from the first to the last card with the repaint that follows.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>

#include "controls/data_source.h"
#include "controls/db_grid.h"
#include "data/data_module.h"
#include "support/master_cards.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace {

constexpr long kCards = 100000;

void EnsureApplication() {
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tamorix-bench";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  (void)app;
}

// The data module over a master card table of 100,000 cards, made once.
struct BigCatalogue {
  BigCatalogue() {
    WriteMasterCards(dir.Path(), kCards, [](XbDbfFile& f, long n) {
      f.PutNumber(f.FieldByName("SOR_PC1"), 10.0 + static_cast<double>(n % 5000) / 4);
      f.PutNumber(f.FieldByName("SOR_S01"), static_cast<double>(n % 17));
      f.PutLogical(f.FieldByName("SOR_SKL"), n % 3 == 0);
    });
    data.Sor0000.SetDatabaseName(dir.Path());
    data.Sor0000.SetTableName("Sor0000");
    data.Sor0000.Open();
  }
  TempDir dir;
  RecordingUi ui;
  TData data{ui};
};

BigCatalogue& Catalogue() {
  static BigCatalogue* catalogue = new BigCatalogue;
  return *catalogue;
}

std::vector<TDBGridColumn> AllColumns() {
  std::vector<TDBGridColumn> columns;
  for (const FieldDecl& f : TableLayoutOf("Sor0000").fields) columns.push_back({f.name, 0});
  return columns;
}

void Paint(TDBGrid& grid) {
  QPixmap pixmap = grid.grab();
  benchmark::DoNotOptimize(pixmap.cacheKey());
}

void BM_GridFirstPaint(benchmark::State& state) {
  EnsureApplication();
  TDbfTable& table = Catalogue().data.Sor0000;
  table.First();
  for (auto _ : state) {
    TDataSource source(&table);
    TDBGrid grid(source, AllColumns());
    grid.resize(792, 470);
    grid.show();
    Paint(grid);
    QCoreApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * kCards);
}
BENCHMARK(BM_GridFirstPaint)->Unit(benchmark::kMillisecond);

void BM_GridScrollToEnd(benchmark::State& state) {
  EnsureApplication();
  TDbfTable& table = Catalogue().data.Sor0000;
  TDataSource source(&table);
  TDBGrid grid(source, AllColumns());
  grid.resize(792, 470);
  grid.show();
  for (auto _ : state) {
    state.PauseTiming();
    table.First();
    Paint(grid);
    QCoreApplication::processEvents();
    state.ResumeTiming();
    table.Last();
    Paint(grid);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_GridScrollToEnd)->Unit(benchmark::kMillisecond);

}  // namespace
