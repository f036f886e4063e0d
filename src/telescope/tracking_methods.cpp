#include "telescope/tracking_methods.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/rounding.h"

namespace orniva {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// The columns and rows of a zone scan that fall inside the image.
struct Span {
  int x0, x1, y0, y1;  // inclusive; empty when x0 > x1 or y0 > y1
};

Span ScanSpan(const Image& image, int x, int y, int halfW, int halfH) {
  return {std::max(0, x - halfW), std::min(image.Width() - 1, x + halfW), std::max(0, y - halfH),
          std::min(image.Height() - 1, y + halfH - 1)};
}

template <bool kFocus>
TrackPoint BrightestScan(const Image& image, const Span& s, TrackPoint result, int tolerance,
                         int threshold, PassStats& stats) {
  int peak = stats.peak;
  int64_t sum = 0, count = 0;
  for (int row = s.y0; row <= s.y1; ++row) {
    const uint8_t* p = image.ScanLine(row) + 3 * s.x0;
    for (int col = s.x0; col <= s.x1; ++col, p += 3) {
      const int lum = Luminance(p);
      sum += lum;
      if constexpr (kFocus) count += lum > threshold;
      if (lum > peak + tolerance) {
        peak = lum;
        result = {static_cast<double>(col), static_cast<double>(row)};
      }
    }
  }
  stats.peak = peak;
  if constexpr (kFocus) {
    stats.focusLumSum += sum;
    stats.focusCount += count;
  } else {
    stats.zoneLumSum += sum;
  }
  return result;
}

template <bool kFocus>
void AxisSumScan(const Image& image, const Span& s, int threshold, PassStats& stats, int64_t& sx,
                 int64_t& sy, int64_t& sw) {
  int peak = stats.peak;
  int64_t sum = 0, count = 0;
  for (int row = s.y0; row <= s.y1; ++row) {
    const uint8_t* p = image.ScanLine(row) + 3 * s.x0;
    int64_t rowWeight = 0, rowX = 0;
    for (int col = s.x0; col <= s.x1; ++col, p += 3) {
      const int lum = Luminance(p);
      peak = std::max(peak, lum);
      sum += lum;
      if constexpr (kFocus) count += lum > threshold;
      const int64_t w = lum * lum;
      rowX += col * w;
      rowWeight += w;
    }
    sx += rowX;
    sy += row * rowWeight;
    sw += rowWeight;
  }
  stats.peak = peak;
  if constexpr (kFocus) {
    stats.focusLumSum += sum;
    stats.focusCount += count;
  } else {
    stats.zoneLumSum += sum;
  }
}

bool Active(int lum, int threshold, bool dark) {
  return dark ? lum < threshold : lum > threshold;
}

}  // namespace

int PixelFromPosition(double v) {
  return static_cast<int>(Round(v - 0.5));
}

bool ClampZoneCentre(int& x, int& y, int halfW, int halfH, int width, int height) {
  bool touched = false;
  if (x - halfW < 1) {
    x = halfW + 1;
    touched = true;
  } else if (width < x + halfW) {
    x = width - (halfW + 1);
    touched = true;
  }
  if (y - halfH < 1) {
    y = halfH + 1;
    touched = true;
  } else if (height < y + halfH) {
    y = height - (halfH + 1);
    touched = true;
  }
  return touched;
}

ZoneBox ClippedZoneBox(int x, int y, int halfW, int halfH, int width, int height) {
  return {std::max(0, x - halfW), std::max(0, y - halfH), std::min(width - 1, x + halfW),
          std::min(height - 1, y + halfH)};
}

TrackPoint FindBrightestPixel(const Image& image, int x, int y, int halfW, int halfH, int tolerance,
                              const StatsMode& mode, PassStats& stats) {
  const Span s = ScanSpan(image, x, y, halfW, halfH);
  const TrackPoint none{static_cast<double>(x), static_cast<double>(y)};
  if (mode.focus) return BrightestScan<true>(image, s, none, tolerance, mode.focusThreshold, stats);
  return BrightestScan<false>(image, s, none, tolerance, mode.focusThreshold, stats);
}

TrackPoint AxisSumCentroid(const Image& image, int x, int y, int halfW, int halfH,
                           const StatsMode& mode, PassStats& stats) {
  const Span s = ScanSpan(image, x, y, halfW, halfH);
  // Integer sums are exact (well inside 2^53), so they equal the float sums.
  int64_t sx = 0, sy = 0, sw = 0;
  if (mode.focus) {
    AxisSumScan<true>(image, s, mode.focusThreshold, stats, sx, sy, sw);
  } else {
    AxisSumScan<false>(image, s, mode.focusThreshold, stats, sx, sy, sw);
  }
  const double weight = sw == 0 ? 1e-6 : static_cast<double>(sw);
  return {static_cast<double>(Round(static_cast<double>(sx) / weight)),
          static_cast<double>(Round(static_cast<double>(sy) / weight))};
}

void SumZoneLuminance(const Image& image, int x, int y, int halfW, int halfH, const StatsMode& mode,
                      PassStats& stats) {
  const ZoneBox b = ClippedZoneBox(x, y, halfW, halfH, image.Width(), image.Height());
  int peak = stats.peak;
  for (int row = b.top; row <= b.bottom - 1; ++row) {
    const uint8_t* p = image.ScanLine(row) + 3 * b.left;
    for (int col = b.left; col <= b.right; ++col, p += 3) {
      const int lum = Luminance(p);
      AddStat(stats, mode, lum);
      peak = std::max(peak, lum);
    }
  }
  stats.peak = peak;
}

