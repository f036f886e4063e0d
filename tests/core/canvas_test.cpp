#include "core/canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/log.h"
#include "core/text_renderer.h"

namespace orniva {
namespace {

constexpr Bgr kOlive = Rgb(128, 128, 0);

// The pixels of an image that differ from a background colour, as a picture
// of '#' and '.' rows (easy to read in a failure message).
std::string Marks(const Image& img, Bgr background) {
  std::string s;
  for (int y = 0; y < img.Height(); ++y) {
    for (int x = 0; x < img.Width(); ++x) s += img.Pixel(x, y) == background ? '.' : '#';
    s += '\n';
  }
  return s;
}

int CountNot(const Image& img, Bgr background) {
  int n = 0;
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) n += img.Pixel(x, y) != background;
  return n;
}

TEST(Canvas, LineToLeavesOutTheEndPointInEveryDirection) {
  struct Case {
    Point from, to;
    Point last;  // the last pixel drawn
  };
  const Case cases[] = {
      {{1, 1}, {6, 1}, {5, 1}}, {{6, 1}, {1, 1}, {2, 1}}, {{1, 1}, {1, 6}, {1, 5}},
      {{1, 1}, {6, 6}, {5, 5}}, {{6, 6}, {1, 1}, {2, 2}}, {{1, 1}, {7, 3}, {6, 3}},
  };
  for (const Case& c : cases) {
    Image img(9, 9);
    img.Fill(kWhite);
    Canvas cv(img);
    cv.MoveTo(c.from.x, c.from.y);
    cv.LineTo(c.to.x, c.to.y);
    EXPECT_EQ(img.Pixel(c.from.x, c.from.y), kBlack);
    EXPECT_EQ(img.Pixel(c.to.x, c.to.y), kWhite) << c.to.x << "," << c.to.y;
    EXPECT_EQ(img.Pixel(c.last.x, c.last.y), kBlack) << c.last.x << "," << c.last.y;
    EXPECT_EQ(CountNot(img, kWhite),
              std::max(std::abs(c.to.x - c.from.x), std::abs(c.to.y - c.from.y)));
    EXPECT_EQ(cv.PenPos(), c.to);
  }
}

TEST(Canvas, RectangleOutlineExcludesRightAndBottomAndFillsWithTheBrush) {
  Image img(8, 7);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.brush.color = Rgb(0, 0, 255);
  cv.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(Marks(img, kWhite),
            "........\n"
            ".#####..\n"
            ".#####..\n"
            ".#####..\n"
            ".#####..\n"
            "........\n"
            "........\n");
  EXPECT_EQ(img.Pixel(1, 1), kBlack);
  EXPECT_EQ(img.Pixel(5, 4), kBlack);
  EXPECT_EQ(img.Pixel(3, 2), Rgb(0, 0, 255));
}

// The zone frame: a dotted not-xor outline drawn as four LineTo calls. Each
// pixel is touched once (corners are not toggled back), the dots run on
// around the corners, and drawing it twice restores the picture.
TEST(Canvas, DottedNotXorOutlineTogglesEveryPixelOnce) {
  Image img(9, 6);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.pen = {kOlive, 1, PenStyle::Dot, PenMode::NotXor};
  auto outline = [&] {
    cv.MoveTo(0, 0);
    cv.LineTo(8, 0);
    cv.LineTo(8, 5);
    cv.LineTo(0, 5);
    cv.LineTo(0, 0);
  };
  outline();
  // 26 pixels around, runs of 3 on and 3 off from (0,0) going right, then
  // down, left and up.
  const char* expected =
      "###...###\n"
      "#........\n"
      "#........\n"
      ".........\n"
      "........#\n"
      ".###...##\n";
  EXPECT_EQ(Marks(img, kWhite), expected);
  EXPECT_EQ(img.Pixel(0, 0), kOlive);  // not-xor of olive over white is olive
  Image black(3, 1);
  Canvas cb(black);
  cb.pen = {kOlive, 1, PenStyle::Solid, PenMode::NotXor};
  cb.MoveTo(0, 0);
  cb.LineTo(3, 0);
  EXPECT_EQ(black.Pixel(1, 0), Rgb(127, 127, 255));
  outline();
  EXPECT_EQ(CountNot(img, kWhite), 0);
}

TEST(Canvas, WidePenAndModesWriteEachPixelOnce) {
  Image img(12, 12);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.pen = {Rgb(0, 255, 255), 2, PenStyle::Solid, PenMode::NotXor};
  cv.MoveTo(1, 2);
  cv.LineTo(10, 8);
  int drawn = CountNot(img, kWhite);
  EXPECT_GT(drawn, 9 * 2 - 2);  // two pixels wide
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      if (img.Pixel(x, y) != kWhite) {
        ASSERT_EQ(img.Pixel(x, y), Rgb(0, 255, 255));
      }
    }
  }
  cv.MoveTo(1, 2);
  cv.LineTo(10, 8);
  EXPECT_EQ(CountNot(img, kWhite), 0);

  Image m(2, 1);
  m.Fill(Rgb(0x0F, 0x30, 0x01));
  Canvas cm(m);
  cm.pen = {Rgb(0xF0, 0x03, 0x10), 1, PenStyle::Solid, PenMode::Merge};
  cm.SetPixel(0, 0);
  EXPECT_EQ(m.Pixel(0, 0), Rgb(0xFF, 0x33, 0x11));
  EXPECT_EQ(m.Pixel(1, 0), Rgb(0x0F, 0x30, 0x01));
}

