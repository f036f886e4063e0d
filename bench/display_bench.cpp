// The per-frame overlay work of the pages, and the redraws done when the
// zones or the reticle change.
#include <benchmark/benchmark.h>

#include "acquisition/display_reticle.h"
#include "acquisition/display_zone.h"
#include "core/canvas.h"

namespace orniva {
namespace {

void BM_MergePaintFullFrame(benchmark::State& state) {
  Image page(1024, 768), overlay(1024, 768);
  page.Fill(Rgb(30, 40, 50));
  DrawZoneOverlay(overlay, {100, 100, 900, 700});
  for (auto _ : state) {
    MergePaint(page, {0, 0, 1024, 768}, overlay, {0, 0, 1024, 768});
    benchmark::DoNotOptimize(page.Bits());
  }
  state.SetBytesProcessed(state.iterations() * 1024 * 768 * 3);
}
BENCHMARK(BM_MergePaintFullFrame);

void BM_MergePaintMiniSource(benchmark::State& state) {
  Image mini(193, 145), overlay(1024, 768);
  DrawZoneOverlay(overlay, {10, 10, 90, 70});
  for (auto _ : state) {
    MergePaint(mini, {0, 0, 193, 145}, overlay, {0, 0, 256, 192});
    benchmark::DoNotOptimize(mini.Bits());
  }
}
BENCHMARK(BM_MergePaintMiniSource);

void BM_DrawZoneOverlay(benchmark::State& state) {
  Image overlay(1024, 768);
  for (auto _ : state) {
    DrawZoneOverlay(overlay, {0, 0, 321, 241});
    benchmark::DoNotOptimize(overlay.Bits());
  }
}
BENCHMARK(BM_DrawZoneOverlay);

void BM_DrawReticle(benchmark::State& state) {
  Image overlay(800, 600);
  ReticleParams prm;
  prm.x = 400;
  prm.y = 300;
  prm.sampling = 2;
  prm.orientation = 15;
  for (auto _ : state) {
    overlay.Fill(kWhite);
    DrawReticle(overlay, prm);
    benchmark::DoNotOptimize(overlay.Bits());
  }
}
BENCHMARK(BM_DrawReticle);

}  // namespace
}  // namespace orniva
