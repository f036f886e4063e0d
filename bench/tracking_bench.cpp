// One tracking pass per method on a 1024 x 768 frame holding a star, with a
// 40 px zone and the largest (480 px) zone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "telescope/tracking_correlation.h"
#include "telescope/tracking_methods.h"
#include "telescope/tracking_pass.h"

namespace orniva {
namespace {

Image& StarFrame() {
  static Image frame = [] {
    Image img(1024, 768);
    std::mt19937 rng(1);
    std::normal_distribution<double> noise(0, 2);
    for (int y = 0; y < img.Height(); ++y) {
      for (int x = 0; x < img.Width(); ++x) {
        const double dx = x - 512.3, dy = y - 384.6;
        double v = 8 + noise(rng) + 200 * std::exp(-(dx * dx + dy * dy) / 8.0);
        v = std::fmin(255, std::fmax(0, v));
        const auto b = static_cast<uint8_t>(v);
        img.SetPixel(x, y, {b, b, b});
      }
    }
    return img;
  }();
  return frame;
}

void RunPass(benchmark::State& bm, TrackMethod method, bool fwhm = false) {
  const Image& frame = StarFrame();
  const int zone = static_cast<int>(bm.range(0));
  TrackingSettings settings;
  settings.method = method;
  settings.zoneSize = zone;
  settings.deadBand = 2;
  settings.focusFwhm = fwhm;
  settings.fwhmAuto = fwhm;
  TrackingState state;
  state.zoneCentre = {512, 384};
  state.drift.rateX = 0.5;
  state.drift.durationS = 10;
  if (method == TrackMethod::Correlation) TakeCorrelationReference(state, settings, frame);
  TrackingHooks hooks;
  int64_t now = 0;
  for (auto _ : bm) {
    now += 40;
    const IntPoint c{512, 384};
    state.zoneCentre = c;  // a star that stays put: every pass does the same work
    PassResult r = TrackZone(state, settings, {&frame, &frame}, {c.x, c.y, zone, zone, true, false},
                             now, hooks);
    benchmark::DoNotOptimize(r);
  }
}

void BM_TrackBrightPixel(benchmark::State& bm) {
  RunPass(bm, TrackMethod::BrightPixel);
}
void BM_TrackAxisSum(benchmark::State& bm) {
  RunPass(bm, TrackMethod::AxisSum);
}
void BM_TrackLimits(benchmark::State& bm) {
  RunPass(bm, TrackMethod::Limits);
}
void BM_TrackCorrelation(benchmark::State& bm) {
  RunPass(bm, TrackMethod::Correlation);
}
void BM_TrackDrift(benchmark::State& bm) {
  RunPass(bm, TrackMethod::Drift);
}
// The centroid with the FWHM estimate, for comparison with other measures.
void BM_TrackAxisSumFwhm(benchmark::State& bm) {
  RunPass(bm, TrackMethod::AxisSum, true);
}

BENCHMARK(BM_TrackBrightPixel)->Arg(40)->Arg(480)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrackAxisSum)->Arg(40)->Arg(480)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrackLimits)->Arg(40)->Arg(480)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrackCorrelation)->Arg(40)->Arg(480)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrackDrift)->Arg(40)->Arg(480)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrackAxisSumFwhm)->Arg(64)->Arg(480)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orniva
