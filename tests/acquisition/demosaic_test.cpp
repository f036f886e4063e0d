#include "acquisition/demosaic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace orniva {
namespace {

// A raw frame whose three bytes of every pixel hold the sensor value f(x, y).
Image GreyRaw(int w, int h, int (*f)(int, int)) {
  Image img(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const auto v = static_cast<uint8_t>(f(x, y));
      img.SetPixel(x, y, {v, v, v});
    }
  }
  return img;
}

int Bumpy(int x, int y) {
  return (x * x * 7 + y * y * 5 + x * y * 3) % 256;
}

TEST(DemosaicRaw, SitesOfPattern2FollowTheInterpolationTable) {
  const Image src = GreyRaw(6, 6, Bumpy);
  Image dst(1, 1);
  DemosaicRaw(src, dst, kBayerRG);
  const auto f = Bumpy;
  // (2, 2) is a red site: red kept, the four orthogonal greens, the four diagonal blues.
  EXPECT_EQ(dst.Pixel(2, 2), Rgb(f(2, 2), (f(2, 1) + f(1, 2) + f(3, 2) + f(2, 3)) >> 2,
                                 (f(1, 1) + f(3, 1) + f(1, 3) + f(3, 3)) >> 2));
  // (3, 2) green on the red row: red from left and right, blue from above and below.
  EXPECT_EQ(dst.Pixel(3, 2), Rgb((f(2, 2) + f(4, 2)) >> 1, f(3, 2), (f(3, 1) + f(3, 3)) >> 1));
  // (2, 3) green on the blue row: red from above and below, blue from left and right.
  EXPECT_EQ(dst.Pixel(2, 3), Rgb((f(2, 2) + f(2, 4)) >> 1, f(2, 3), (f(1, 3) + f(3, 3)) >> 1));
  // (3, 3) a blue site.
  EXPECT_EQ(dst.Pixel(3, 3), Rgb((f(2, 2) + f(4, 2) + f(2, 4) + f(4, 4)) >> 2,
                                 (f(3, 2) + f(2, 3) + f(4, 3) + f(3, 4)) >> 2, f(3, 3)));
}

TEST(DemosaicRaw, OnlyTheFilterColoursByteIsRead) {
  // Pattern 1 (G R / B G): row 1 holds B G, so the green site (1, 1) takes red
  // from above and below and blue from the sides; the other bytes are decoys.
  Image src(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) src.SetPixel(x, y, {200, 201, 202});  // b, g, r
  src.SetPixel(1, 0, {9, 9, 100});  // red site above: only its red byte counts
  src.SetPixel(1, 2, {9, 9, 50});   // red site below
  src.SetPixel(0, 1, {30, 9, 9});   // blue sites on the sides
  src.SetPixel(2, 1, {41, 9, 9});
  src.SetPixel(1, 1, {9, 77, 9});  // the green centre
  Image dst(3, 3);
  dst.Fill({1, 2, 3});
  DemosaicRaw(src, dst, kBayerGR);
  EXPECT_EQ(dst.Pixel(1, 1), Rgb(75, 77, 35));
  EXPECT_EQ(dst.Pixel(0, 0), (Bgr{1, 2, 3}));  // the border is not written
  EXPECT_EQ(dst.Pixel(2, 2), (Bgr{1, 2, 3}));
}

TEST(DemosaicRaw, DestinationTakesTheSizeAndSmallFramesAreNotWritten) {
  struct Case {
    int w, h, pattern;
  };
  for (Case c : {Case{2, 2, kBayerGR}, Case{1, 7, kBayerRG}, Case{9, 2, kBayerBG},
                 Case{5, 4, kBayerNone}, Case{5, 4, 7}}) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " pattern " << c.pattern);
    const Image src = GreyRaw(c.w, c.h, Bumpy);
    Image dst(3, 3);
    dst.Fill({4, 5, 6});
    DemosaicRaw(src, dst, c.pattern);
    ASSERT_EQ(dst.Width(), c.w);
    ASSERT_EQ(dst.Height(), c.h);
    // The old pixels inside both sizes stay, new ones are black: nothing demosaiced.
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        EXPECT_EQ(dst.Pixel(x, y), (x < 3 && y < 3 ? Bgr{4, 5, 6} : kBlack)) << x << "," << y;
  }
}

TEST(DemosaicRaw, FastVersionMatchesTheReferenceOnRandomFrames) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  const int sizes[][2] = {{3, 3},  {4, 5},    {17, 3},    {18, 4},   {33, 9},   {34, 10},
                          {50, 7}, {641, 13}, {1024, 11}, {1023, 6}, {160, 120}};
  for (auto [w, h] : sizes) {
    Image src(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 3 * w; ++x) src.ScanLine(y)[x] = static_cast<uint8_t>(byte(rng));
    for (int pattern = kBayerNone; pattern <= kBayerGB; ++pattern) {
      Image fast(w, h), slow(w, h);
      fast.Fill({7, 8, 9});
      slow.Fill({7, 8, 9});
      DemosaicRaw(src, fast, pattern);
      DemosaicRawReference(src, slow, pattern);
      for (int y = 0; y < h; ++y) {
        ASSERT_EQ(0, std::memcmp(fast.ScanLine(y), slow.ScanLine(y), 3 * w))
            << w << "x" << h << " pattern " << pattern << " row " << y;
      }
    }
  }
}

}  // namespace
}  // namespace orniva
