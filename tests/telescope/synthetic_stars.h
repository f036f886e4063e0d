#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/image.h"

namespace orniva::test {

// A star with a Gaussian profile at a sub-pixel position.
struct Star {
  double x = 0, y = 0;
  double peak = 200;   // above the background
  double sigma = 1.5;  // pixels; FWHM = 2.355 sigma
};

// Renders grey stars over a background with Gaussian noise (fixed seed, so
// every run sees the same frames).
inline void RenderStars(Image& image, const std::vector<Star>& stars, double background = 8,
                        double noise = 2, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> gauss(0.0, 1.0);
  for (int y = 0; y < image.Height(); ++y) {
    uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x, p += 3) {
      double v = background + (noise > 0 ? noise * gauss(rng) : 0);
      for (const Star& s : stars) {
        const double dx = x - s.x, dy = y - s.y;
        const double r2 = dx * dx + dy * dy;
        if (r2 < 100 * s.sigma * s.sigma) v += s.peak * std::exp(-r2 / (2 * s.sigma * s.sigma));
      }
      const auto b = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
      p[0] = p[1] = p[2] = b;
    }
  }
}

inline void SetGrey(Image& image, int x, int y, int lum) {
  image.SetPixel(x, y,
                 {static_cast<uint8_t>(lum), static_cast<uint8_t>(lum), static_cast<uint8_t>(lum)});
}

}  // namespace orniva::test
