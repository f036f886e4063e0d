#include "acquisition/display_text.h"

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

}  // namespace orniva
