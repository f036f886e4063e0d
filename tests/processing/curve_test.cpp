#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "processing/curve.h"

namespace orniva {
namespace {

TEST(Curve, FlatPointsGiveAnEmptyTable) {
  const CurveBuild c = BuildCurve(CurvePoints{});
  ASSERT_TRUE(c.ok);
  for (int v : c.table) ASSERT_EQ(v, 0);
}

TEST(Curve, RaisedMiddlePointBendsTheCurveThroughIt) {
  CurvePoints p;
  p.positions[4] = 155;  // +100 at x = 128
  const CurveBuild c = BuildCurve(p);
  EXPECT_NEAR(c.table[128], 100, 1);
  EXPECT_EQ(c.table[0], 0);
  EXPECT_EQ(c.table[255], 0);
  for (int x = 1; x < 128; ++x) EXPECT_LE(c.table[x - 1], c.table[x] + 1) << x;
}

TEST(Curve, UncheckedPointsFollowTheCurve) {
  CurvePoints p;
  p.positions[3] = 55;  // +200 at x = 96
  p.positions[5] = 55;  // +200 at x = 160
  p.enabled[4] = false;
  const CurveBuild c = BuildCurve(p);
  EXPECT_EQ(c.positions[4], 255 - c.table[128 + 14]);
  EXPECT_GT(c.table[128], 150);
}

TEST(Curve, IntegerSquareRoot) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {4, 2}, {99, 9}, {1024, 32}, {65025, 255}};
  for (auto [d2, root] : cases) EXPECT_EQ(CurveSqrt(d2), root) << d2;
}

TEST(Curve, FileRoundTripAndForeignFiles) {
  const auto dir = std::filesystem::temp_directory_path() / "orniva_curve_test";
  std::filesystem::create_directories(dir);
  const std::string good = (dir / "a.crv").string(), bad = (dir / "b.crv").string(),
                    shortFile = (dir / "c.crv").string();
  CurvePoints p;
  p.positions = {0, 510, -7, 255, 300, 1, 2, 3, 70000};
  p.enabled = {true, false, true, false, true, true, false, true, true};
  ASSERT_TRUE(WriteCurveFile(good, p));
  EXPECT_EQ(std::filesystem::file_size(good), 48u);
  CurvePoints back;
  ASSERT_TRUE(ReadCurveFile(good, back));
  EXPECT_EQ(back, p);

  std::ofstream(bad, std::ios::binary) << std::string(48, 'x');
  std::ofstream(shortFile, std::ios::binary) << "CRV1234";
  CurvePoints untouched;
  EXPECT_FALSE(ReadCurveFile(bad, untouched));
  EXPECT_FALSE(ReadCurveFile(shortFile, untouched));
  EXPECT_FALSE(ReadCurveFile((dir / "missing.crv").string(), untouched));
  EXPECT_EQ(untouched, CurvePoints{});
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace orniva
