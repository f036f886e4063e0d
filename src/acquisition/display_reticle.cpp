#include "acquisition/display_reticle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/number_format.h"
#include "core/rounding.h"

namespace orniva {

int GraduationStep(double p) {
  const int64_t n = Trunc(p);
  if (n == 0) {
    if (p >= 0.5) return 60;
    if (p >= 0.25) return 120;
    if (p >= 0.125) return 300;
    if (p >= 0.05) return 600;
    if (p >= 0.025) return 900;
    if (p >= 0.0166) return 1800;
    if (p >= 0.0088) return 3600;
    if (p >= 0.0044) return 7200;
    if (p >= 0.0022) return 18000;
    return 36000;
  }
  if (n == 1) return 30;
  if (n <= 3) return 15;
  if (n <= 6) return 10;
  if (n <= 9) return 5;
  return 2;  // 10 and more pixels per arc-second: the finest step
}

ReticleScale ComputeReticleScale(int frameWidth, double sampling) {
  ReticleScale r;
  double p = sampling > 0 && std::isfinite(sampling) ? 1.0 / sampling : 0.0;
  int64_t extent = 648000;
  if (p != 0 && std::isfinite(p)) {
    extent = Round(frameWidth / p);
  } else {
    p = 0.0001;
  }
  r.pixelsPerArcsec = p;
  r.step = GraduationStep(p);
  r.extent = static_cast<int>(extent);
  int divisor = 1;
  const char* sign = "\"";
  if (r.step >= 3600) {
    divisor = 3600;
    sign = "\xC2\xB0";  // degree sign
  } else if (r.step >= 60) {
    divisor = 60;
    sign = "'";
  }
  for (int64_t i = r.step; i <= extent; i += r.step) {
    r.graduations.push_back({static_cast<int>(i),
                             static_cast<int>(Trunc(p * static_cast<double>(i))),
                             FormatGeneral(static_cast<double>(i) / divisor, 3) + sign});
  }
  return r;
}

Font ReticleFont() {
  return Font{"Arial", 7, false, Rgb(128, 128, 0)};
}

void DrawReticle(Image& overlay, const ReticleParams& prm, const DirectionTexts& texts) {
  const ReticleScale scale = ComputeReticleScale(prm.frameWidth, prm.sampling);
  Canvas cv(overlay);
  cv.font = ReticleFont();
  cv.pen = {Rgb(0, 255, 255), 1, PenStyle::Dot, PenMode::NotXor};
  const int x = prm.x, y = prm.y;

  // Graduations farther than any corner of the overlay (plus a label's
  // width) cannot show.
  const double farthest =
      std::hypot(std::max(x, overlay.Width() - x), std::max(y, overlay.Height() - y)) + 100;
  if (prm.circles) {
    for (const Graduation& g : scale.graduations) {
      if (g.radius > farthest) break;
      cv.Ellipse(x - g.radius, y - g.radius, x + g.radius, y + g.radius);
    }
  }

  constexpr double kDeg = std::numbers::pi / 180.0;
  const double r = prm.orientation * kDeg, q = (prm.orientation - 90) * kDeg;
  auto off = [](double length, double angle, bool sine) {
    return static_cast<int>(Trunc(length * (sine ? std::sin(angle) : std::cos(angle))));
  };
  if (prm.axes) {
    cv.pen.style = PenStyle::Solid;
    const double axes[2] = {r, q};
    for (int k = 0; k < 2; ++k) {
      const double a = axes[k];
      cv.pen.width = k == 0 ? 2 : 1;
      cv.MoveTo(x - off(800, a, false), y - off(800, a, true));
      cv.LineTo(x + off(800, a, false), y + off(800, a, true));
      const double five = 5 * kDeg;
      cv.MoveTo(x + off(35, a + five, false), y + off(35, a + five, true));
      cv.LineTo(x + off(40, a, false), y + off(40, a, true));
      cv.LineTo(x + off(35, a - five, false), y + off(35, a - five, true));
    }
  }

  cv.brush.clear = true;
  for (const Graduation& g : scale.graduations) {
    if (g.radius > farthest) break;
    for (double a : {r, q}) {
      const int dx = static_cast<int>(Trunc(g.radius * std::cos(a)));
      const int dy = static_cast<int>(Trunc(g.radius * std::sin(a)));
      cv.TextOut(x - dx, y - dy, g.label);
      cv.TextOut(x + dx, y + dy, g.label);
    }
  }
  cv.TextOut(x + off(50, r, false), y + off(50, r, true), texts.ouest);
  cv.TextOut(x - off(50, r, false), y - off(50, r, true), texts.est);
  cv.TextOut(x + off(50, q, false), y + off(50, q, true), texts.nord);
  cv.TextOut(x - off(50, q, false), y - off(50, q, true), texts.sud);
}

}  // namespace orniva