TEST(Canvas, EllipseStaysInItsBoxAndIsSymmetric) {
  Image img(24, 24);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.brush.clear = true;
  cv.Ellipse(2, 3, 21, 18);  // pixels 2..20, 3..17
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      bool inBox = x >= 2 && x <= 20 && y >= 3 && y <= 17;
      if (!inBox) {
        ASSERT_EQ(img.Pixel(x, y), kWhite) << x << "," << y;
      } else {
        // mirror images across the centre (11, 10)
        ASSERT_EQ(img.Pixel(x, y), img.Pixel(22 - x, y)) << x << "," << y;
        ASSERT_EQ(img.Pixel(x, y), img.Pixel(x, 20 - y)) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(img.Pixel(2, 10), kBlack);   // leftmost
  EXPECT_EQ(img.Pixel(20, 10), kBlack);  // rightmost
  EXPECT_EQ(img.Pixel(11, 3), kBlack);   // top
  EXPECT_EQ(img.Pixel(11, 17), kBlack);  // bottom
  EXPECT_EQ(img.Pixel(11, 10), kWhite);  // hollow
  // Connected: every outline pixel has an outline neighbour.
  for (int y = 1; y < 23; ++y)
    for (int x = 1; x < 23; ++x) {
      if (img.Pixel(x, y) != kBlack) continue;
      int n = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) n += (dx || dy) && img.Pixel(x + dx, y + dy) == kBlack;
      ASSERT_GE(n, 2) << x << "," << y;
    }
}

// Concentric circles drawn in not-xor with the default white brush: the
// brush leaves the smaller circles visible.
TEST(Canvas, WhiteBrushInNotXorModeKeepsWhatIsInside) {
  Image img(40, 40);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.pen = {Rgb(0, 255, 255), 1, PenStyle::Solid, PenMode::NotXor};
  cv.Ellipse(15, 15, 25, 25);
  int small = CountNot(img, kWhite);
  cv.Ellipse(5, 5, 35, 35);
  EXPECT_GT(CountNot(img, kWhite), small + 40);
  EXPECT_EQ(img.Pixel(15, 20), Rgb(0, 255, 255));
}

TEST(Canvas, PolygonFillsInsideAndOutlinesWithThePen) {
  Image img(10, 10);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.brush.color = Rgb(255, 0, 0);
  cv.Polygon({{1, 1}, {8, 1}, {8, 8}, {1, 8}});
  EXPECT_EQ(img.Pixel(1, 1), kBlack);
  EXPECT_EQ(img.Pixel(8, 8), kBlack);
  EXPECT_EQ(img.Pixel(4, 4), Rgb(255, 0, 0));
  EXPECT_EQ(img.Pixel(0, 0), kWhite);
  EXPECT_EQ(img.Pixel(9, 9), kWhite);
}

TEST(MergePaint, DestinationOrNotSource) {
  Image page(4, 3);
  page.Fill(Rgb(0x10, 0x20, 0x30));
  Image overlay(4, 3);
  overlay.Fill(kWhite);
  overlay.SetPixel(1, 1, kBlack);
  overlay.SetPixel(2, 1, kOlive);
  MergePaint(page, {0, 0, 4, 3}, overlay, {0, 0, 4, 3});
  EXPECT_EQ(page.Pixel(0, 0), Rgb(0x10, 0x20, 0x30));  // white: unchanged
  EXPECT_EQ(page.Pixel(1, 1), kWhite);                 // black: lights fully
  EXPECT_EQ(page.Pixel(2, 1), Rgb(0x10 | 0x7F, 0x20 | 0x7F, 0xFF));
}

