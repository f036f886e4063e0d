#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "acquisition/display_reticle.h"
#include "acquisition/display_text.h"
#include "acquisition/display_zone.h"

namespace orniva {
namespace {

constexpr Bgr kOlive = Rgb(128, 128, 0);
constexpr Bgr kCyan = Rgb(0, 255, 255);

Rect Bounds(const Image& img, Bgr background) {
  Rect r{img.Width(), img.Height(), 0, 0};
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) {
      if (img.Pixel(x, y) == background) continue;
      r.left = std::min(r.left, x);
      r.top = std::min(r.top, y);
      r.right = std::max(r.right, x + 1);
      r.bottom = std::max(r.bottom, y + 1);
    }
  return r;
}

TEST(ComputeDisplayZone, Table) {
  struct Case {
    Point centre, offset;
    int width, height;
    double size;
    Rect frameZone, zone, miniFrame, miniZone;
  };
  const Case cases[] = {
      // Centred on a 640 x 480 frame.
      {{320, 240},
       {0, 0},
       640,
       480,
       320,
       {160, 120, 481, 361},
       {0, 0, 321, 241},
       {40, 30, 120, 90},
       {0, 0, 80, 60}},
      // Near the top-left corner: clipped on the frame, kept in place on the page.
      {{10, 10},
       {0, 0},
       640,
       480,
       320,
       {0, 0, 171, 131},
       {150, 110, 321, 241},
       {0, 0, 42, 32},
       {37, 27, 80, 60}},
      // The offset moves the zone; the size's fraction is dropped.
      {{320, 240},
       {100, -40},
       640,
       480,
       320.9,
       {260, 80, 581, 321},
       {0, 0, 321, 241},
       {65, 20, 145, 80},
       {0, 0, 80, 60}},
      // Far outside: held so that one column and one row stay on the frame.
      {{5000, -5000},
       {0, 0},
       640,
       480,
       320,
       {639, 0, 640, 2},
       {0, 239, 1, 241},
       {159, 0, 160, 0},
       {0, 59, 0, 60}},
      {{-5000, 5000},
       {0, 0},
       640,
       480,
       320,
       {0, 479, 2, 480},
       {319, 0, 321, 1},
       {0, 119, 0, 120},
       {79, 0, 80, 0}},
      // A zone larger than the frame.
      {{50, 40},
       {0, 0},
       100,
       80,
       320,
       {0, 0, 100, 80},
       {110, 80, 210, 160},
       {0, 0, 25, 20},
       {27, 20, 52, 40}},
  };
  for (const Case& c : cases) {
    DisplayZoneInput in;
    in.displayCentre = c.centre;
    in.displayOffset = c.offset;
    in.frameWidth = c.width;
    in.frameHeight = c.height;
    in.size = c.size;
    DisplayZone z = ComputeDisplayZone(in);
    SCOPED_TRACE(std::to_string(c.centre.x) + "," + std::to_string(c.centre.y));
    EXPECT_EQ(z.frameZone, c.frameZone);
    EXPECT_EQ(z.zone, c.zone);
    EXPECT_EQ(z.miniFrameZone, c.miniFrame);
    EXPECT_EQ(z.miniZone, c.miniZone);
    // The page holds exactly the frame pixels that were copied.
    EXPECT_EQ(z.zone.Width(), z.frameZone.Width());
    EXPECT_EQ(z.zone.Height(), z.frameZone.Height());
  }
}

TEST(DrawZoneOverlay, DottedOliveFrameOnWhite) {
  Image overlay(12, 9);
  overlay.Fill(kBlack);
  DrawZoneOverlay(overlay, {2, 1, 10, 7});  // outline columns 2..9, rows 1..6
  EXPECT_EQ(Bounds(overlay, kWhite), (Rect{2, 1, 10, 7}));
  EXPECT_EQ(overlay.Pixel(2, 1), kOlive);
  EXPECT_EQ(overlay.Pixel(4, 1), kOlive);
  EXPECT_EQ(overlay.Pixel(5, 1), kWhite);  // the first gap of the dots
  EXPECT_EQ(overlay.Pixel(8, 1), kOlive);
  EXPECT_EQ(overlay.Pixel(5, 4), kWhite);  // inside
  // Laid on a grey page, the frame lightens it where the dots are.
  Image page(12, 9);
  page.Fill(Rgb(40, 40, 40));
  MergePaint(page, {0, 0, 12, 9}, overlay, {0, 0, 12, 9});
  EXPECT_EQ(page.Pixel(2, 1), Rgb(40 | 127, 40 | 127, 255));
  EXPECT_EQ(page.Pixel(5, 1), Rgb(40, 40, 40));
}

TEST(DrawZoneMarker, ShapesAndCentreMarks) {
  const Bgr red = Rgb(255, 0, 0);
  {  // square with a cross
    Image img(21, 21);
    Canvas cv(img);
    DrawZoneMarker(cv, 10, 10, 0, 0, red, 5);
    EXPECT_EQ(Bounds(img, kBlack), (Rect{5, 5, 15, 15}));
    EXPECT_EQ(img.Pixel(5, 5), red);
    EXPECT_EQ(img.Pixel(14, 14), red);  // box corner, right/bottom excluded
    EXPECT_EQ(img.Pixel(15, 15), kBlack);
    EXPECT_EQ(img.Pixel(7, 7), red);      // first diagonal
    EXPECT_EQ(img.Pixel(14, 5), red);     // second diagonal starts at x + h - 1
    EXPECT_EQ(img.Pixel(6, 13), red);     // towards (x - h - 1, y + h), left out
    EXPECT_EQ(img.Pixel(8, 12), kBlack);  // the inside is not filled
  }
  {  // circle with a point: the point only, no diagonals
    Image img(21, 21);
    Canvas cv(img);
    DrawZoneMarker(cv, 10, 10, 1, 1, Rgb(0, 255, 0), 6);
    EXPECT_EQ(img.Pixel(10, 10), Rgb(0, 255, 0));
    EXPECT_EQ(img.Pixel(9, 9), kBlack);
    EXPECT_EQ(img.Pixel(4, 4), kBlack);  // box corner, off the circle
    EXPECT_EQ(Bounds(img, kBlack), (Rect{4, 4, 16, 16}));
  }
  {  // circle with a cross: the diagonals shrink to h * 0.707
    Image img(21, 21);
    Canvas cv(img);
    DrawZoneMarker(cv, 10, 10, 0, 1, red, 10);
    EXPECT_EQ(img.Pixel(3, 3), red);  // 10 - Trunc(7.07)
    EXPECT_EQ(img.Pixel(2, 2), kBlack);
  }
}

TEST(Reticle, GraduationStepTable) {
  struct Case {
    double p;
    int step;
  };
  const Case cases[] = {
      {0.9, 60},      {0.5, 60},      {0.49, 120},     {0.25, 120},    {0.2, 300},
      {0.125, 300},   {0.1, 600},     {0.05, 600},     {0.03, 900},    {0.025, 900},
      {0.02, 1800},   {0.0166, 1800}, {0.01, 3600},    {0.0088, 3600}, {0.005, 7200},
      {0.0044, 7200}, {0.003, 18000}, {0.0022, 18000}, {0.002, 36000}, {0.0001, 36000},
      {1, 30},        {1.99, 30},     {2, 15},         {3.5, 15},      {4, 10},
      {6.9, 10},      {7, 5},         {9.9, 5},        {10, 2},        {32.5, 2},
      {100, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(GraduationStep(c.p), c.step) << c.p;
}

TEST(Reticle, LabelsInSecondsMinutesAndDegrees) {
  struct Case {
    int width;
    double sampling;
    int step, extent;
    std::vector<std::string> firstLabels;
    int firstRadius;
  };
  const Case cases[] = {
      // 2"/pixel: every 60", labelled in minutes.
      {640, 2, 60, 1280, {"1'", "2'", "3'"}, 30},
      {640, 0.5, 15, 320, {"15\"", "30\"", "45\""}, 30},
      // 40"/pixel (p = 0.025): every 15', still in minutes.
      {640, 40, 900, 25600, {"15'", "30'", "45'"}, 22},
      {640, 400, 18000, 256000, {"5\xC2\xB0", "10\xC2\xB0", "15\xC2\xB0"}, 45},
      // An unset sampling: the coarsest scale.
      {640, 0, 36000, 648000, {"10\xC2\xB0", "20\xC2\xB0", "30\xC2\xB0"}, 3},
      {640, -1, 36000, 648000, {"10\xC2\xB0", "20\xC2\xB0", "30\xC2\xB0"}, 3},
  };
  for (const Case& c : cases) {
    ReticleScale s = ComputeReticleScale(c.width, c.sampling);
    SCOPED_TRACE(c.sampling);
    EXPECT_EQ(s.step, c.step);
    EXPECT_EQ(s.extent, c.extent);
    ASSERT_GE(s.graduations.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(s.graduations[i].label, c.firstLabels[i]);
    EXPECT_EQ(s.graduations[0].radius, c.firstRadius);
    EXPECT_LE(s.graduations.back().arcsec, c.extent);
    EXPECT_GT(s.graduations.back().arcsec + c.step, c.extent);
  }
  EXPECT_EQ(ComputeReticleScale(640, 2).graduations.back().label, "21'");
  // 1 pixel per arc-second, 1024 wide: labels past 999 turn scientific.
  EXPECT_EQ(ComputeReticleScale(1024, 1).graduations.back().label, "1.02E003\"");
}

// The cross and the direction labels follow the orientation. A frame 20
// pixels wide at 2"/pixel has no graduation, so only they are drawn.
TEST(Reticle, CrossAndDirectionsFollowTheOrientation) {
  for (double orientation : {0.0, 90.0, 30.0}) {
    Image overlay(800, 600);
    overlay.Fill(kWhite);
    ReticleParams prm;
    prm.x = 400;
    prm.y = 300;
    prm.frameWidth = 20;
    prm.sampling = 2;
    prm.orientation = orientation;
    DrawReticle(overlay, prm);
    const double r = orientation * M_PI / 180, q = r - M_PI / 2;
    SCOPED_TRACE(orientation);
    auto cyanNear = [&](double angle, int d) {
      int x = 400 + static_cast<int>(d * std::cos(angle)),
          y = 300 + static_cast<int>(d * std::sin(angle));
      int n = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) n += overlay.Pixel(x + dx, y + dy) == kCyan;
      return n;
    };
    for (int d : {-250, -120, 120, 250}) {
      EXPECT_GE(cyanNear(r, d), 4) << d;  // west-east, 2 pixels wide
      EXPECT_GE(cyanNear(q, d), 1) << d;  // north-south
      EXPECT_LE(cyanNear(q, d), 3) << d;
    }
    EXPECT_EQ(cyanNear(r + M_PI / 4, 150), 0);
  }
  // Orientation 0: "Ouest" right of the centre, "Est" left, "Nord" above,
  // "Sud" below, each with its top-left corner 50 pixels away.
  Image overlay(800, 600);
  overlay.Fill(kWhite);
  ReticleParams prm;
  prm.x = 400;
  prm.y = 300;
  prm.axes = prm.circles = false;
  prm.frameWidth = 20;
  prm.sampling = 2;
  DrawReticle(overlay, prm, {"N", "S", "E", "W"});
  Image expected(800, 600);
  expected.Fill(kWhite);
  Canvas cv(expected);
  cv.font = ReticleFont();
  cv.brush.clear = true;
  cv.TextOut(450, 300, "W");
  cv.TextOut(350, 300, "E");
  cv.TextOut(400, 250, "N");
  cv.TextOut(400, 350, "S");
  EXPECT_EQ(Bounds(overlay, kWhite), Bounds(expected, kWhite));
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      ASSERT_EQ(overlay.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
}

TEST(Reticle, DottedCirclesAtEachGraduation) {
  Image overlay(800, 600);
  overlay.Fill(kWhite);
  ReticleParams prm;
  prm.x = 400;
  prm.y = 300;
  prm.axes = false;
  prm.sampling = 2;  // circles every 30 pixels
  DrawReticle(overlay, prm);
  // Count pixels on rings between 30 and 60 degrees (away from the labels on the axes).
  auto ringPixels = [&](int radius) {
    int n = 0;
    for (int y = 300 + radius / 2; y < 300 + radius; ++y)
      for (int x = 400 + radius / 2; x < 400 + radius; ++x) {
        double d = std::hypot(x - 400, y - 300);
        if (std::abs(d - radius) < 1.5 && overlay.Pixel(x, y) == kCyan) ++n;
      }
    return n;
  };
  for (int radius : {30, 60, 90, 270}) {
    int arc = static_cast<int>(radius * M_PI / 6);     // 30 to 60 degrees
    EXPECT_GT(ringPixels(radius), arc / 4) << radius;  // dotted: about half
    EXPECT_LT(ringPixels(radius), arc) << radius;
  }
  EXPECT_EQ(overlay.Pixel(400 + 32, 300 + 32), kWhite);  // between two circles
}

TEST(PageTexts, TimeTextSitsInTheBottomRightCorner) {
  Image page(200, 100);
  page.Fill(kWhite);
  Canvas cv(page);
  DrawTimeText(cv, "21:34:56", {20, 10, 150, 80});
  TextSize size = cv.TextExtent("21:34:56");
  Rect b = Bounds(page, kWhite);
  EXPECT_GE(b.left, 150 - size.width);
  EXPECT_GE(b.top, 80 - size.height);
  EXPECT_LE(b.right, 150);
  EXPECT_LE(b.bottom, 80);
  EXPECT_GE(b.right, 147);  // the last digit reaches the corner
  EXPECT_EQ(page.Pixel(b.left, b.top).r, 255);
}

TEST(PageTexts, IntensityLabelsAboveTheZone) {
  Image page(200, 100);
  page.Fill(kWhite);
  Canvas cv(page);
  DrawIntensityLabels(cv, true, 12, false, 0, {50, 60, 150, 90});
  Rect minOnly = Bounds(page, kWhite);
  EXPECT_GE(minOnly.left, 50);
  EXPECT_LT(minOnly.right, 100);
  EXPECT_LE(minOnly.bottom, 60);
  page.Fill(kWhite);
  DrawIntensityLabels(cv, false, 0, true, 255, {50, 60, 150, 90});
  Rect maxOnly = Bounds(page, kWhite);
  EXPECT_GT(maxOnly.left, 100);
  EXPECT_LE(maxOnly.right, 150);
  EXPECT_GE(maxOnly.right, 146);
  EXPECT_LE(maxOnly.bottom, 60);
}

TEST(ZoneScrollBar, ResultPageSizesAndXVid) {
  struct Case {
    double s, aspect;
    int frameHeight;
    bool bin2;
    int width, height, shown;
    bool xvid;
  };
  const Case cases[] = {
      {320, 4.0 / 3, 480, false, 320, 240, 240, true},
      {322, 322.0 / 241, 480, false, 322, 241, 241, false},
      {320, 4.0 / 3, 200, false, 320, 200, 200, true},  // held to the frame height
      {101, 4.0 / 3, 480, true, 50, 38, 76, false},     // Round(50.0), Round(37.5), Round(75.5)
      {640, 4.0 / 3, 480, true, 320, 240, 480, true},
  };
  for (const Case& c : cases) {
    ResultPageSize r = ZoneScrollPageSize(c.s, c.aspect, c.frameHeight, c.bin2);
    EXPECT_EQ(r.width, c.width) << c.s;
    EXPECT_EQ(r.height, c.height) << c.s;
    EXPECT_EQ(r.shownHeight, c.shown) << c.s;
    EXPECT_EQ(XVidCompatible(r.width, r.height), c.xvid) << c.s;
  }
}

}  // namespace
}  // namespace orniva
