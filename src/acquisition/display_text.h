#pragma once

#include <string_view>

#include "core/canvas.h"

namespace orniva {

// The time text: red, on a clear brush, its bottom-right corner on the
// bottom-right corner of the anchor (the frame zone on a source page, the
// whole page on the result page).
void DrawTimeText(Canvas& canvas, std::string_view text, Rect anchor);

// The smallest and largest luminance, (B + G + R) div 3, of the pixels of
// an image inside a rectangle (clipped to the image); 0 and 0 when none.
struct IntensityRange {
  int minimum = 0;
  int maximum = 0;
};
IntensityRange ZoneIntensity(const Image& image, Rect zone);

// The smallest and largest intensity of the detection zone, in red just
// above the zone's square: the smallest aligned on its left side, the
// largest on its right side.
void DrawIntensityLabels(Canvas& canvas, bool showMin, int minimum, bool showMax, int maximum,
                         Rect zone);

// The font of the texts drawn on the pages (time and intensities).
Font PageTextFont();

}  // namespace orniva
