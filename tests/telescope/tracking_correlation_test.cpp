#include <gtest/gtest.h>

#include <cmath>

#include "synthetic_stars.h"
#include "telescope/tracking_correlation.h"

namespace orniva {
namespace {

using test::RenderStars;
using test::Star;

TEST(CorrelationScore, IdenticalScoresOneOtherWidthZeroFlatIsAnError) {
  Image frame(200, 200);
  RenderStars(frame, {{100.3, 99.6, 180, 2.0}, {108, 95, 90, 1.5}}, 10, 3);
  CorrelationReference ref;
  CaptureCorrelationReference(ref, frame, 100, 100, 2, 40, 40);
  ASSERT_EQ(ref.image.Width(), 40);
  ASSERT_EQ(ref.image.Height(), 40);
  // The reference holds columns 80..119 of the frame (41 stretched to 40).
  EXPECT_EQ(ref.image.Pixel(0, 0), frame.Pixel(80, 80));
  EXPECT_EQ(ref.image.Pixel(20, 20), frame.Pixel(100, 100));

  double score = -2;
  ASSERT_TRUE(CorrelationScore(ref, ref.image, 2, score));
  EXPECT_NEAR(score, 1.0, 1e-12);

  Image negative(40, 40);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const Bgr p = ref.image.Pixel(x, y);
      negative.SetPixel(x, y, {uint8_t(255 - p.b), uint8_t(255 - p.g), uint8_t(255 - p.r)});
    }
  }
  ASSERT_TRUE(CorrelationScore(ref, negative, 2, score));
  EXPECT_NEAR(score, -1.0, 1e-12);

  Image other(41, 40);
  ASSERT_TRUE(CorrelationScore(ref, other, 2, score));
  EXPECT_EQ(score, 0);

  Image flat(40, 40);
  flat.Fill({50, 50, 50});
  EXPECT_FALSE(CorrelationScore(ref, flat, 2, score));
}

TEST(CorrelationSearch, FreshReferenceSkipsOneSearch) {
  Image frame(200, 200);
  RenderStars(frame, {{100, 100, 200, 2}}, 8, 2);
  CorrelationReference ref;
  CaptureCorrelationReference(ref, frame, 100, 100, 2, 40, 40);
  ref.fresh = true;
  Image moved(200, 200);
  RenderStars(moved, {{106, 97, 200, 2}}, 8, 2, 7);
  EXPECT_EQ(CorrelationSearch(ref, moved, 100, 100, 40, 40, 10), (IntPoint{100, 100}));
  EXPECT_FALSE(ref.fresh);
  EXPECT_EQ(CorrelationSearch(ref, moved, 100, 100, 40, 40, 10), (IntPoint{106, 97}));
  // A reference of another size scores nothing: the position stays.
  EXPECT_EQ(CorrelationSearch(ref, moved, 100, 100, 30, 30, 10), (IntPoint{100, 100}));
}

// A double star (a bright primary and a fainter companion 6 px away) moves
// between frames; the search locks onto the pair's new place. The spiral's
// step (sqrt(zone + 1) div (2 precision) + 1) fixes the grid it can reach:
// with precision 10 every pixel, with precision 2 every other one.
TEST(CorrelationSearch, FollowsADoubleStarWithinTheGridOfItsStep) {
  struct Case {
    double dx, dy;
    int precision;
    double maxError;  // pixels, per axis
  };
  const Case cases[] = {
      {5, -3, 10, 0.0}, {-7, 4, 10, 0.0}, {2.4, 1.6, 10, 0.5},
      {5, -3, 2, 1.0},  {-6, 6, 2, 1.0},  {9, 0, 1, 2.0},
  };
  const Star a{100.0, 100.0, 200, 1.8}, b{105.5, 103.0, 110, 1.6};
  Image frame(240, 220);
  RenderStars(frame, {a, b}, 8, 2, 3);
  for (const Case& c : cases) {
    CorrelationReference ref;
    CaptureCorrelationReference(ref, frame, 100, 100, c.precision, 40, 40);
    Image moved(240, 220);
    Star a2 = a, b2 = b;
    a2.x += c.dx, a2.y += c.dy, b2.x += c.dx, b2.y += c.dy;
    RenderStars(moved, {a2, b2}, 8, 2, 11);
    const IntPoint p = CorrelationSearch(ref, moved, 100, 100, 40, 40, c.precision);
    EXPECT_LE(std::abs(p.x - (100 + c.dx)), c.maxError)
        << c.dx << "," << c.dy << " p" << c.precision;
    EXPECT_LE(std::abs(p.y - (100 + c.dy)), c.maxError)
        << c.dx << "," << c.dy << " p" << c.precision;
  }
}

TEST(CorrelationSearch, PartsOutsideTheFrameReadBlackWithoutHarm) {
  // The zone hugs the top-left corner: candidates beyond the frame see black.
  Image frame(80, 60);
  RenderStars(frame, {{22, 21, 200, 1.8}}, 8, 2);
  CorrelationReference ref;
  CaptureCorrelationReference(ref, frame, 21, 21, 10, 40, 40);
  Image moved(80, 60);
  RenderStars(moved, {{25, 23, 200, 1.8}}, 8, 2, 5);
  EXPECT_EQ(CorrelationSearch(ref, moved, 21, 21, 40, 40, 10), (IntPoint{24, 23}));
}

}  // namespace
}  // namespace orniva
