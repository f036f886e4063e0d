#include "processing/histogram.h"

#include <algorithm>

namespace orniva {

void ComputeHistogram(const Image& frame, Histogram& h) {
  for (auto& c : h.counts) c.fill(0);
  const int w = frame.Width();
  for (int y = 0; y < frame.Height(); ++y) {
    const uint8_t* p = frame.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 3) {
      ++h.counts[2][p[0]];
      ++h.counts[1][p[1]];
      ++h.counts[0][p[2]];
    }
  }
  h.pixels = static_cast<int64_t>(w) * frame.Height();
}

void DrawHistogram(const Histogram& h, int scale, const HistogramMarks& marks, Image& plot) {
  plot.Resize(256, 101);
  plot.Fill(kBlack);
  const double n = h.pixels > 0 ? static_cast<double>(h.pixels) : 1.0;
  for (int i = 0; i < 256; ++i) {
    for (int ch = 0; ch < 3; ++ch) {
      const int height = static_cast<int>(
          std::min<int64_t>(100, static_cast<int64_t>(h.counts[ch][i] / n * scale)));
      uint8_t* p = plot.ScanLine(100 - height) + 3 * i;
      p[2 - ch] = 255;  // red, green, blue bytes at 2, 1, 0
    }
  }
  auto line = [&](int x, Bgr pen) {
    if (x < 0 || x > 255) return;
    for (int y = 1; y <= 100; ++y) plot.SetPixel(x, y, pen);
  };
  line(marks.red, Rgb(255, 0, 0));
  line(marks.green, Rgb(0, 128, 0));
  line(marks.blue, Rgb(0, 0, 255));
  if (marks.saturation >= 0 && marks.saturation <= 255) {
    for (int y = 1; y <= 100; y += 2) {  // dotted, inverting what lies under it
      uint8_t* p = plot.ScanLine(y) + 3 * marks.saturation;
      p[0] = ~p[0];
      p[1] = ~p[1];
      p[2] = ~p[2];
    }
  }
}

void SaturationView(const Image& frame, int threshold, Image& out) {
  out.Resize(frame.Width(), frame.Height());
  for (int y = 0; y < frame.Height(); ++y) {
    const uint8_t* p = frame.ScanLine(y);
    uint8_t* q = out.ScanLine(y);
    for (int x = 0; x < frame.Width(); ++x, p += 3, q += 3) {
      const int top = std::max({p[0], p[1], p[2]});
      const bool hot = top >= threshold;
      q[0] = 0;
      q[1] = 0;
      q[2] = hot ? 255 : 0;
    }
  }
}

}  // namespace orniva
