// Runs a fuzz entry point without libFuzzer: valid seed files, then a fixed
// number of deterministic mutations of them (bit flips, overwritten header
// fields, cuts, extreme sizes). Catches crashes and sanitizer reports in the
// ordinary test run; the clang-built fuzzer explores further.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "acquisition/bmp_file.h"
#include "acquisition/jpeg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace orniva {
namespace {

using Bytes = std::vector<uint8_t>;

Image Pattern(int w, int h) {
  Image img(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      img.SetPixel(x, y,
                   Rgb(static_cast<uint8_t>(x * 9), static_cast<uint8_t>(y * 13),
                       static_cast<uint8_t>(x ^ y)));
    }
  }
  return img;
}

std::vector<Bytes> Seeds() {
  std::vector<Bytes> seeds;
#if defined(ORNIVA_FUZZ_JPEG)
  for (int q : {10, 75, 100}) {
    Bytes jpeg;
    EncodeJpeg(Pattern(33, 17), q, jpeg);
    seeds.push_back(jpeg);
  }
#else
  seeds.push_back(EncodeBmp(Pattern(5, 3)));
  seeds.push_back(EncodeBmp(Pattern(16, 9)));
  // An 8-bit palettised one: header, 256 colours, one row.
  Bytes pal = EncodeBmp(Pattern(4, 1));
  pal.resize(54);
  pal[28] = 8;
  pal[10] = 0x36;
  pal[11] = 0x04;
  pal.resize(54 + 1024 + 4, 0x55);
  seeds.push_back(pal);
#endif
  return seeds;
}

Bytes Mutate(const Bytes& seed, std::mt19937& rng) {
  Bytes v = seed;
  std::uniform_int_distribution<int> kind(0, 5);
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits && !v.empty(); ++e) {
    const size_t at = rng() % v.size();
    switch (kind(rng)) {
      case 0:
        v[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 1:
        v[at] = static_cast<uint8_t>(rng());
        break;
      case 2: {  // an extreme 16- or 32-bit value, where headers keep sizes
        static const uint32_t extremes[] = {0,          1,          0x7F,  0xFF, 0xFFFF, 0x7FFFFFFF,
                                            0x80000000, 0xFFFFFFFF, 65000, 1025, 769};
        const uint32_t x = extremes[rng() % std::size(extremes)];
        for (size_t i = 0; i < 4 && at + i < v.size(); ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
        break;
      }
      case 3:
        v.resize(at);
        break;
      case 4:
        v.insert(v.begin() + at, static_cast<uint8_t>(rng()));
        break;
      case 5:
        v.erase(v.begin() + at);
        break;
    }
  }
  return v;
}

TEST(FuzzReplay, SeedsAndMutationsNeverCrash) {
  const std::vector<Bytes> seeds = Seeds();
  for (const Bytes& s : seeds) LLVMFuzzerTestOneInput(s.data(), s.size());
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::mt19937 rng(20240611);
  for (int i = 0; i < 20000; ++i) {
    const Bytes v = Mutate(seeds[i % seeds.size()], rng);
    LLVMFuzzerTestOneInput(v.data(), v.size());
  }
}

}  // namespace
}  // namespace orniva
