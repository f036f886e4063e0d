#include "acquisition/frame_ops.h"

#include <gtest/gtest.h>

#include "acquisition/camera.h"
#include "acquisition/memory_status.h"

namespace orniva {
namespace {

TEST(FrameLimits, LargerFormatsAreRefusedNamingTheirSize) {
  struct Case {
    int w, h;
    const char* message;
  };
  const Case cases[] = {
      {1024, 768, ""},
      {1, 1, ""},
      {1025, 768,
       "La taille des images video est limitée à 1024x768\r\nLa taille actuelle est 1025x768, "
       "veuillez choisir un autre format."},
      {1024, 769,
       "La taille des images video est limitée à 1024x768\r\nLa taille actuelle est 1024x769, "
       "veuillez choisir un autre format."},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameTooLargeMessage(c.w, c.h), c.message);
}

TEST(ResultPageSize, BinningAspectAndFrameHeightBoundTheSize) {
  struct Case {
    double s, aspect;
    int frameHeight, binning;
    PageSize expected;
  };
  const Case cases[] = {
      {320, 1.33333, 480, 1, {320, 240}},
      {101, 1.33333, 768, 2, {50, 38}},    // Trunc(50.5); Trunc(Round(75.75) / 2)
      {640, 1.33333, 300, 1, {640, 300}},  // held to the frame height
      {640, 1.33333, 300, 2, {320, 150}},
      {320, 16.0 / 9.0, 360, 1, {320, 180}},
      {320, kLoopAspect, 360, 1, {320, 240}},  // loop integration: 4 / 3 whatever the camera
      {100, 8.0, 480, 1, {100, 12}},           // Round(12.5) is 12: half to even
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResultPageSize(c.s, c.aspect, c.frameHeight, c.binning), c.expected)
        << c.s << " " << c.aspect << " " << c.binning;
  }
}

TEST(FrameOps, MergePaintLightensOnlyWhereTheOverlayIsDark) {
  Image page(3, 2);
  page.Fill({10, 20, 30});
  Image overlay(2, 3);
  overlay.Fill(kWhite);
  overlay.SetPixel(1, 0, kBlack);
  overlay.SetPixel(0, 1, {0xF0, 0xFF, 0x0F});
  MergePaint(page, overlay);
  EXPECT_EQ(page.Pixel(0, 0), (Bgr{10, 20, 30}));
  EXPECT_EQ(page.Pixel(1, 0), kWhite);
  EXPECT_EQ(page.Pixel(0, 1), (Bgr{10 | 0x0F, 20, 30 | 0xF0}));
  EXPECT_EQ(page.Pixel(2, 1), (Bgr{10, 20, 30}));  // beyond the overlay
}

TEST(FrameOps, SaturationMapPaintsRedWhereAnyChannelReachesTheThreshold) {
  Image frame(3, 1);
  frame.SetPixel(0, 0, {199, 199, 199});
  frame.SetPixel(1, 0, {200, 0, 0});
  frame.SetPixel(2, 0, {0, 0, 255});
  Image out(4, 2);
  out.Fill(kWhite);
  SaturationMap(frame, 200, out);
  EXPECT_EQ(out.Pixel(0, 0), kBlack);
  EXPECT_EQ(out.Pixel(1, 0), Rgb(255, 0, 0));
  EXPECT_EQ(out.Pixel(2, 0), Rgb(255, 0, 0));
  EXPECT_EQ(out.Pixel(3, 1), kBlack);
}

TEST(FrameOps, StretchCopyCopiesOrScalesBetweenRectangles) {
  Image src(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.SetPixel(x, y, {uint8_t(x), uint8_t(y), 7});
  Image dst(8, 8);
  StretchCopy(src, {1, 1, 3, 3}, dst, {5, 5, 7, 7});  // same size: a copy
  EXPECT_EQ(dst.Pixel(5, 5), (Bgr{1, 1, 7}));
  EXPECT_EQ(dst.Pixel(6, 6), (Bgr{2, 2, 7}));
  StretchCopy(src, {0, 0, 4, 4}, dst, {0, 0, 2, 2});  // halved: every other pixel
  EXPECT_EQ(dst.Pixel(1, 1), (Bgr{2, 2, 7}));
  StretchCopy(src, {0, 0, 2, 2}, dst, {0, 0, 40, 40});  // clipped to the destination
  EXPECT_EQ(dst.Pixel(7, 7), (Bgr{0, 0, 7}));
}

TEST(FrameOps, GeneralFormatKeepsFourSignificantDigits) {
  struct Case {
    double v;
    const char* text;
  };
  const Case cases[] = {{25, "25"},           {29.97002997, "29.97"}, {5000, "5000"},
                        {0.5, "0.5"},         {12.34567, "12.35"},    {6.613756e-5, "0.00006614"},
                        {12346, "1.235E004"}, {1e-6, "1E-006"},       {0, "0"}};
  for (const Case& c : cases) EXPECT_EQ(FormatGeneral(c.v, 4), c.text) << c.v;
}

TEST(FrameOps, FrameTimeHasDateTimeAndMilliseconds) {
  LocalDateTime t;
  t.year = 2026, t.month = 3, t.day = 7, t.hour = 4, t.minute = 5, t.second = 6, t.millisecond = 7;
  EXPECT_EQ(FormatFrameTime(t), "07/03/2026 04:05:06.007");
}

TEST(MemoryStatus, FiguresComeFromMeminfoAndTheProcessStatus) {
  const char* meminfo =
      "MemTotal:        8000000 kB\nMemFree:  100 kB\nMemAvailable:    2000000 kB\n"
      "SwapTotal:       1000 kB\nSwapFree:        250 kB\n";
  const auto s = ParseMemoryStatus(meminfo, "Name: x\nVmSize:    4096 kB\n", 1 << 30);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->loadPercent, 75);
  EXPECT_EQ(s->totalPhys, 8000000ull * 1024);
  EXPECT_EQ(s->availPhys, 2000000ull * 1024);
  EXPECT_EQ(s->totalPageFile, 1000ull * 1024);
  EXPECT_EQ(s->availPageFile, 250ull * 1024);
  EXPECT_EQ(s->totalVirtual, 1ull << 30);
  EXPECT_EQ(s->availVirtual, (1ull << 30) - 4096 * 1024);
  EXPECT_FALSE(ParseMemoryStatus("garbage", "", 1));
  const auto live = ReadMemoryStatus();  // the machine's own figures
  ASSERT_TRUE(live);
  EXPECT_GT(live->totalPhys, 0u);
  EXPECT_LE(live->availPhys, live->totalPhys);
  EXPECT_GT(live->availVirtual, 0u);
}

}  // namespace
}  // namespace orniva
