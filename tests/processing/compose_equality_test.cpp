#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "processing/compose.h"
#include "processing/curve.h"

namespace orniva {
namespace {

// The fast compositor against the step-by-step reference, on random frames,
// darks and flats, through every mode.
class Equality : public ::testing::Test {
 protected:
  std::mt19937 rng{12345};
  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  void RandomImage(Image& img) {
    for (int y = 0; y < img.Height(); ++y) {
      uint8_t* p = img.ScanLine(y);
      for (int x = 0; x < 3 * img.Width(); ++x) p[x] = static_cast<uint8_t>(Uniform(0, 255));
    }
  }
  void RandomCells(CellBuffer& buf, int hi) {
    for (int j = 0; j < 60; ++j)
      for (int i = 0; i < 90; ++i)
        buf.SetCell(i, j, {Uniform(0, hi), Uniform(0, hi), Uniform(0, hi)});
  }
};

TEST_F(Equality, FastPathMatchesTheReferenceInEveryMode) {
  Image zone(100, 80);
  const Rect rect{7, 5, 7 + 79, 5 + 57};  // odd sizes: partly covered binned cells
  CurvePoints points;
  points.positions = {255, 200, 300, 255, 100, 255, 400, 255, 255};
  points.enabled[5] = false;
  const CurveTable curve = BuildCurve(points).table;

  auto fast = std::make_unique<ComposeState>();
  // The loop ring's bitmaps: same sizes and bytes.
  auto sameRing = [](const ComposeState& a, const ComposeState& b) {
    if (a.ring.size() != b.ring.size()) return false;
    for (size_t k = 0; k < a.ring.size(); ++k) {
      const Image &x = a.ring[k], &y = b.ring[k];
      if (x.Width() != y.Width() || x.Height() != y.Height()) return false;
      for (int row = 0; row < x.Height(); ++row)
        if (std::memcmp(x.ScanLine(row), y.ScanLine(row), 3 * x.Width()) != 0) return false;
    }
    return true;
  };
  for (int binning : {1, 2}) {
    for (int mode = 0; mode < 4; ++mode) {    // unique, loop, dark, flat
      for (int dark = 0; dark < 4; ++dark) {  // none, subtraction, hot R=1, hot R=2
        for (int flat = 0; flat < 2; ++flat) {
          for (int levels = 0; levels < 3; ++levels) {  // colour+curve, grey, auto
            ComposeSettings s;
            s.binning = binning;
            s.loopMode = mode == 1;
            s.frameLimit = mode == 1 ? Uniform(0, 3) : Uniform(0, 6);
            s.darkPower = dark == 0 ? 0 : Uniform(1, 100);
            s.darkHotPixels = dark >= 2;
            s.darkRadius = dark == 3 ? 2 : 1;
            s.flatActive = flat == 1;
            s.low = Uniform(0, 3000);
            s.high = Uniform(0, 9000);
            s.curve = levels == 0 ? &curve : nullptr;
            s.grey = levels == 1;
            s.red = Uniform(0, 3) != 0;
            s.green = Uniform(0, 3) != 0;
            s.blue = Uniform(0, 3) != 0;
            s.autoLevels = levels == 2;
            s.kLow = 0.8;
            s.kHigh = 1.3;
            const int target = mode >= 2 ? mode - 1 : 0;

            auto ref = std::make_unique<ComposeState>();
            RandomCells(ref->cells[0], Uniform(0, 1) ? 65535 : 3000);
            RandomCells(ref->cells[1], Uniform(0, 1) ? 65535 : 2000);
            RandomCells(ref->cells[2], 65535);
            ref->cells[2].SetCell(3, 3, {0, 1, 2});
            ref->count = {Uniform(0, 40), Uniform(0, 5), Uniform(0, 9)};
            ref->flatMean = {Uniform(0, 40000) / 7.0, Uniform(0, 40000) / 3.0, 128.0};
            if (s.loopMode) {
              ref->ring.assign(s.frameLimit + 1, Image(100, 81));
              for (Image& img : ref->ring) RandomImage(img);
              ref->ringFill = Uniform(0, s.frameLimit);
              ref->ringHead = Uniform(0, s.frameLimit + 1);
            }
            *fast = *ref;

            for (int step = 0; step < 4; ++step) {
              RandomImage(zone);
              ComposeCall call{target, step != 2, step == 3 && mode == 0, step != 1};
              Image outRef(45, 30), outFast(45, 30);  // smaller than the zone: clipped
              const ComposeOutcome a = ComposeResultReference(*ref, s, zone, rect, call, outRef);
              const ComposeOutcome b = ComposeResult(*fast, s, zone, rect, call, outFast);
              SCOPED_TRACE(testing::Message()
                           << "binning " << binning << " mode " << mode << " dark " << dark
                           << " flat " << flat << " levels " << levels << " step " << step);
              for (int k = 0; k < 3; ++k) ASSERT_TRUE(ref->cells[k] == fast->cells[k]) << k;
              ASSERT_EQ(ref->count, fast->count);
              ASSERT_EQ(ref->cellMin, fast->cellMin);
              ASSERT_EQ(ref->cellMax, fast->cellMax);
              ASSERT_EQ(ref->ringFill, fast->ringFill);
              ASSERT_EQ(ref->ringHead, fast->ringHead);
              ASSERT_EQ(ref->ringTail, fast->ringTail);
              ASSERT_TRUE(sameRing(*ref, *fast));
              ASSERT_EQ(a.limitReached, b.limitReached);
              ASSERT_EQ(a.shownCount, b.shownCount);
              ASSERT_EQ(a.low, b.low);
              ASSERT_EQ(a.high, b.high);
              ASSERT_EQ(a.highBoundMax, b.highBoundMax);
              if (call.render) {
                for (int y = 0; y < 30; ++y)
                  for (int x = 0; x < 45; ++x)
                    ASSERT_EQ(outRef.Pixel(x, y), outFast.Pixel(x, y)) << x << "," << y;
              }
            }
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// Every sum 0..65535 once, through dark subtraction and flat division with
// awkward factors: the rounding of each product must match exactly.
TEST(EqualityExhaustive, EverySumThroughDarkAndFlat) {
  std::mt19937 rng(99);
  auto ref = std::make_unique<ComposeState>();
  for (int j = 0; j < 256; ++j) {
    for (int i = 0; i < 86; ++i) {
      const int base = (j * 86 + i) * 3;
      auto v = [&](int k) { return (base + k) % 65536; };
      ref->cells[0].SetCell(i, j, {v(0), v(1), v(2)});
      ref->cells[1].SetCell(i, j, {int(rng() % 65536), int(rng() % 3000), int(rng() % 7)});
      ref->cells[2].SetCell(i, j, {int(rng() % 65536), int(rng() % 3), int(1000 + rng() % 9)});
    }
  }
  ref->count = {37, 11, 5};
  ref->flatMean = {12345.678, 1.0 / 3.0, 1003.1};
  auto fast = std::make_unique<ComposeState>(*ref);
  ComposeSettings s;
  s.darkPower = 73;
  s.flatActive = true;
  s.low = 0;
  s.high = 65535;
  Image zone(86, 256), outRef(86, 256), outFast(86, 256);
  const Rect rect{0, 0, 86, 256};
  ComposeResultReference(*ref, s, zone, rect, {0, false, false, true}, outRef);
  ComposeResult(*fast, s, zone, rect, {0, false, false, true}, outFast);
  EXPECT_EQ(ref->cellMin, fast->cellMin);
  EXPECT_EQ(ref->cellMax, fast->cellMax);
  // The levels are the corrected values' top byte: compare with a second
  // mapping per low byte too.
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 86; ++x) ASSERT_EQ(outRef.Pixel(x, y), outFast.Pixel(x, y));
  // The corrected values themselves, as the fast path keeps them with
  // "Seuils Auto" on.
  s.autoLevels = true;
  ComposeResultReference(*ref, s, zone, rect, {0, false, false, true}, outRef);
  ComposeResult(*fast, s, zone, rect, {0, false, false, true}, outFast);
  for (int j = 0; j < 256; ++j)
    for (int i = 0; i < 86; ++i)
      ASSERT_EQ(ref->result.Cell(i, j), fast->result.Cell(i, j)) << i << "," << j;
}

}  // namespace
}  // namespace orniva
