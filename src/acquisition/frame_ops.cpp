#include "acquisition/frame_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/rounding.h"

namespace orniva {

void SaturationMap(const Image& frame, int threshold, Image& out) {
  out.Fill(kBlack);
  const int w = std::min(frame.Width(), out.Width());
  const int h = std::min(frame.Height(), out.Height());
  for (int y = 0; y < h; ++y) {
    const uint8_t* s = frame.ScanLine(y);
    uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < w; ++x, s += 3, d += 3) {
      const int top = std::max({s[0], s[1], s[2]});
      if (top >= threshold) d[2] = 255;  // pure red on black
    }
  }
}

void MergePaint(Image& page, const Image& overlay) {
  const int bytes = 3 * std::min(page.Width(), overlay.Width());
  const int h = std::min(page.Height(), overlay.Height());
  for (int y = 0; y < h; ++y) {
    uint8_t* d = page.ScanLine(y);
    const uint8_t* s = overlay.ScanLine(y);
    for (int i = 0; i < bytes; ++i) d[i] = static_cast<uint8_t>(d[i] | ~s[i]);
  }
}

void StretchCopy(const Image& src, Rect s, Image& dst, Rect d) {
  if (s.Empty() || d.Empty()) return;
  if (s.Width() == d.Width() && s.Height() == d.Height()) {
    dst.CopyRect(src, s, d.left, d.top);
    return;
  }
  const int y0 = std::max(d.top, 0), y1 = std::min(d.bottom, dst.Height());
  const int x0 = std::max(d.left, 0), x1 = std::min(d.right, dst.Width());
  for (int y = y0; y < y1; ++y) {
    const int sy = s.top + static_cast<int>(int64_t{y - d.top} * s.Height() / d.Height());
    if (sy < 0 || sy >= src.Height()) continue;
    const uint8_t* sl = src.ScanLine(sy);
    uint8_t* dl = dst.ScanLine(y);
    for (int x = x0; x < x1; ++x) {
      const int sx = s.left + static_cast<int>(int64_t{x - d.left} * s.Width() / d.Width());
      if (sx < 0 || sx >= src.Width()) continue;
      dl[3 * x] = sl[3 * sx];
      dl[3 * x + 1] = sl[3 * sx + 1];
      dl[3 * x + 2] = sl[3 * sx + 2];
    }
  }
}

PageSize ResultPageSize(double s, double a, int frameHeight, int binning) {
  const int64_t h = std::min<int64_t>(frameHeight, Round(s / a));
  if (binning == 2) return {static_cast<int>(Trunc(s * 0.5)), static_cast<int>(Trunc(h * 0.5))};
  return {static_cast<int>(Trunc(s)), static_cast<int>(h)};
}

std::string FormatFrameTime(const LocalDateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d.%03d", t.day, t.month, t.year,
                t.hour, t.minute, t.second, t.millisecond);
  return buf;
}

}  // namespace orniva
