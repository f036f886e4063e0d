#include "acquisition/bmp_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "acquisition/frame_limits.h"

namespace orniva {

namespace {

uint32_t U16(std::span<const uint8_t> d, size_t at) {
  return d[at] | (d[at + 1] << 8);
}
uint32_t U32(std::span<const uint8_t> d, size_t at) {
  return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}
void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// Extracts one colour from a 32-bit pixel through its bit-field mask, scaled
// to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = std::popcount(m >> shift);
  }
  uint8_t Get(uint32_t px) const {
    if (bits == 0) return 0;
    const uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    return static_cast<uint8_t>(v * 255 / ((1u << bits) - 1));
  }
};

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

}  // namespace

ImageFileResult DecodeBmp(std::span<const uint8_t> d, Image& image) {
  using E = ImageFileError;
  if (d.empty()) return {E::Empty};
  if (d.size() < 2 || d[0] != 'B' || d[1] != 'M') return {E::BadMagic};
  if (d.size() < 18) return {E::Truncated};
  const uint32_t offBits = U32(d, 10);
  const uint32_t headerSize = U32(d, 14);

  int64_t width = 0, height = 0;
  uint32_t bpp = 0, compression = kRgb, colorsUsed = 0;
  size_t paletteEntry = 4;
  uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};  // red, green, blue
  if (headerSize == 12) {
    // The old core header: 16-bit sizes, 3-byte palette entries.
    if (d.size() < 14 + 12) return {E::Truncated};
    width = U16(d, 18);
    height = U16(d, 20);
    bpp = U16(d, 24);
    paletteEntry = 3;
  } else if (headerSize >= 40 && headerSize <= 4096) {
    if (d.size() < 14 + static_cast<size_t>(headerSize)) return {E::Truncated};
    width = static_cast<int32_t>(U32(d, 18));
    height = static_cast<int32_t>(U32(d, 22));
    bpp = U16(d, 28);
    compression = U32(d, 30);
    colorsUsed = U32(d, 46);
  } else {
    return {E::Unsupported, 0, 0, "en-tete de " + std::to_string(headerSize) + " octets"};
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) return {E::BadSize};
  if (width > kMaxFrameWidth || height > kMaxFrameHeight) {
    return {E::TooLarge, static_cast<int>(width), static_cast<int>(height)};
  }
  const int w = static_cast<int>(width), h = static_cast<int>(height);

  size_t afterHeader = 14 + headerSize;
  if (bpp == 32 && compression == kBitFields) {
    // The masks follow a 40-byte header; longer headers hold them inside.
    if (d.size() < 14 + 40 + 12) return {E::Truncated};
    for (int i = 0; i < 3; ++i) masks[i] = U32(d, 54 + 4 * i);
    if (headerSize == 40) afterHeader += 12;
  } else if (bpp == 32 && compression == kRgb) {
    // Plain 32-bit: blue, green, red, unused.
  } else if ((bpp == 24 || bpp == 8) && compression == kRgb) {
  } else {
    return {E::Unsupported, w, h,
            std::to_string(bpp) + " bits, compression " + std::to_string(compression)};
  }

  Bgr palette[256] = {};
  if (bpp == 8) {
    size_t colors = (colorsUsed == 0 || colorsUsed > 256) ? 256 : colorsUsed;
    // Writers of short palettes (the old core header has no count) place
    // the pixels right after them.
    if (offBits > afterHeader) colors = std::min(colors, (offBits - afterHeader) / paletteEntry);
    if (d.size() < afterHeader + colors * paletteEntry) return {E::Truncated, w, h};
    for (size_t i = 0; i < colors; ++i) {
      const size_t at = afterHeader + i * paletteEntry;
      palette[i] = {d[at], d[at + 1], d[at + 2]};
    }
  }

  // Pixel rows: padded to 4 bytes, the last one may lack its padding.
  const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  const size_t rowBytes = (static_cast<size_t>(w) * bpp + 7) / 8;
  const size_t pixelsAt = offBits != 0 ? offBits : afterHeader;
  if (pixelsAt < 14 + 12 || pixelsAt > d.size() ||
      d.size() - pixelsAt < stride * (h - 1) + rowBytes) {
    return {E::Truncated, w, h};
  }

  image.Resize(w, h);
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  for (int y = 0; y < h; ++y) {
    const int fileRow = topDown ? y : h - 1 - y;
    const uint8_t* src = d.data() + pixelsAt + static_cast<size_t>(fileRow) * stride;
    uint8_t* dst = image.ScanLine(y);
    switch (bpp) {
      case 24:
        std::memcpy(dst, src, 3 * static_cast<size_t>(w));
        break;
      case 8:
        for (int x = 0; x < w; ++x, dst += 3) {
          const Bgr c = palette[src[x]];
          dst[0] = c.b;
          dst[1] = c.g;
          dst[2] = c.r;
        }
        break;
      case 32:
        for (int x = 0; x < w; ++x, dst += 3, src += 4) {
          if (compression == kRgb) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
          } else {
            const uint32_t px =
                src[0] | (src[1] << 8) | (src[2] << 16) | (static_cast<uint32_t>(src[3]) << 24);
            dst[0] = blue.Get(px);
            dst[1] = green.Get(px);
            dst[2] = red.Get(px);
          }
        }
        break;
    }
  }
  return {E::None, w, h};
}

std::vector<uint8_t> EncodeBmp(const Image& image) {
  const int w = image.Width(), h = image.Height();
  const size_t stride = Image::StrideFor(w);
  const size_t pixelBytes = stride * h;
  std::vector<uint8_t> out(54 + pixelBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, 54);
  Put32(out, 14, 40);
  Put32(out, 18, w);
  Put32(out, 22, h);
  Put16(out, 26, 1);
  Put16(out, 28, 24);
  Put32(out, 34, static_cast<uint32_t>(pixelBytes));
  for (int y = 0; y < h; ++y) {
    std::memcpy(out.data() + 54 + (h - 1 - y) * stride, image.ScanLine(y), stride);
  }
  return out;
}

}  // namespace orniva
