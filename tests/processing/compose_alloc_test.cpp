#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "processing/compose.h"
#include "processing/curve.h"

// Every allocation of this test program is counted, so that the compositor
// can be shown to allocate nothing once it runs frame after frame.
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t n) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
// The replacements pair malloc with free; the compiler cannot tell that
// they are the program's own operator new and delete.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

namespace orniva {
namespace {

TEST(ComposeAllocations, NonePerFrameInAnyMode) {
  Image zone(320, 240);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) zone.SetPixel(x, y, Rgb(x % 256, y, 77));
  Image out(320, 240);
  CurvePoints points;
  points.positions[4] = 155;
  const CurveTable curve = BuildCurve(points).table;
  auto st = std::make_unique<ComposeState>();
  st->count = {0, 4, 3};
  st->ring.assign(5, Image(320, 240));

  struct Mode {
    int binning;
    bool loop, hot, autoLevels, grey, withCurve;
  };
  const Mode modes[] = {
      {1, false, false, false, false, false}, {1, true, false, false, false, true},
      {2, false, false, false, true, false},  {2, true, false, true, false, false},
      {1, false, true, false, false, false},  {2, false, true, true, true, true}};
  for (const Mode& m : modes) {
    ComposeSettings s;
    s.binning = m.binning;
    s.loopMode = m.loop;
    s.frameLimit = 4;
    s.darkPower = 30;
    s.darkHotPixels = m.hot;
    s.flatActive = true;
    s.autoLevels = m.autoLevels;
    s.grey = m.grey;
    s.curve = m.withCurve ? &curve : nullptr;
    // The first call may set up what lives for the whole run (the helper
    // thread, tables); the frames after it must allocate nothing.
    ComposeResult(*st, s, zone, {0, 0, 320, 240}, {0, true, false, true}, out);
    const long before = allocations.load();
    for (int k = 0; k < 6; ++k) {
      ComposeResult(*st, s, zone, {0, 0, 320, 240}, {0, true, false, true}, out);
    }
    EXPECT_EQ(allocations.load() - before, 0)
        << "binning " << m.binning << " loop " << m.loop << " hot " << m.hot;
  }
}

}  // namespace
}  // namespace orniva