TEST(MergePaint, OffsetsClipsAndStretches) {
  Image page(6, 4);
  page.Fill(kBlack);
  Image overlay(3, 2);
  overlay.Fill(kWhite);
  overlay.SetPixel(0, 0, kBlack);
  // Moved by (4, 3): only the overlay's top-left pixel lands, at (4, 3),
  // the rest falls outside the page.
  MergePaint(page, {4, 3, 7, 5}, overlay, {0, 0, 3, 2});
  EXPECT_EQ(page.Pixel(4, 3), kWhite);
  EXPECT_EQ(CountNot(page, kBlack), 1);
  // A source rectangle reaching past the overlay changes nothing outside it.
  page.Fill(kBlack);
  MergePaint(page, {0, 0, 6, 4}, overlay, {-3, -2, 3, 2});
  EXPECT_EQ(page.Pixel(3, 2), kWhite);
  EXPECT_EQ(CountNot(page, kBlack), 1);
  // Stretched twice: the black pixel covers 2 x 2.
  page.Fill(kBlack);
  MergePaint(page, {0, 0, 6, 4}, overlay, {0, 0, 3, 2});
  EXPECT_EQ(Marks(page, kBlack),
            "##....\n"
            "##....\n"
            "......\n"
            "......\n");
}

TEST(Canvas, StretchDrawPicksTheNearestSourcePixel) {
  Image src(2, 2);
  src.SetPixel(0, 0, Rgb(1, 0, 0));
  src.SetPixel(1, 0, Rgb(2, 0, 0));
  src.SetPixel(0, 1, Rgb(3, 0, 0));
  src.SetPixel(1, 1, Rgb(4, 0, 0));
  Image dst(5, 4);
  Canvas cv(dst);
  cv.StretchDraw({0, 0, 4, 4}, src, {0, 0, 2, 2});
  EXPECT_EQ(dst.Pixel(1, 1), Rgb(1, 0, 0));
  EXPECT_EQ(dst.Pixel(2, 1), Rgb(2, 0, 0));
  EXPECT_EQ(dst.Pixel(3, 3), Rgb(4, 0, 0));
  EXPECT_EQ(dst.Pixel(4, 0), kBlack);
}

TEST(Canvas, TextIsDrawnInTheFontColourWithinItsExtent) {
  Image img(80, 30);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.font.color = Rgb(255, 0, 0);
  cv.brush.clear = true;
  TextSize size = cv.TextExtent("Nord 12'");
  ASSERT_GT(size.width, 20);
  EXPECT_GT(size.height, 8);
  EXPECT_LT(size.height, 20);
  EXPECT_GT(cv.TextExtent("Nord 12' 34").width, size.width);
  cv.TextOut(5, 4, "Nord 12'");
  int red = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) {
      Bgr p = img.Pixel(x, y);
      if (p == kWhite) continue;
      ASSERT_TRUE(x >= 5 && x < 5 + size.width && y >= 4 && y < 4 + size.height) << x << "," << y;
      ASSERT_EQ(p.r, 255);  // blended between white and red only
      red += p == Rgb(255, 0, 0);
    }
  EXPECT_GT(red, 10);
  EXPECT_GT(cv.TextExtent("10\xC2\xB0").width, cv.TextExtent("10").width);  // degree sign
}

TEST(Canvas, MissingFontDrawsNothingAndSaysWhichFile) {
  std::string logged;
  SetLogSink([&](std::string_view, LogLevel, std::string_view line) { logged += line; });
  std::string saved = FontDirectory();
  SetFontDirectory("/nonexistent/fonts");
  Image img(20, 10);
  img.Fill(kWhite);
  Canvas cv(img);
  cv.font.name = "Courier New";
  cv.font.bold = true;
  EXPECT_EQ(cv.TextExtent("abc").width, 0);
  cv.TextOut(0, 0, "abc");
  RenderedText text;
  std::string error;
  EXPECT_FALSE(RenderText(cv.font, "abc", true, text, error));
  SetFontDirectory(saved);
  SetLogSink(nullptr);
  EXPECT_EQ(CountNot(img, kWhite), 0);
  EXPECT_NE(error.find("/nonexistent/fonts/DejaVuSansMono-Bold.ttf"), std::string::npos) << error;
}

}  // namespace
}  // namespace orniva
