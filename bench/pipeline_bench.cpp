// Per-frame costs of the acquisition pipeline on a full-size frame.
#include <benchmark/benchmark.h>

#include <random>

#include "acquisition/demosaic.h"
#include "acquisition/tfrm_alv.h"
#include "core/virtual_event_loop.h"

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

// A full-size frame of camera 1 (image and guide camera, its page in view)
// through today's stages: stored in its slot (demosaiced in raw mode), shown
// on its page with the zone overlay, and copied onto a full-size result page.
void RunProcessFrame(benchmark::State& state, bool raw) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app(loop, dialogs);
  TFRM_Alv alv(app);
  alv.FormActivate();
  alv.Inputs.DisplayZoneSize = [] { return 1024.0; };
  alv.Inputs.RawMode = [raw] { return raw; };
  alv.SetCameraFormat(1, 1024, 768, 24, true);
  alv.ResizeResultPage();
  alv.Zones.frameZone = alv.Zones.zone = Rect{0, 0, 1024, 768};
  alv.State.processing = true;
  const Image frame = RandomFrame(1024, 768);
  for (auto _ : state) {
    alv.StoreFrame(1, frame);
    benchmark::DoNotOptimize(alv.ProcessFrame(true, 1));
  }
}

void BM_ProcessFrame(benchmark::State& state) {
  RunProcessFrame(state, false);
}
BENCHMARK(BM_ProcessFrame)->Unit(benchmark::kMillisecond);

void BM_ProcessFrameRaw(benchmark::State& state) {
  RunProcessFrame(state, true);
}
BENCHMARK(BM_ProcessFrameRaw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orniva
