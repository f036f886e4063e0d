#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/image.h"
#include "sim/sky_model.h"
#include "sky/catalogues.h"

namespace orniva {

// The catalogues of the shared data folder, read once for all tests.
inline const Catalogues& SharedCatalogues() {
  static const Catalogues* catalogues = [] {
    auto* c = new Catalogues;
    const auto errors = c->LoadCatalogues(std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/");
    for (const auto& e : errors) ADD_FAILURE() << e.Text();
    return c;
  }();
  return *catalogues;
}

inline const StarRecord* FindStar(std::string_view name) {
  for (const StarRecord& s : SharedCatalogues().Stars())
    if (s.StarName.find(name) != std::string::npos) return &s;
  return nullptr;
}

// Grey level of a pixel (the brightest of its three bytes, which also reads
// a raw mosaic).
inline int Level(const Image& image, int x, int y) {
  const Bgr c = image.Pixel(x, y);
  return std::max({c.b, c.g, c.r});
}

// Centroid of the light above background in a square of half-width radius
// around (x, y). False when there is no light.
inline bool Centroid(const Image& image, int x, int y, int radius, double background, double& cx,
                     double& cy) {
  double sum = 0, sx = 0, sy = 0;
  for (int j = y - radius; j <= y + radius; ++j)
    for (int i = x - radius; i <= x + radius; ++i) {
      if (!image.Contains(i, j)) continue;
      const double v = Level(image, i, j) - background;
      if (v <= 0) continue;
      sum += v;
      sx += v * i;
      sy += v * j;
    }
  if (sum <= 0) return false;
  cx = sx / sum;
  cy = sy / sum;
  return true;
}

// The brightest pixel of the image.
inline void Brightest(const Image& image, int& bx, int& by) {
  int best = -1;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      if (Level(image, x, y) > best) best = Level(image, x, y), bx = x, by = y;
}

// The brightest spot of the page is a saturated star within 8 pixels of
// the middle.
inline void ExpectSaturatedStarInTheMiddle(const Image& page) {
  int bx = 0, by = 0;
  Brightest(page, bx, by);
  EXPECT_EQ(Level(page, bx, by), 255);
  EXPECT_NEAR(bx, page.Width() / 2, 8);
  EXPECT_NEAR(by, page.Height() / 2, 8);
}

// A sky with nothing but the stars: no noise, background, defects or seeing.
inline SkyParameters QuietSky() {
  SkyParameters p;
  p.seeingFwhm = 0;
  p.seeingJitter = 0;
  p.diffractionFwhmPixels = 3.0;
  p.skyBackground = 0;
  p.readNoise = 0;
  p.photonNoise = false;
  p.darkCurrent = 0;
  p.hotPixels = 0;
  p.vignetting = 0;
  p.dustShadows = 0;
  p.deepSky = false;
  return p;
}

}  // namespace orniva
