#include "acquisition/display_zone.h"

#include <algorithm>

#include "core/rounding.h"

namespace orniva {
namespace {

Rect Scaled(Rect r, double scale) {
  auto d = [scale](int v) { return static_cast<int>(Trunc(v / scale)); };
  return {d(r.left), d(r.top), d(r.right), d(r.bottom)};
}

}  // namespace

DisplayZone ComputeDisplayZone(const DisplayZoneInput& in) {
  const int w = std::max(1, in.frameWidth), h = std::max(1, in.frameHeight);
  const int s = static_cast<int>(Trunc(in.size));
  const int c = static_cast<int>(Trunc(s * 0.5));
  const int v = static_cast<int>(Round(c / in.aspect));
  const int x = Clamp(in.displayCentre.x + in.displayOffset.x, 1 - c, w - 1 + c);
  // Held with the half height: the half width would let a wide zone leave
  // the frame above or below entirely.
  const int y = Clamp(in.displayCentre.y + in.displayOffset.y, 1 - v, h - 1 + v);
  const int left = std::max(x - c, 0), top = std::max(y - v, 0);
  const int right = std::min(x + c, w - 1), bottom = std::min(y + v, h - 1);

  DisplayZone z;
  z.frameZone = {left, top, right + 1, bottom + 1};
  z.zone = {c + left - x, v + top - y, std::max(right + c - x, 0) + 1,
            std::max(v + bottom - y, 0) + 1};
  const double scale = in.miniScale > 0 ? in.miniScale : 1.0;
  z.miniFrameZone = Scaled(z.frameZone, scale);
  z.miniZone = Scaled(z.zone, scale);
  return z;
}

void DrawZoneOverlay(Image& overlay, Rect r) {
  overlay.Fill(kWhite);
  Canvas cv(overlay);
  cv.pen = {Rgb(128, 128, 0), 1, PenStyle::Dot, PenMode::NotXor};
  cv.MoveTo(r.left, r.top);
  cv.LineTo(r.right - 1, r.top);
  cv.LineTo(r.right - 1, r.bottom - 1);
  cv.LineTo(r.left, r.bottom - 1);
  cv.LineTo(r.left, r.top);
}

void DrawZoneMarker(Canvas& canvas, int x, int y, int centreMark, int shape, Bgr colour,
                    int halfSize) {
  canvas.pen = {colour, 1, PenStyle::Solid, PenMode::Copy};
  canvas.brush.clear = true;  // the star inside stays visible
  int h = halfSize;
  if (shape == 0) {
    canvas.Rectangle(x - h, y - h, x + h, y + h);
  } else {
    canvas.Ellipse(x - h, y - h, x + h, y + h);
    h = static_cast<int>(Trunc(h * 0.707));
  }
  if (centreMark == 0) {
    canvas.MoveTo(x - h, y - h);
    canvas.LineTo(x + h, y + h);
    canvas.MoveTo(x + h - 1, y - h);
    canvas.LineTo(x - h - 1, y + h);
  } else {
    canvas.SetPixel(x, y);
  }
}

ResultPageSize ZoneScrollPageSize(double s, double aspect, int frameHeight, bool binning2x2) {
  const int64_t full = std::min<int64_t>(frameHeight, Round(s / aspect));
  ResultPageSize r;
  if (binning2x2) {
    r.width = static_cast<int>(Round(s * 0.5 - 0.5));
    r.height = static_cast<int>(Round(full * 0.5 - 0.5));
    r.shownHeight = static_cast<int>(Round(full - 0.5));
  } else {
    r.width = static_cast<int>(Trunc(s));
    r.height = static_cast<int>(full);
    r.shownHeight = r.height;
  }
  return r;
}

}  // namespace orniva
