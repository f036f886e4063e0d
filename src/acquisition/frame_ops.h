#pragma once

#include <cstdint>
#include <string>

#include "core/number_format.h"

#include "core/event_loop.h"
#include "core/image.h"

namespace orniva {

// Pixel work of the per-frame pipeline, on whole images.

// Saturation view: fills out black, then paints pure red every pixel whose
// largest channel in frame reaches threshold (pixels of frame that out
// cannot hold are skipped).
void SaturationMap(const Image& frame, int threshold, Image& out);

// Merge-paint of an overlay placed at (0, 0): destination := destination OR
// NOT overlay, so white overlay pixels leave the page as it is.
void MergePaint(Image& page, const Image& overlay);

// Copies src's rectangle onto dst's rectangle, stretching (nearest pixel)
// when their sizes differ; both rectangles are clipped to their images.
void StretchCopy(const Image& src, Rect srcRect, Image& dst, Rect dstRect);

// Size of the result page for display-zone size s, zone aspect, the image
// camera's frame height and binning factor (1 or 2).
struct PageSize {
  int width = 0, height = 0;
  friend bool operator==(const PageSize&, const PageSize&) = default;
};
PageSize ResultPageSize(double zoneSize, double aspect, int frameHeight, int binning);

// The zone aspect of loop integration.
inline constexpr double kLoopAspect = 4.0 / 3.0;

// Date and time of a frame: "dd/mm/yyyy hh:mm:ss" then "." and the
// milliseconds on three digits.
std::string FormatFrameTime(const LocalDateTime& t);

}  // namespace orniva
