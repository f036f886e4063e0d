#include "sim/sky_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim_rig.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

// A wide field around Vega: 35 mm lens, 5.6 µm pixels at 640 across, so
// 20.6"/px at 1024 × 768 and about 6° × 4.4°.
SimOptics WideLens() {
  SimOptics o;
  o.focal = 35;
  return o;
}

TEST(SkyModel, StarsAroundVegaLandWhereCatalogueAndSamplingPutThem) {
  const StarRecord* vega = FindStar("Alp Lyr");
  ASSERT_NE(vega, nullptr);
  SkyParameters p = QuietSky();
  p.zeroMagnitudeFlux = 60000;
  SkyModel sky(SharedCatalogues(), p, WideLens());
  const SimPointing pointing{vega->RightAscension, vega->Declination, 0};
  const int w = 1024, h = 768;
  const double scale = SimSampling(WideLens(), w);
  EXPECT_NEAR(scale, 206264.8 * 0.0035 / 35, 0.01);
  Image frame;
  sky.Render(frame, w, h, pointing, SimExposure{1.0, 1.0}, 0);

  // The sampling puts each star at tan(distance) / scale from the centre,
  // east to the left and north up.
  const double sigma = p.diffractionFwhmPixels / 2.354820045;
  int checked = 0;
  for (const StarRecord& s : SharedCatalogues().Stars()) {
    const double distance =
        AngularDistance(vega->RightAscension, vega->Declination, s.RightAscension, s.Declination);
    if (distance > 4 * 3600) continue;
    double x, y;
    ASSERT_TRUE(sky.Project(pointing, w, h, s.RightAscension, s.Declination, x, y));
    const double r = std::tan(distance * kRadianPerArcsec) * kArcsecPerRadian / scale;
    EXPECT_NEAR(std::hypot(x - (w - 1) / 2.0, y - (h - 1) / 2.0), r, 0.02) << s.StarName;
    if (s.Declination > vega->Declination + 600) {
      EXPECT_LT(y, (h - 1) / 2.0) << s.StarName;
    }
    if (std::sin((s.RightAscension - vega->RightAscension) * kRadianPerArcsec) > 0.01) {
      EXPECT_LT(x, (w - 1) / 2.0) << s.StarName;
    }
    // Measured centroid, for stars well inside, unsaturated, bright enough
    // and alone.
    const double peak = p.zeroMagnitudeFlux * std::pow(10.0, -0.4 * s.Magnitude) /
                        (2 * std::numbers::pi * sigma * sigma);
    if (x < 6 || y < 6 || x > w - 7 || y > h - 7 || peak > 240 || peak < 15) continue;
    bool alone = true;
    for (const StarRecord& o : SharedCatalogues().Stars())
      if (&o != &s && AngularDistance(o.RightAscension, o.Declination, s.RightAscension,
                                      s.Declination) < 10 * scale)
        alone = false;
    if (!alone) continue;
    double cx, cy;
    ASSERT_TRUE(Centroid(frame, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
                         4, 0, cx, cy));
    EXPECT_NEAR(cx, x, 0.3) << s.StarName << " mag " << s.Magnitude;
    EXPECT_NEAR(cy, y, 0.3) << s.StarName << " mag " << s.Magnitude;
    ++checked;
  }
  EXPECT_GE(checked, 5);
  // Vega itself is saturated at the centre.
  EXPECT_EQ(Level(frame, w / 2, h / 2), 255);
}

TEST(SkyModel, RotationTurnsTheFieldAboutTheCentre) {
  const StarRecord* vega = FindStar("Alp Lyr");
  SkyModel sky(SharedCatalogues(), QuietSky(), WideLens());
  // A star due north appears up at rotation 0, to the right at 90° (up is
  // then east) and down at 180°.
  const double ra = vega->RightAscension, dec = vega->Declination + 1800;
  const double scale = SimSampling(WideLens(), 640);
  struct Case {
    double degrees, dx, dy;
  } cases[] = {{0, 0, -1}, {90, 1, 0}, {180, 0, 1}};
  for (const Case& c : cases) {
    double x, y;
    ASSERT_TRUE(sky.Project({ra, vega->Declination, c.degrees * 3600}, 640, 480, ra, dec, x, y));
    EXPECT_NEAR(x - 319.5, c.dx * 1800 / scale, 0.05) << c.degrees;
    EXPECT_NEAR(y - 239.5, c.dy * 1800 / scale, 0.05) << c.degrees;
  }
}

TEST(SkyModel, SameSeedAndTimeGiveTheSameFrame) {
  const StarRecord* vega = FindStar("Alp Lyr");
  SkyModel sky(SharedCatalogues(), SkyParameters{}, SimOptics{});
  const SimPointing at{vega->RightAscension, vega->Declination, 0};
  Image a, b, c;
  sky.Render(a, 320, 240, at, SimExposure{0.5, 1.0}, 1000);
  sky.Render(b, 320, 240, at, SimExposure{0.5, 1.0}, 1000);
  sky.Render(c, 320, 240, at, SimExposure{0.5, 1.0}, 1040);
  EXPECT_TRUE(std::equal(a.Bits(), a.Bits() + a.ByteSize(), b.Bits()));
  EXPECT_FALSE(std::equal(a.Bits(), a.Bits() + a.ByteSize(), c.Bits()));
}

