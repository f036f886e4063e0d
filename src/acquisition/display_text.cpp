#include "acquisition/display_text.h"

#include <algorithm>

#include <string>

namespace orniva {

Font PageTextFont() {
  return Font{"Arial", 8, false, Rgb(255, 0, 0)};
}

void DrawTimeText(Canvas& canvas, std::string_view text, Rect anchor) {
  canvas.font = PageTextFont();
  canvas.brush.clear = true;
  const TextSize size = canvas.TextExtent(text);
  canvas.TextOut(anchor.right - size.width, anchor.bottom - size.height, text);
}

void DrawIntensityLabels(Canvas& canvas, bool showMin, int minimum, bool showMax, int maximum,
                         Rect zone) {
  canvas.font = PageTextFont();
  canvas.brush.clear = true;
  if (showMin) {
    const std::string text = std::to_string(minimum);
    canvas.TextOut(zone.left, zone.top - canvas.TextExtent(text).height, text);
  }
  if (showMax) {
    const std::string text = std::to_string(maximum);
    const TextSize size = canvas.TextExtent(text);
    canvas.TextOut(zone.right - size.width, zone.top - size.height, text);
  }
}

IntensityRange ZoneIntensity(const Image& image, Rect zone) {
  const int left = std::max(0, zone.left), top = std::max(0, zone.top);
  const int right = std::min(image.Width(), zone.right),
            bottom = std::min(image.Height(), zone.bottom);
  if (left >= right || top >= bottom) return {};
  IntensityRange r{255, 0};
  for (int y = top; y < bottom; ++y) {
    const uint8_t* p = image.ScanLine(y) + 3 * left;
    for (int x = left; x < right; ++x, p += 3) {
      const int lum = (p[0] + p[1] + p[2]) / 3;
      r.minimum = std::min(r.minimum, lum);
      r.maximum = std::max(r.maximum, lum);
    }
  }
  return r;
}

}  // namespace orniva
