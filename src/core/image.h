#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orniva {

// A colour as the working images store it.
struct Bgr {
  uint8_t b = 0, g = 0, r = 0;
  friend bool operator==(const Bgr&, const Bgr&) = default;
};

inline constexpr Bgr kBlack{0, 0, 0};
inline constexpr Bgr kWhite{255, 255, 255};

inline constexpr Bgr Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return Bgr{b, g, r};
}

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A 24-bit working image: three bytes per pixel (blue, green, red), rows
// padded to a multiple of 4 bytes like a device-independent bitmap, row 0 at
// the top. Never smaller than 1 x 1: sizes below 1 are raised to 1.
class Image {
 public:
  Image() : Image(1, 1) {}
  Image(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }  // bytes from one row to the next

  uint8_t* ScanLine(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* ScanLine(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  uint8_t* Bits() { return pixels_.data(); }
  const uint8_t* Bits() const { return pixels_.data(); }
  size_t ByteSize() const { return pixels_.size(); }

  Bgr Pixel(int x, int y) const {
    const uint8_t* p = ScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
  }
  void SetPixel(int x, int y, Bgr c) {
    uint8_t* p = ScanLine(y) + 3 * x;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
  }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Changes the size; the pixels inside both sizes keep their values, new
  // pixels are black. Reallocates only when the buffer must grow.
  void Resize(int width, int height);
  void Fill(Bgr c);
  void FillRect(Rect r, Bgr c);  // clipped to the image
  // Copies src's rectangle so that its top-left lands at (dstX, dstY);
  // clipped on both sides. src may be *this only if the areas do not overlap.
  void CopyRect(const Image& src, Rect srcRect, int dstX, int dstY);
  // Makes this image an exact copy of src (size and pixels).
  void Assign(const Image& src);

  static int StrideFor(int width) { return (width * 3 + 3) & ~3; }

 private:
  int width_ = 1;
  int height_ = 1;
  int stride_ = 4;
  std::vector<uint8_t> pixels_;
};

}  // namespace orniva
