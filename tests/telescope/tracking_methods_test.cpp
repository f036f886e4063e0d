#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "synthetic_stars.h"
#include "telescope/tracking_fwhm.h"
#include "telescope/tracking_methods.h"

namespace orniva {
namespace {

using test::SetGrey;

struct RecordingLog : TrackingLog {
  std::vector<std::string> lines;
  void WriteLine(std::string_view line) override { lines.emplace_back(line); }
};

TEST(TrackingArithmetic, WholePixelsFromPositionsKeepEvenAndLowerOdd) {
  struct Case {
    double v;
    int once, twice;  // one conversion, then the zone centre (two conversions)
  };
  const Case cases[] = {
      {123, 122, 122}, {124, 124, 124}, {100.5, 100, 100}, {101.5, 101, 100},
      {0, 0, 0},       {-1, -2, -2},    {99.7, 99, 98},    {98.2, 98, 98},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PixelFromPosition(c.v), c.once) << c.v;
    EXPECT_EQ(PixelFromPosition(PixelFromPosition(c.v)), c.twice) << c.v;
  }
}

TEST(TrackingClamp, ZoneIsPushedBackFromEveryBorder) {
  struct Case {
    int x, y, halfW, halfH, w, h;
    int ex, ey;
    bool touched;
  };
  const Case cases[] = {
      {100, 100, 20, 20, 640, 480, 100, 100, false},  // inside
      {20, 100, 20, 20, 640, 480, 21, 100, true},     // left: X - halfW < 1
      {21, 100, 20, 20, 640, 480, 21, 100, false},    // just inside on the left
      {630, 100, 20, 20, 640, 480, 619, 100, true},   // right: width < X + halfW
      {620, 100, 20, 20, 640, 480, 620, 100, false},  // X + halfW = width is allowed
      {100, 5, 20, 20, 640, 480, 100, 21, true},      // top
      {100, 470, 20, 20, 640, 480, 100, 459, true},   // bottom
      {-50, 999, 20, 10, 640, 480, 21, 469, true},    // corner, unequal halves
      {10, 10, 240, 240, 320, 240, 241, 241, true},   // zone wider than the frame
  };
  for (const Case& c : cases) {
    int x = c.x, y = c.y;
    EXPECT_EQ(ClampZoneCentre(x, y, c.halfW, c.halfH, c.w, c.h), c.touched) << c.x << "," << c.y;
    EXPECT_EQ(x, c.ex) << c.x << "," << c.y;
    EXPECT_EQ(y, c.ey) << c.x << "," << c.y;
  }
}

TEST(BrightPixel, ScansAllColumnsButNotTheLastRowOfTheZone) {
  Image img(200, 200);
  PassStats stats;
  // 40 x 40 zone at (100, 100): rows 80..119, columns 80..120.
  SetGrey(img, 120, 119, 90);   // last column, last scanned row: found
  SetGrey(img, 100, 120, 200);  // row Y + halfH is not scanned
  TrackPoint p = FindBrightestPixel(img, 100, 100, 20, 20, 0, {}, stats);
  EXPECT_EQ(p, (TrackPoint{120, 119}));
  EXPECT_EQ(stats.peak, 90);
  EXPECT_EQ(stats.zoneLumSum, 90);
}

TEST(BrightPixel, TiesKeepTheFirstInScanOrderAndToleranceRaisesTheBar) {
  Image img(200, 200);
  SetGrey(img, 110, 90, 200);
  SetGrey(img, 95, 95, 200);  // same luminance, later row
  PassStats s1;
  EXPECT_EQ(FindBrightestPixel(img, 100, 100, 20, 20, 0, {}, s1), (TrackPoint{110, 90}));

  // Tolerance 30 and a brightest pixel of 25: nothing found, peak stays 0.
  Image dim(200, 200);
  SetGrey(dim, 105, 105, 25);
  PassStats s2;
  EXPECT_EQ(FindBrightestPixel(dim, 100, 100, 20, 20, 30, {}, s2), (TrackPoint{100, 100}));
  EXPECT_EQ(s2.peak, 0);

  // With tolerance 30 a pixel 20 brighter than the first one does not replace it.
  SetGrey(dim, 85, 85, 40);
  SetGrey(dim, 110, 110, 60);
  PassStats s3;
  EXPECT_EQ(FindBrightestPixel(dim, 100, 100, 20, 20, 30, {}, s3), (TrackPoint{85, 85}));
}

TEST(BrightPixel, FocusStatisticsCountPixelsAboveThreshold) {
  Image img(100, 100);
  for (int i = 0; i < 50; ++i) SetGrey(img, 30 + i % 10, 30 + i / 10, 200);
  PassStats stats;
  FindBrightestPixel(img, 35, 35, 20, 20, 0, {true, 150}, stats);
  EXPECT_EQ(stats.focusCount, 50);
  EXPECT_EQ(stats.focusLumSum, 50 * 200);
  EXPECT_EQ(stats.zoneLumSum, 0);
  EXPECT_NEAR(FwhmFromCount(stats.focusCount), 7.98, 0.005);
}

TEST(AxisSum, BlackZoneGivesOriginAndWeightsAreSquaredLuminance) {
  Image img(200, 200);
  PassStats stats;
  EXPECT_EQ(AxisSumCentroid(img, 100, 100, 20, 20, {}, stats), (TrackPoint{0, 0}));

  // Two pixels 100 and 50 at columns 90 and 100: weights 10000 and 2500,
  // centroid 92 (not 93.3 as a linear weight would give).
  SetGrey(img, 90, 100, 100);
  SetGrey(img, 100, 100, 50);
  PassStats s2;
  EXPECT_EQ(AxisSumCentroid(img, 100, 100, 20, 20, {}, s2), (TrackPoint{92, 100}));
  EXPECT_EQ(s2.peak, 100);
}

// A bright disc of the given diameter centred on (cx, cy).
void Disc(Image& img, int cx, int cy, int diameter, int lum) {
  const double r = diameter / 2.0;
  for (int y = cy - diameter; y <= cy + diameter; ++y) {
    for (int x = cx - diameter; x <= cx + diameter; ++x) {
      const double dx = x - cx, dy = y - cy;
      if (dx * dx + dy * dy <= r * r && img.Contains(x, y)) SetGrey(img, x, y, lum);
    }
  }
}

TEST(DetectLimits, FindsTheDiscCentreOrKeepsTheZoneCentre) {
  Image img(200, 200);
  Disc(img, 100, 100, 9, 200);
  const TrackPoint centre{97, 103};
  LimitsResult r = DetectLimits(img, 97, 103, 20, 20, 100, false, centre, {});
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.position, (TrackPoint{100, 100}));

