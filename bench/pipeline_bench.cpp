// Per-frame costs of the acquisition pipeline on a full-size frame.
#include <benchmark/benchmark.h>

#include <random>

#include "acquisition/demosaic.h"

namespace orniva {
namespace {

Image RandomFrame(int w, int h) {
  Image img(w, h);
  std::mt19937 rng(42);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 3 * w; ++x) img.ScanLine(y)[x] = static_cast<uint8_t>(rng());
  return img;
}

void BM_DemosaicRaw(benchmark::State& state) {
  const Image src = RandomFrame(1024, 768);
  Image dst(1024, 768);
  for (auto _ : state) {
    DemosaicRaw(src, dst, kBayerGR);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_DemosaicRaw)->Unit(benchmark::kMillisecond);

void BM_DemosaicRawReference(benchmark::State& state) {
  const Image src = RandomFrame(1024, 768);
  Image dst(1024, 768);
  for (auto _ : state) {
    DemosaicRawReference(src, dst, kBayerGR);
    benchmark::DoNotOptimize(dst.Bits());
  }
}
BENCHMARK(BM_DemosaicRawReference)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orniva
