#include <gtest/gtest.h>

#include <string>

#include "processing/compose.h"

namespace orniva {
namespace {

// A small zone image filled with one colour and a state on the heap (the
// cell buffers are large). Every call runs both the fast path and the
// reference; the result buffer (which only the reference keeps) is read from
// the reference.
struct Compositor {
  std::unique_ptr<ComposeState> st = std::make_unique<ComposeState>();
  std::unique_ptr<ComposeState> ref;
  ComposeSettings s;
  Image zone{16, 12};
  Rect rect{0, 0, 16, 12};
  Image out{16, 12};

  ComposeOutcome Run(ComposeCall call) {
    ref = std::make_unique<ComposeState>(*st);
    Image refOut = out;
    const ComposeOutcome a = ComposeResultReference(*ref, s, zone, rect, call, refOut);
    const ComposeOutcome b = ComposeResult(*st, s, zone, rect, call, out);
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(ref->cells[k] == st->cells[k]);
    EXPECT_EQ(ref->cellMax, st->cellMax);
    EXPECT_EQ(ref->cellMin, st->cellMin);
    EXPECT_EQ(a.high, b.high);
    for (int y = 0; y < out.Height(); ++y)
      for (int x = 0; x < out.Width(); ++x) EXPECT_EQ(out.Pixel(x, y), refOut.Pixel(x, y));
    return b;
  }
  ComposeOutcome Add(Bgr colour, int target = 0, bool render = true) {
    zone.Fill(colour);
    return Run({target, true, false, render});
  }
  ComposeOutcome Render(int target = 0) { return Run({target, false, false, true}); }
  const CellBuffer& Result() const { return ref->result; }
  void SetCells(int buffer, CellRgb v) {
    for (int j = 0; j < 12; ++j)
      for (int i = 0; i < 16; ++i) st->cells[buffer].SetCell(i, j, v);
  }
};

TEST(Integration, SumsSaturateAt65535AndBinningAddsFourPixels) {
  Compositor c;
  for (int k = 0; k < 257; ++k) c.Add(kWhite);
  EXPECT_EQ(c.st->cells[0].Cell(3, 4), (CellRgb{65535, 65535, 65535}));
  EXPECT_EQ(c.st->count[0], 257);
  c.Add(kWhite);
  EXPECT_EQ(c.st->cells[0].Cell(3, 4), (CellRgb{65535, 65535, 65535}));

  Compositor binned;
  binned.s.binning = 2;
  binned.Add(Rgb(255, 10, 1));
  EXPECT_EQ(binned.st->cells[0].Cell(7, 5), (CellRgb{1020, 40, 4}));
  EXPECT_EQ(binned.st->cells[0].Cell(8, 0), CellRgb{});  // beyond the 8 x 6 cells
}

TEST(Integration, FrameLimitStopsOnTheFrameThatReachesItWhichIsStillAdded) {
  Compositor c;
  c.s.frameLimit = 5;
  for (int k = 1; k <= 4; ++k) EXPECT_FALSE(c.Add(Rgb(1, 1, 1)).limitReached);
  const ComposeOutcome fifth = c.Add(Rgb(1, 1, 1));
  EXPECT_TRUE(fifth.limitReached);
  EXPECT_EQ(fifth.shownCount, 5);
  EXPECT_EQ(c.st->cells[0].Cell(0, 0).g, 5);

  Compositor open;  // N = 0: no limit
  for (int k = 0; k < 20; ++k) EXPECT_FALSE(open.Add(kBlack).limitReached);
}

TEST(Integration, LoopOfThreeHoldsTheLastThreeFrames) {
  Compositor c;
  c.s.loopMode = true;
  c.s.frameLimit = 3;
  c.st->ring.assign(4, Image(16, 13));
  const int shown[] = {1, 2, 3, 3, 3};
  for (int k = 1; k <= 5; ++k) {
    // Frame k has 2^k in red, so the sum tells which frames it holds.
    const ComposeOutcome o = c.Add(Rgb(static_cast<uint8_t>(1 << k), 0, 0));
    EXPECT_EQ(o.shownCount, shown[k - 1]);
  }
  EXPECT_EQ(c.st->cells[0].Cell(5, 5).r, (1 << 3) + (1 << 4) + (1 << 5));
  EXPECT_EQ(c.st->cells[0].Cell(5, 5).g, 0);
}

TEST(Integration, ExtremesFollowTheComposite) {
  Compositor c;
  c.zone.Fill(kBlack);
  c.zone.SetPixel(2, 2, Rgb(200, 7, 9));
  c.Run({0, true, false, true});
  EXPECT_EQ(c.st->cellMax[0], 200);
  EXPECT_EQ(c.st->cellMin[0], 0);
  // Without a frame the counters stay, the extremes are recomputed.
  c.Render();
  EXPECT_EQ(c.st->count[0], 1);
  EXPECT_EQ(c.st->cellMax[0], 200);
}

TEST(DarkAndFlat, SubtractionScalesTheDarkToTheFrameCount) {
  struct Case {
    int dark, darkFrames, sum, frames, power, expected;
  };
  const Case cases[] = {
      {40, 4, 500, 10, 100, 400},   // s = Round(99.5) = 100
      {40, 4, 50, 10, 100, 0},      // s above v: 0, not negative
      {40, 4, 500, 10, 0, 500},     // T = 0: nothing subtracted
      {40, 0, 500, 10, 100, 500},   // no dark frames
      {31, 10, 500, 10, 100, 470},  // s = Round(30.5) = 30: half to even
  };
  for (const Case& k : cases) {
    Compositor c;
    c.SetCells(1, {k.dark, k.dark, k.dark});
    c.st->count[1] = k.darkFrames;
    c.SetCells(0, {k.sum, k.sum, k.sum});
    c.st->count[0] = k.frames;
    c.s.darkPower = k.power;
    c.Render();
    EXPECT_EQ(c.st->cells[0].Cell(1, 1).r, k.sum) << "the composite itself is untouched";
    EXPECT_EQ(c.Result().Cell(1, 1).r, k.expected) << k.dark << " " << k.sum;
  }
}

// Hot-pixel dark without binning: a cell is hot when its mean dark
// m = Round(d / n - 0.5) exceeds 255 x (100 - T) / 100, exactly. Every cell
// has the same dark, so a hot case replaces them all.
struct HotCase {
  const char* name;
  int power, dark, darkFrames;
  bool hot;
};

void PrintTo(const HotCase& c, std::ostream* os) {
  *os << c.name;
}

class HotPixelThreshold : public ::testing::TestWithParam<HotCase> {};

TEST_P(HotPixelThreshold, ReplacesExactlyTheCellsAboveIt) {
  const HotCase& k = GetParam();
  Compositor c;
  c.s.darkPower = k.power;
  c.s.darkHotPixels = true;
  c.st->count[1] = k.darkFrames;
  c.SetCells(1, {k.dark, k.dark, k.dark});
  c.SetCells(0, {100, 100, 100});
  c.st->cells[0].SetCell(5, 5, {9000, 100, 100});
  c.Render();
  if (k.hot) {
    EXPECT_EQ(c.Result().Cell(5, 5).r, 100);  // the mean of its ten neighbours
    EXPECT_EQ(c.Result().Cell(0, 0).r, 40);   // four neighbours left by the clipping
  } else {
    for (int j = 0; j < 12; ++j)
      for (int i = 0; i < 16; ++i)
        ASSERT_EQ(c.Result().Cell(i, j), c.st->cells[0].Cell(i, j)) << i << "," << j;
  }
}

INSTANTIATE_TEST_SUITE_P(
    DarkAndFlat, HotPixelThreshold,
    ::testing::Values(
        // T = 10: hot from m >= 230 (above 229.5).
        HotCase{"T10Mean229", 10, 229, 1, false}, HotCase{"T10Mean230", 10, 230, 1, true},
        HotCase{"T10Mean231", 10, 231, 1, true},
        // T = 100: the limit is 0, so a dark of 0 is not hot.
        HotCase{"T100Dark0", 100, 0, 1, false},
        HotCase{"T100Dark1RoundsTo0", 100, 1, 1, false},  // Round(0.5) = 0
        HotCase{"T100Dark2", 100, 2, 1, true},
        // T = 60: the limit is 102, reached but not exceeded.
        HotCase{"T60Mean102", 60, 102, 1, false},
        HotCase{"T60Dark103RoundsTo102", 60, 103, 1, false},  // Round(102.5) = 102
        HotCase{"T60Dark104", 60, 104, 1, true},
        HotCase{"T60TwoDarks206RoundsTo102", 60, 206, 2, false},
        HotCase{"T60TwoDarks207", 60, 207, 2, true},  // Round(103) = 103
        // T = 80: the limit is 51.
        HotCase{"T80TwoDarks103Mean51", 80, 103, 2, false},
        HotCase{"T80TwoDarks104Mean52", 80, 104, 2, true}),
    [](const ::testing::TestParamInfo<HotCase>& info) { return std::string(info.param.name); });

TEST(DarkAndFlat, HotPixelBorderIsClippedButStillDividedByTheFullCount) {
  Compositor c;
  c.s.darkPower = 50;
  c.s.darkHotPixels = true;
  c.st->count[1] = 1;
  c.st->cells[1].SetCell(0, 5, {255, 255, 255});
  c.SetCells(0, {100, 100, 100});
  c.Render();
  // R = 1 in column 0: columns 0..2 of rows 4 and 6 plus column 2 of row 5:
  // 7 cells of 100, divided by 10.
  EXPECT_EQ(c.Result().Cell(0, 5).r, 70);
}

TEST(DarkAndFlat, FlatDividesByTheCellAndMultipliesByTheMean) {
  struct Case {
    int flat;
    double mean;
    int value, expected;
  };
  const Case cases[] = {
      {1, 128, 1000, 65535},  // f <= 1 multiplies: 128000 clamped
      {0, 2.0, 7, 14},        // Round(13.5) = 14
      {0, 2.0, 8, 16},        // Round(15.5) = 16
      {256, 128, 1000, 500},  // 0.5 x 1000 = 500 -> Round(499.5) = 500
      {256, 128, 1002, 500},  // 501 -> Round(500.5) = 500
      {100, 0, 5000, 0},      // no flat yet: means of 0
  };
  for (const Case& k : cases) {
    Compositor c;
    c.s.flatActive = true;
    c.SetCells(2, {k.flat, k.flat, k.flat});
    c.st->flatMean = {k.mean, k.mean, k.mean};
    c.SetCells(0, {k.value, k.value, k.value});
    c.Render();
    EXPECT_EQ(c.Result().Cell(2, 3).b, k.expected) << k.flat << " " << k.value;
  }
}

TEST(DarkAndFlat, RecordingADarkOrFlatDoesNotCorrectItByItself) {
  Compositor c;
  c.s.darkPower = 100;
  c.st->count[1] = 1;
  c.s.flatActive = true;
  c.st->flatMean = {1, 1, 1};
  c.SetCells(2, {1, 1, 1});
  c.Add(Rgb(50, 50, 50), 1);  // dark: not subtracted from itself, flat x 1
  EXPECT_EQ(c.Result().Cell(0, 0).r, 50);
  c.s.darkPower = 0;
  c.st->flatMean = {3, 3, 3};
  c.Add(Rgb(9, 9, 9), 2);  // flat: f counts as 0, so the value is multiplied
  EXPECT_EQ(c.st->cells[2].Cell(0, 0).r, 10);
  EXPECT_EQ(c.Result().Cell(0, 0).r, 30);  // Round(29.5)
}

TEST(DarkAndFlat, FlatMeansAverageTheFrameArea) {
  CellBuffer flat;
  flat.SetCell(0, 0, {10, 20, 30});
  flat.SetCell(1, 1, {10, 0, 0});
  const auto m = FlatMeans(flat, 2, 2);
  EXPECT_DOUBLE_EQ(m[0], 5.0);
  EXPECT_DOUBLE_EQ(m[1], 5.0);
  EXPECT_DOUBLE_EQ(m[2], 7.5);
}

TEST(Levels, MappingFromLowToHigh) {
  struct Case {
    int low, high, value, level;
  };
  const Case cases[] = {
      {0, 255, 254, 254},      {0, 255, 255, 255},    {1000, 3000, 999, 0}, {1000, 3000, 2000, 128},
      {1000, 3000, 3000, 255}, {500, 500, 501, 255},  {500, 500, 500, 0},   {3000, 1000, 2000, 0},
      {3000, 1000, 3001, 0},   {3000, 1000, 3008, 1},
  };
  for (const Case& k : cases) {
    Compositor c;
    c.s.low = k.low;
    c.s.high = k.high;
    c.SetCells(0, {k.value, k.value, k.value});
    c.Render();
    EXPECT_EQ(c.out.Pixel(4, 4), Rgb(k.level, k.level, k.level)) << k.low << " " << k.value;
  }
}

TEST(Levels, GreyAndColourWithChannelBoxes) {
  Compositor c;
  c.s.low = 0;
  c.s.high = 256;  // levels equal the values
  c.SetCells(0, {90, 60, 31});
  c.s.grey = true;
  c.s.green = false;
  c.Render();
  EXPECT_EQ(c.out.Pixel(0, 0), Rgb(60, 60, 60));  // (90 + 31) div 2
  c.s.red = c.s.blue = false;
  c.Render();
  EXPECT_EQ(c.out.Pixel(0, 0), kBlack);
  c.s.grey = false;
  c.s.red = c.s.blue = true;
  c.Render();
  EXPECT_EQ(c.out.Pixel(0, 0), Rgb(90, 0, 31));
  CurveTable curve{};
  curve.fill(-40);
  c.s.curve = &curve;
  c.Render();
  EXPECT_EQ(c.out.Pixel(0, 0), Rgb(50, 0, 0));  // 31 - 40 clamped to 0
}

TEST(Levels, AutomaticLevelsFollowTheExtremes) {
  AutoLevelResult a = AutoLevels(120, 40000, 1.0, 1.0, 65535, 65535);
  EXPECT_EQ(a.high, 40000);
  EXPECT_EQ(a.low, 120);
  a = AutoLevels(120, 60000, 1.0, 1.0, 65535, 50000);
  EXPECT_EQ(a.high, 60000);
  EXPECT_EQ(a.highBoundMax, 65535);  // 2 x 60000 clamped
  a = AutoLevels(0, 1000, 1.0, 0.5, 10, 400);
  EXPECT_EQ(a.high, 500);
  EXPECT_EQ(a.highBoundMax, 1000);
  EXPECT_EQ(a.low, 0);  // trunc(0.001 x 1)

  Compositor c;  // the rendering uses the levels just found
  c.s.autoLevels = true;
  c.st->count[0] = 200;  // the minimum starts from 200 x 255
  c.SetCells(0, {120, 120, 120});
  c.st->cells[0].SetCell(3, 3, {40000, 2000, 120});
  const ComposeOutcome o = c.Render();
  EXPECT_TRUE(o.levelsMoved);
  EXPECT_EQ(o.high, 40000);
  EXPECT_EQ(o.low, 120);
  EXPECT_EQ(c.out.Pixel(3, 3), Rgb(255, (1880 * 256) / 39880, 0));
}

}  // namespace
}  // namespace orniva