  // A disc offset by half a pixel in its extent gives a half-pixel centre.
  Image wide(200, 200);
  for (int y = 96; y <= 104; ++y) {
    const int half = 4 - std::abs(y - 100) / 2;
    for (int x = 100 - half; x <= 101 + half; ++x) SetGrey(wide, x, y, 200);
  }
  r = DetectLimits(wide, 100, 100, 20, 20, 100, false, centre, {});
  ASSERT_TRUE(r.found);
  EXPECT_DOUBLE_EQ(r.position.x, 100.5);

  // An empty zone, and an object touching the zone side, keep the zone centre.
  Image empty(200, 200);
  r = DetectLimits(empty, 100, 100, 20, 20, 100, false, centre, {});
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.position, centre);
  Image edge(200, 200);
  for (int y = 80; y <= 120; ++y) SetGrey(edge, 80, y, 200);  // a line along the left side
  EXPECT_FALSE(DetectLimits(edge, 100, 100, 20, 20, 100, false, centre, {}).found);

  // Dark objects: active below the threshold.
  Image sky(200, 200);
  sky.Fill({200, 200, 200});
  Disc(sky, 110, 95, 9, 10);
  r = DetectLimits(sky, 100, 100, 20, 20, 100, true, centre, {});
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.position, (TrackPoint{110, 95}));
}

TEST(RadialLimits, BoundsTheRingAroundTheCentre) {
  Image img(200, 200);
  // A ring of radius 8 around (100, 100): the rays stop on it.
  for (int a = 0; a < 720; ++a) {
    const double t = a * M_PI / 360;
    SetGrey(img, static_cast<int>(std::lround(100 + 8 * std::cos(t))),
            static_cast<int>(std::lround(100 + 8 * std::sin(t))), 200);
  }
  LimitsResult r = RadialLimits(img, 100, 100, 20, 20, 100, false, {50, 50}, {});
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(r.position.x, 100, 0.5);
  EXPECT_NEAR(r.position.y, 100, 0.5);
  // Fewer than 4 hits: the fallback.
  Image empty(200, 200);
  r = RadialLimits(empty, 100, 100, 20, 20, 100, false, {50, 50}, {});
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.position, (TrackPoint{50, 50}));
}