// Mean level of a rectangle.
double Mean(const Image& image, Rect r) {
  double sum = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) sum += Level(image, x, y);
  return sum / (r.Width() * r.Height());
}

TEST(SkyModel, DarkCurrentGrowsWithExposureAndHotPixelsStayPut) {
  SkyParameters p;
  p.skyBackground = 0;
  p.readNoise = 0;
  p.photonNoise = false;
  p.darkCurrent = 20;
  p.hotPixels = 10;
  p.hotPixelFactor = 100;
  SkyModel sky(SharedCatalogues(), p, SimOptics{});
  // Nothing but dark: the exposure hides no star (a pointing far from any).
  const SimPointing empty{0, -89.9 * 3600, 0};
  Image one, two, later;
  sky.Render(one, 320, 240, empty, SimExposure{1.0, 1.0}, 0);
  sky.Render(two, 320, 240, empty, SimExposure{2.0, 1.0}, 0);
  sky.Render(later, 320, 240, empty, SimExposure{1.0, 1.0}, 5000);
  EXPECT_NEAR(Mean(one, {100, 100, 140, 140}), 20, 1);
  EXPECT_NEAR(Mean(two, {100, 100, 140, 140}), 40, 1);
  int hot = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      if (Level(one, x, y) == 255) {
        ++hot;
        EXPECT_EQ(Level(later, x, y), 255) << x << "," << y;
      }
  EXPECT_GE(hot, 8);  // ten drawn, two could share a place
}

TEST(SkyModel, VignettingAndDustDarkenAnEvenSky) {
  SkyParameters p = QuietSky();
  p.skyBackground = 200;
  p.vignetting = 0.3;
  p.dustShadows = 3;
  p.dustDepth = 0.2;
  SkyModel sky(SharedCatalogues(), p, SimOptics{});
  Image flat;
  sky.Render(flat, 640, 480, SimPointing{0, -89.9 * 3600, 0}, SimExposure{1.0, 1.0}, 0);
  EXPECT_NEAR(Level(flat, 0, 0), 140, 2);
  int dusty = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const double d2 = (x - 319.5) * (x - 319.5) + (y - 239.5) * (y - 239.5);
      const double clean = 200 * (1 - 0.3 * d2 / (319.5 * 319.5 + 239.5 * 239.5));
      if (Level(flat, x, y) < clean - 20) ++dusty;
    }
  EXPECT_GT(dusty, 3 * 200);  // three shadows of some tens of pixels across
}

TEST(SkyModel, RawMosaicCarriesEachFilterColour) {
  SkyParameters p = QuietSky();
  p.skyBackground = 200;
  SkyModel sky(SharedCatalogues(), p, SimOptics{});
  Image raw;
  sky.Render(raw, 64, 48, SimPointing{0, -89.9 * 3600, 0}, SimExposure{1.0, 1.0, true}, 0);
  // Red green / green blue, the level in all three bytes.
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const int expected = (y % 2 == 0) ? (x % 2 == 0 ? 180 : 200) : (x % 2 == 0 ? 200 : 150);
      ASSERT_EQ(raw.Pixel(x, y), (Bgr{uint8_t(expected), uint8_t(expected), uint8_t(expected)}))
          << x << "," << y;
    }
}

TEST(SkyModel, SeeingBlursAndShiftsTheStar) {
  const StarRecord* vega = FindStar("Alp Lyr");
  SkyParameters p = QuietSky();
  p.zeroMagnitudeFlux = 20000;
  p.seeingFwhm = 4.0;
  p.seeingJitter = 1.5;
  SimOptics o;  // 2000 mm: 0.58"/px, seeing of about 7 px
  SkyModel sky(SharedCatalogues(), p, o);
  const SimPointing at{vega->RightAscension, vega->Declination, 0};
  double sx = 0, sxx = 0;
  const int n = 30;
  for (int i = 0; i < n; ++i) {
    Image f;
    sky.Render(f, 320, 240, at, SimExposure{0.1, 1.0}, i * 40);
    double cx, cy;
    ASSERT_TRUE(Centroid(f, 160, 120, 30, 0, cx, cy));
    sx += cx;
    sxx += cx * cx;
  }
  const double deviation = std::sqrt(sxx / n - (sx / n) * (sx / n));
  const double jitterPixels = 1.5 / SimSampling(o, 320);
  EXPECT_GT(deviation, 0.5 * jitterPixels);
  EXPECT_LT(deviation, 1.6 * jitterPixels);
}

}  // namespace
}  // namespace orniva
