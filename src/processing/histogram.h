#pragma once

#include <array>
#include <cstdint>

#include "core/image.h"

namespace orniva {

// Counts of every level 0..255 per channel (red, green, blue) of a frame.
struct Histogram {
  std::array<std::array<int64_t, 256>, 3> counts{};
  int64_t pixels = 0;
};

void ComputeHistogram(const Image& frame, Histogram& h);

// Marks drawn over the plot: the pointer's red, green and blue values (-1:
// none) and the saturation threshold (-1: none).
struct HistogramMarks {
  int red = -1, green = -1, blue = -1;
  int saturation = -1;
};

// The 256 x 101 plot: black, each level's count at height
// min(100, trunc(count / pixels x scale)) lighting its channel's byte, then
// the marks as vertical lines from row 1 to row 100.
void DrawHistogram(const Histogram& h, int scale, const HistogramMarks& marks, Image& plot);

// Black with pure red where the largest channel of the frame reaches the
// threshold.
void SaturationView(const Image& frame, int threshold, Image& out);

}  // namespace orniva
