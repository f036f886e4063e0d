#include "core/image.h"

#include <gtest/gtest.h>

namespace orniva {

TEST(Image, RowsAreFourByteAlignedBgrTopDown) {
  for (int w : {1, 2, 3, 4, 5, 1023, 1024}) {
    Image img(w, 3);
    EXPECT_EQ(img.Stride() % 4, 0) << w;
    EXPECT_GE(img.Stride(), 3 * w);
    EXPECT_LT(img.Stride(), 3 * w + 4);
  }
  Image img(5, 2);
  img.SetPixel(4, 1, Rgb(10, 20, 30));
  const uint8_t* row = img.ScanLine(1);
  EXPECT_EQ(row[12], 30);  // blue first
  EXPECT_EQ(row[13], 20);
  EXPECT_EQ(row[14], 10);
  EXPECT_EQ(img.ScanLine(1) - img.ScanLine(0), img.Stride());
}

TEST(Image, NeverSmallerThanOneByOne) {
  Image img(0, -5);
  EXPECT_EQ(img.Width(), 1);
  EXPECT_EQ(img.Height(), 1);
  img.Resize(-1, 0);
  EXPECT_EQ(img.Width(), 1);
  EXPECT_EQ(img.Height(), 1);
}

TEST(Image, ResizeKeepsOverlapAndBlackensTheRest) {
  Image img(3, 3);
  img.Fill(Rgb(1, 2, 3));
  img.Resize(5, 2);
  EXPECT_EQ(img.Pixel(2, 1), Rgb(1, 2, 3));
  EXPECT_EQ(img.Pixel(3, 0), kBlack);
  EXPECT_EQ(img.Pixel(4, 1), kBlack);
}

TEST(Image, CopyRectClipsOnBothSides) {
  Image src(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.SetPixel(x, y, Rgb(x, y, 9));
  Image dst(3, 3);
  dst.Fill(kWhite);
  // The source rectangle sticks out left and top; the destination spot right.
  dst.CopyRect(src, {-1, -1, 3, 3}, 1, 1);
  EXPECT_EQ(dst.Pixel(0, 0), kWhite);
  // Source (-1,-1) would land at (1,1): clipped, source (0,0) lands at (2,2).
  EXPECT_EQ(dst.Pixel(1, 1), kWhite);
  EXPECT_EQ(dst.Pixel(2, 2), Rgb(0, 0, 9));
  dst.CopyRect(src, {1, 1, 4, 4}, -1, 0);  // destination sticks out left
  EXPECT_EQ(dst.Pixel(0, 0), Rgb(2, 1, 9));
  EXPECT_EQ(dst.Pixel(1, 2), Rgb(3, 3, 9));
  // Entirely outside: nothing changes.
  dst.CopyRect(src, {0, 0, 2, 2}, 5, 5);
  dst.CopyRect(src, {10, 10, 12, 12}, 0, 0);
  EXPECT_EQ(dst.Pixel(0, 0), Rgb(2, 1, 9));
}

TEST(Image, FillRectIsClipped) {
  Image img(4, 4);
  img.FillRect({-2, 2, 2, 10}, Rgb(5, 6, 7));
  EXPECT_EQ(img.Pixel(0, 3), Rgb(5, 6, 7));
  EXPECT_EQ(img.Pixel(1, 2), Rgb(5, 6, 7));
  EXPECT_EQ(img.Pixel(2, 2), kBlack);
  EXPECT_EQ(img.Pixel(0, 1), kBlack);
}

}  // namespace orniva