TEST(GetLum, ReadsOutsideCountAsBlackAndAreLoggedWhenDebugIsOn) {
  Image img(100, 50);
  img.Fill({30, 60, 90});  // luminance 60
  RecordingLog log;
  const LumReadContext ctx{&log, {40, 20}, {42, 22}, {1, 2, 3, 4}};
  EXPECT_EQ(GetLum(img, 10, 10, ctx), 60);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(GetLum(img, -3, 55, ctx), 0);
  const std::vector<std::string> expected = {"Erreur GetLum dans Cadres", "XY=40,20", "XXYY=-3,55",
                                             "Position X,Y : 42,22",
                                             "XLeft,Ytop,Xright,Ybot : 1,2,3,4"};
  EXPECT_EQ(log.lines, expected);
  // Without a log ("Debug actif" off) nothing is written and the read is 0.
  EXPECT_EQ(GetLum(img, 100, 0, {}), 0);

  // The rays of a zone taller than the frame leave it: they read black (no
  // hit there) and log each read, and the scan goes on to the other rays.
  Image frame(100, 30);
  frame.Fill({200, 200, 200});  // nothing inside is active for a dark object
  RecordingLog rays;
  const LimitsResult r =
      RadialLimits(frame, 50, 15, 20, 20, 100, true, {0, 0}, {&rays, {50, 15}, {50, 15}, {}});
  ASSERT_FALSE(rays.lines.empty());
  EXPECT_EQ(rays.lines.size() % 5, 0u);
  EXPECT_EQ(rays.lines[0], "Erreur GetLum dans Cadres");
  EXPECT_EQ(rays.lines[4], "XLeft,Ytop,Xright,Ybot : 30,0,70,29");
  // Only the rays that leave the frame (72..108 and 252..288 degrees) hit,
  // on the black outside: 6 hits.
  EXPECT_TRUE(r.found);
  EXPECT_EQ(rays.lines.size(), 6u * 5);
}

TEST(Drift, MovesByWholePixelsOnceTheAccumulatorPassesTheDeadBand) {
  DriftState d;
  d.rateX = 0.3;
  d.rateY = -0.5;
  d.durationS = 60;
  const int64_t t0 = 22 * 3600000LL;
  RestartDrift(d, t0, {100, 100});
  // 0.3 px/s with a dead band of 2: 2.01 px after 6.7 s, not before.
  EXPECT_EQ(DriftStep(d, t0 + 6600, 2, false, {100, 100}), (TrackPoint{100, 97}));
  EXPECT_NEAR(d.accumY, -0.3, 1e-9);  // -3.3 moved by -3
  EXPECT_EQ(DriftStep(d, t0 + 6700, 2, false, {100, 97}), (TrackPoint{102, 97}));
  EXPECT_NEAR(d.accumX, 0.01, 1e-9);

  // Autoguiding with no drift defined stays on the zone centre.
  DriftState none;
  none.rateX = 5;
  RestartDrift(none, t0, {10, 10});
  EXPECT_EQ(DriftStep(none, t0 + 10000, 0, true, {10, 10}), (TrackPoint{10, 10}));

  // Across midnight the step is the short way round.
  DriftState m;
  m.rateX = 1;
  m.durationS = 1;
  RestartDrift(m, 86400000 - 1000, {50, 50});
  EXPECT_EQ(DriftStep(m, 1500, 0, false, {50, 50}), (TrackPoint{52, 50}));
}

TEST(FwhmRing, ShowsTheMeanOfTheLastNSamples) {
  FwhmRing ring;
  // Zeros count until the ring has filled.
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 8), 2);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 8), 4);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 8), 6);
  EXPECT_FALSE(ring.full);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 8), 8);
  EXPECT_TRUE(ring.full);
  // A steady value stays exact; then the oldest samples leave one by one.
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 8), 8);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 4), 7);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 4), 6);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 4), 5);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 4, 4), 4);
  ResetFwhmRing(ring);
  EXPECT_FALSE(ring.full);
  EXPECT_DOUBLE_EQ(AddFwhmSample(ring, 2, 6), 3);
}

}  // namespace
}  // namespace orniva
