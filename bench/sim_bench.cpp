// Rendering a simulated frame: the simulated camera must keep up with its
// stream rate (25 frames a second leaves 40 ms a frame for everything).
#include <benchmark/benchmark.h>

#include <string>

#include "sim/sky_model.h"
#include "sky/catalogues.h"

namespace orniva {
namespace {

const Catalogues& Loaded() {
  static Catalogues* c = [] {
    auto* loaded = new Catalogues;
    loaded->LoadCatalogues(std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs");
    return loaded;
  }();
  return *c;
}

// Args: width, height, focal length (mm): Vega's field with every effect on.
void BM_RenderSimulatedFrame(benchmark::State& state) {
  SimOptics optics;
  optics.focal = static_cast<double>(state.range(2));
  SkyModel sky(Loaded(), SkyParameters{}, optics);
  const SimPointing vega{18 * 54000.0 + 36 * 900.0 + 56.3 * 15, 38 * 3600.0 + 47 * 60.0, 0};
  Image frame;
  int64_t t = 0;
  for (auto _ : state) {
    sky.Render(frame, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), vega,
               SimExposure{0.04, 1.0}, t += 40);
    benchmark::DoNotOptimize(frame.Bits());
  }
}
BENCHMARK(BM_RenderSimulatedFrame)
    ->Args({640, 480, 2000})
    ->Args({1024, 768, 2000})
    ->Args({1024, 768, 35})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orniva
