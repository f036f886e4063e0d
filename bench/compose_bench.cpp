// ComposeResult on a 1024 x 768 zone with the frame new in memory each time
// (a pool of frames larger than the caches). Besides the median time per
// frame, each case prints the copy bandwidth measured in the same run, the
// bytes the pass moves and the ratio of its time to that bandwidth bound.

#include <benchmark/benchmark.h>

#include <time.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "core/row_workers.h"
#include "processing/compose.h"
#include "processing/curve.h"

namespace orniva {
namespace {

constexpr int kW = 1024, kH = 768;
constexpr int kPool = 24;  // 24 x 2.4 MB: more than the last-level cache

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// The process's processor time (the compositor's helper thread included): on
// a shared machine it shows the cost of the pass without the time other
// programs held the cores.
double CpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Bytes per millisecond of a large memcpy (bytes read plus bytes written).
double CopyBandwidth() {
  const size_t bytes = size_t(128) << 20;
  std::vector<uint8_t> a(bytes, 1), b(bytes, 2);
  double best = 1e30;
  for (int k = 0; k < 5; ++k) {
    const double t0 = NowMs();
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    best = std::min(best, NowMs() - t0);
  }
  return 2.0 * bytes / best;
}

struct Scenario {
  int binning = 1;
  bool loop = false;
  bool curve = false;
  bool reference = false;
  bool oneThread = false;
  int width = 1024, height = 768;  // zone size
};

void RunCompose(benchmark::State& state, Scenario sc) {
  std::mt19937 rng(7);
  std::vector<Image> pool;
  for (int k = 0; k < kPool; ++k) {
    Image img(kW, kH);
    for (int y = 0; y < kH; ++y) {
      uint8_t* p = img.ScanLine(y);
      for (int x = 0; x < 3 * kW; ++x) p[x] = static_cast<uint8_t>(rng() & 0xFF);
    }
    pool.push_back(std::move(img));
  }
  auto st = std::make_unique<ComposeState>();
  for (int j = 0; j < kCellRows; ++j)
    for (int i = 0; i < kCellCols; ++i) {
      st->cells[1].SetCell(i, j, {int(rng() % 400), int(rng() % 400), int(rng() % 400)});
      st->cells[2].SetCell(i, j, {int(2000 + rng() % 500), int(2000 + rng() % 500), 2200});
    }
  st->count = {0, 20, 10};
  st->flatMean = FlatMeans(st->cells[2], kW, kH);

  ComposeSettings s;
  s.binning = sc.binning;
  s.darkPower = 40;
  s.flatActive = true;
  s.low = 100;
  s.high = 30000;
  CurvePoints points;
  points.positions[4] = 155;
  const CurveTable curve = BuildCurve(points).table;
  if (sc.curve) s.curve = &curve;
  if (sc.loop) {
    s.loopMode = true;
    s.frameLimit = 16;
    st->ring.assign(17, Image(kW, kH));
  }
  const Rect rect{0, 0, sc.width, sc.height};
  Image out(sc.width / sc.binning, sc.height / sc.binning);
  const ComposeCall call{0, true, false, true};

  RowWorkers::Shared().SetHelperEnabled(!sc.oneThread);
  std::vector<double> times, cpuTimes;
  int frame = 0;
  for (auto _ : state) {
    const Image& zone = pool[frame++ % kPool];
    const double c0 = CpuMs();
    const double t0 = NowMs();
    if (sc.reference) {
      ComposeResultReference(*st, s, zone, rect, call, out);
    } else {
      ComposeResult(*st, s, zone, rect, call, out);
    }
    times.push_back(NowMs() - t0);
    cpuTimes.push_back(CpuMs() - c0);
    benchmark::DoNotOptimize(out.Bits());
    if (!sc.loop && st->count[0] > 200) st->count[0] = 1;  // keep the ratio r moving
  }
  RowWorkers::Shared().SetHelperEnabled(true);
  std::sort(times.begin(), times.end());
  std::sort(cpuTimes.begin(), cpuTimes.end());
  const double median = times[times.size() / 2];
  const double cells = double(sc.width / sc.binning) * (sc.height / sc.binning) * 3;
  double moved = double(sc.width) * sc.height * 3        // zone image
                 + cells * 2 * 2                         // integration buffer read and written
                 + cells * 2 * 2                         // dark and flat read
                 + cells;                                // render image
  if (sc.loop) moved += 2.0 * sc.width * sc.height * 3;  // ring head written, ring tail read
  const double bandwidth = CopyBandwidth();
  state.counters["median_ms"] = median;
  state.counters["median_cpu_ms"] = cpuTimes[cpuTimes.size() / 2];
  state.counters["copy_GBps"] = bandwidth / 1e6;
  state.counters["MB_moved"] = moved / 1e6;
  state.counters["bound_ms"] = moved / bandwidth;
  state.counters["ratio"] = median / (moved / bandwidth);
}

void BM_ComposeResult(benchmark::State& state) {
  RunCompose(state, {});
}
// The same on the calling thread alone (the helper thread switched off).
void BM_ComposeResultOneThread(benchmark::State& state) {
  RunCompose(state, {.oneThread = true});
}
void BM_ComposeResultLoop16(benchmark::State& state) {
  RunCompose(state, {.loop = true});
}
void BM_ComposeResultCurve(benchmark::State& state) {
  RunCompose(state, {.curve = true});
}
void BM_ComposeResultBinning2x2(benchmark::State& state) {
  RunCompose(state, {.binning = 2});
}
// A 256 x 192 zone whose buffers stay in the caches: the arithmetic alone.
void BM_ComposeResultInCache(benchmark::State& state) {
  RunCompose(state, {.width = 256, .height = 192});
}
void BM_ComposeResultReference(benchmark::State& state) {
  RunCompose(state, {.reference = true});
}

BENCHMARK(BM_ComposeResult)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ComposeResultOneThread)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ComposeResultLoop16)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ComposeResultCurve)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ComposeResultBinning2x2)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ComposeResultInCache)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ComposeResultReference)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace orniva
