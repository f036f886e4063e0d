// Loading the three catalogue files, as the chart does the first time it is
// drawn, and the angle helpers it calls per object.
#include <benchmark/benchmark.h>

#include <string>

#include "sky/catalogues.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

const std::string kCatalogueDir = std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs";

void BM_LoadCatalogues(benchmark::State& state) {
  for (auto _ : state) {
    Catalogues c;
    auto errors = c.LoadCatalogues(kCatalogueDir);
    if (!errors.empty()) {
      state.SkipWithError(errors.front().Text().c_str());
      return;
    }
    benchmark::DoNotOptimize(c.StarCount() + c.DeepSkyCount());
  }
}
BENCHMARK(BM_LoadCatalogues)->Unit(benchmark::kMillisecond);

void BM_AngularDistance(benchmark::State& state) {
  double ra = 0;
  for (auto _ : state) {
    ra += 17.5;
    benchmark::DoNotOptimize(AngularDistance(ra, 150000, 1000000, -20000));
  }
}
BENCHMARK(BM_AngularDistance);

void BM_FormatDec(benchmark::State& state) {
  double dec = -324000;
  for (auto _ : state) {
    dec += 13.37;
    benchmark::DoNotOptimize(FormatDec(dec));
  }
}
BENCHMARK(BM_FormatDec);

}  // namespace
}  // namespace orniva
