#include "core/image.h"

#include <algorithm>
#include <cstring>

namespace orniva {

Image::Image(int width, int height) {
  Resize(width, height);
}

void Image::Resize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (width == width_ && height == height_ && !pixels_.empty()) return;
  const int newStride = StrideFor(width);
  std::vector<uint8_t> fresh(static_cast<size_t>(newStride) * height, 0);
  if (!pixels_.empty()) {
    const int rows = std::min(height, height_);
    const int bytes = 3 * std::min(width, width_);
    for (int y = 0; y < rows; ++y) {
      std::memcpy(fresh.data() + static_cast<size_t>(y) * newStride, ScanLine(y), bytes);
    }
  }
  pixels_.swap(fresh);
  width_ = width;
  height_ = height;
  stride_ = newStride;
}

void Image::Fill(Bgr c) {
  FillRect({0, 0, width_, height_}, c);
}

void Image::FillRect(Rect r, Bgr c) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, width_);
  r.bottom = std::min(r.bottom, height_);
  if (r.Empty()) return;
  for (int y = r.top; y < r.bottom; ++y) {
    uint8_t* p = ScanLine(y) + 3 * r.left;
    if (c.b == c.g && c.g == c.r) {
      std::memset(p, c.b, 3 * static_cast<size_t>(r.Width()));
      continue;
    }
    for (int x = r.left; x < r.right; ++x, p += 3) {
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  }
}

void Image::CopyRect(const Image& src, Rect s, int dstX, int dstY) {
  // Clip against the source.
  if (s.left < 0) dstX -= s.left, s.left = 0;
  if (s.top < 0) dstY -= s.top, s.top = 0;
  s.right = std::min(s.right, src.width_);
  s.bottom = std::min(s.bottom, src.height_);
  // Clip against the destination.
  if (dstX < 0) s.left -= dstX, dstX = 0;
  if (dstY < 0) s.top -= dstY, dstY = 0;
  s.right = std::min(s.right, s.left + (width_ - dstX));
  s.bottom = std::min(s.bottom, s.top + (height_ - dstY));
  if (s.Empty()) return;
  const size_t bytes = 3 * static_cast<size_t>(s.Width());
  for (int y = 0; y < s.Height(); ++y) {
    std::memmove(ScanLine(dstY + y) + 3 * dstX, src.ScanLine(s.top + y) + 3 * s.left, bytes);
  }
}

void Image::Assign(const Image& src) {
  if (&src == this) return;
  Resize(src.width_, src.height_);
  std::memcpy(pixels_.data(), src.pixels_.data(), pixels_.size());
}

}  // namespace orniva