LimitsResult DetectLimits(const Image& image, int x, int y, int halfW, int halfH, int threshold,
                          bool dark, TrackPoint fallback, const LumReadContext& context) {
  const ZoneBox b = ClippedZoneBox(x, y, halfW, halfH, image.Width(), image.Height());
  LumReadContext ctx = context;
  ctx.box = b;
  // The box is clipped to the frame, so its pixels are read directly; a box
  // that is not (a frame smaller than the zone on both sides) goes through
  // the guarded read.
  const bool inside = image.Contains(b.left, b.top) && image.Contains(b.right, b.bottom);
  auto lum = [&](int col, int row) {
    return inside ? Luminance(image.ScanLine(row) + 3 * col) : GetLum(image, col, row, ctx);
  };
  auto rowCount = [&](int row) {
    int n = 0;
    if (inside) {
      const uint8_t* p = image.ScanLine(row) + 3 * b.left;
      for (int col = b.left; col <= b.right; ++col, p += 3)
        n += Active(Luminance(p), threshold, dark);
      return n;
    }
    for (int col = b.left; col <= b.right; ++col) n += Active(lum(col, row), threshold, dark);
    return n;
  };
  auto colCount = [&](int col) {
    int n = 0;
    for (int row = b.top; row <= b.bottom - 1; ++row) n += Active(lum(col, row), threshold, dark);
    return n;
  };
  // Walks from `from` by `step` while inside [lo, hi]; the first line whose
  // count exceeds the smallest non-zero count so far ends the walk, and the
  // line before it (in walking order) is the edge.
  auto findEdge = [](int from, int step, int lo, int hi, int smallest, auto count, int& edge) {
    for (int line = from; line >= lo && line <= hi; line += step) {
      const int n = count(line);
      if (n == 0) continue;
      if (n > smallest) {
        edge = line - step;
        return true;
      }
      smallest = n;
    }
    return false;
  };
  LimitsResult r;
  r.position = fallback;
  const bool top = findEdge(b.top, 1, b.top, b.bottom - 1, b.right - b.left, rowCount, r.edges.top);
  const bool bottom =
      findEdge(b.bottom - 1, -1, b.top, b.bottom - 1, b.right - b.left, rowCount, r.edges.bottom);
  const bool left = findEdge(b.left, 1, b.left, b.right, b.bottom - b.top, colCount, r.edges.left);
  const bool right =
      findEdge(b.right - 1, -1, b.left, b.right, b.bottom - b.top, colCount, r.edges.right);
  if (top && bottom && left && right) {
    r.found = true;
    r.position = {(r.edges.left + r.edges.right) * 0.5, (r.edges.top + r.edges.bottom) * 0.5};
  }
  return r;
}

LimitsResult RadialLimits(const Image& image, int x, int y, int halfW, int halfH, int threshold,
                          bool dark, TrackPoint fallback, const LumReadContext& context) {
  LumReadContext ctx = context;
  ctx.box = ClippedZoneBox(x, y, halfW, halfH, image.Width(), image.Height());
  int minX = x + halfW, maxX = x - halfW, minY = y + halfH, maxY = y - halfH;
  int hits = 0;
  for (int k = 0; k < 20; ++k) {
    const double angle = k * 18.0 * M_PI / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    int ex = static_cast<int>(Trunc((halfW - 1) * c + x));
    int ey = static_cast<int>(Trunc((halfH - 1) * s + y));
    for (int r = 1; r < halfW - 1; ++r) {
      const int px = static_cast<int>(Trunc(r * c + x));
      const int py = static_cast<int>(Trunc(r * s + y));
      if (Active(GetLum(image, px, py, ctx), threshold, dark)) {
        ex = px;
        ey = py;
        ++hits;
        break;
      }
    }
    minX = std::min(minX, ex);
    maxX = std::max(maxX, ex);
    minY = std::min(minY, ey);
    maxY = std::max(maxY, ey);
  }
  LimitsResult r;
  r.position = fallback;
  r.edges = {minX, minY, maxX, maxY};
  if (hits >= 4) {
    r.found = true;
    r.position = {(minX + maxX) * 0.5, (minY + maxY) * 0.5};
  }
  return r;
}

void RestartDrift(DriftState& drift, int64_t nowMsOfDay, IntPoint zoneCentre) {
  drift.lastStepMs = nowMsOfDay;
  drift.accumX = drift.accumY = 0;
  drift.origin = zoneCentre;
}

TrackPoint DriftStep(DriftState& drift, int64_t nowMsOfDay, int deadBand, bool autoguiding,
                     IntPoint zoneCentre) {
  int64_t elapsed = nowMsOfDay - drift.lastStepMs;
  // Times are of the day: a step across midnight is the short way round, not
  // minus a day.
  if (elapsed < 0) elapsed += kMsPerDay;
  const double dt = elapsed * 0.001;
  drift.lastStepMs = nowMsOfDay;
  const TrackPoint centre{static_cast<double>(zoneCentre.x), static_cast<double>(zoneCentre.y)};
  if (autoguiding && drift.durationS == 0) return centre;
  drift.accumX += dt * drift.rateX;
  drift.accumY += dt * drift.rateY;
  const double limit = std::max(1, deadBand);
  auto take = [limit](double& acc) {
    if (std::abs(acc) <= limit) return 0.0;
    const double move = static_cast<double>(Trunc(acc));
    acc -= move;
    return move;
  };
  const double mx = take(drift.accumX);
  const double my = take(drift.accumY);
  return {centre.x + mx, centre.y + my};
}

}  // namespace orniva
