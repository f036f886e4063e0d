// "Mire de test": the frame source without hardware.
#include <gtest/gtest.h>

#include "acquisition/frame_limits.h"
#include "acquisition/test_pattern.h"
#include "core/virtual_event_loop.h"

namespace orniva {
namespace {

bool Same(const Image& a, const Image& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

const VideoFormat* FindFormat(const std::vector<VideoFormat>& list, const std::string& text) {
  for (const VideoFormat& f : list) {
    if (f.Text() == text) return &f;
  }
  return nullptr;
}

TEST(TestPattern, OneDriverAndTheFormatsOfAWebcam) {
  TestPatternSource source;
  const auto drivers = source.ListDrivers();
  ASSERT_EQ(drivers.size(), 1u);
  EXPECT_EQ(drivers[0].Text(), "Mire de test 1.0");
  EXPECT_FALSE(source.Connect(1));
  EXPECT_FALSE(source.LastError().empty());
  ASSERT_TRUE(source.Connect(0));
  EXPECT_EQ(source.GetVideoFormat().Text(), "YUYV 640x480");
  EXPECT_EQ(source.GetVideoFormat().bitCount, 16);

  const auto formats = source.Formats();
  EXPECT_NE(FindFormat(formats, "MJPG 1024x768"), nullptr);
  EXPECT_NE(FindFormat(formats, "YUYV 320x240"), nullptr);
  EXPECT_NE(FindFormat(formats, "YUYV 1280x720"), nullptr);  // beyond the frame limit
  EXPECT_EQ(FindFormat(formats, "BA81 640x480"), nullptr);   // raw only on request
  TestPatternSource raw(true);
  EXPECT_NE(FindFormat(raw.Formats(), "BA81 640x480"), nullptr);
  EXPECT_EQ(raw.GetVideoFormat().Text(), "YUYV 640x480");

  VideoFormat unknown = source.GetVideoFormat();
  unknown.width = 123;
  EXPECT_FALSE(source.SetVideoFormat(unknown));
  EXPECT_EQ(source.GetVideoFormat().Text(), "YUYV 640x480");
}

TEST(TestPattern, NumberedFramesWithAMovingGradientAndPointSources) {
  TestPatternSource source;
  ASSERT_TRUE(source.Connect(0));
  ASSERT_TRUE(source.SetVideoFormat(*FindFormat(source.Formats(), "YUYV 320x240")));
  Image a, b;
  ASSERT_TRUE(source.GrabFrame(a));
  ASSERT_TRUE(source.GrabFrame(b));
  EXPECT_EQ(a.Width(), 320);
  EXPECT_EQ(a.Height(), 240);
  EXPECT_EQ(source.FrameNumber(), 2);
  EXPECT_FALSE(Same(a, b));
  // Frame 1 is what the renderer makes of number 1.
  Image expected(320, 240);
  RenderTestPattern(1, {}, false, expected);
  EXPECT_TRUE(Same(b, expected));

  // The gradient moves by 4 levels (5 pixels at this width) per frame along
  // a row away from stars and digits.
  const int y = 239;
  for (int x = 0; x + 5 < 300; ++x) ASSERT_EQ(b.Pixel(x, y), a.Pixel(x + 5, y)) << x;

  // Each point source is the brightest spot around its place.
  for (const PatternStar& s : TestPatternStars()) {
    const int cx = static_cast<int>(s.fx * 320), cy = static_cast<int>(s.fy * 240);
    const int centre = a.Pixel(cx, cy).g;
    EXPECT_GT(centre, a.Pixel(cx + 4, cy).g + 40);
    EXPECT_GT(centre, a.Pixel(cx, cy - 4).g + 40);
  }
}

TEST(TestPattern, ControlsChangeTheImage) {
  TestPatternSource source;
  ASSERT_TRUE(source.Connect(0));
  const auto controls = source.Controls();
  ASSERT_EQ(controls.size(), 2u);
  EXPECT_EQ(controls[0].name, "Luminosite");
  EXPECT_EQ(controls[1].name, "Gain");
  const PatternStar s = TestPatternStars()[2];
  const int cx = static_cast<int>(s.fx * 640), cy = static_cast<int>(s.fy * 480);
  Image normal, dim;
  ASSERT_TRUE(source.GrabFrame(normal));
  ASSERT_TRUE(source.SetControl(TestPatternSource::kGain, 50));
  ASSERT_TRUE(source.SetControl(TestPatternSource::kBrightness, -64));
  EXPECT_EQ(source.Controls()[1].value, 50);
  ASSERT_TRUE(source.GrabFrame(dim));
  EXPECT_LT(dim.Pixel(cx, cy).g, normal.Pixel(cx, cy).g - 50);
  EXPECT_EQ(dim.Pixel(600, 470), kBlack);
  EXPECT_FALSE(source.SetControl(99, 1));
}

TEST(TestPattern, RawBayerFramesCarryOneColourPerPixel) {
  TestPatternSource source(true);
  ASSERT_TRUE(source.Connect(0));
  ASSERT_TRUE(source.SetVideoFormat(*FindFormat(source.Formats(), "BA81 160x120")));
  EXPECT_EQ(source.GetVideoFormat().bitCount, 8);
  Image raw, colour(160, 120);
  ASSERT_TRUE(source.GrabFrame(raw));
  RenderTestPattern(0, {}, false, colour);
  // Mode 1 (GR): green red on even rows, blue green on odd rows.
  EXPECT_EQ(raw.Pixel(0, 0).g, colour.Pixel(0, 0).g);
  EXPECT_EQ(raw.Pixel(51, 40).r, colour.Pixel(51, 40).r);
  EXPECT_EQ(raw.Pixel(50, 41).b, colour.Pixel(50, 41).b);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 160; ++x) {
      const Bgr p = raw.Pixel(x, y);
      ASSERT_TRUE(p.b == p.g && p.g == p.r) << x << "," << y;
    }
  }
}

TEST(TestPattern, StreamsOnTheLoopAtTheRequestedPeriod) {
  TestPatternSource source;
  VirtualEventLoop loop;
  EXPECT_FALSE(source.StartStream(loop, 100, {}));  // not connected
  ASSERT_TRUE(source.Connect(0));
  std::vector<int> firstPixels;
  ASSERT_TRUE(source.StartStream(
      loop, 100, {[&](const Image& f) { firstPixels.push_back(f.Pixel(300, 470).b); }, nullptr}));
  Image frame;
  EXPECT_FALSE(source.GrabFrame(frame));  // not while streaming
  loop.RunFor(1000);
  EXPECT_EQ(firstPixels.size(), 10u);
  EXPECT_EQ(source.Stats().delivered, 10);
  EXPECT_NE(firstPixels[0], firstPixels[5]);
  source.StopStream();
  loop.RunFor(1000);
  EXPECT_EQ(firstPixels.size(), 10u);
  EXPECT_TRUE(source.GrabFrame(frame));
}

TEST(TestPattern, UnpluggedMidStreamStopsWithAMessage) {
  TestPatternSource source;
  VirtualEventLoop loop;
  ASSERT_TRUE(source.Connect(0));
  int frames = 0;
  std::string failure;
  ASSERT_TRUE(source.StartStream(
      loop, 40, {[&](const Image&) { ++frames; }, [&](const std::string& m) { failure = m; }}));
  loop.RunFor(200);
  EXPECT_EQ(frames, 5);
  source.Unplug();
  loop.RunFor(200);
  EXPECT_EQ(frames, 5);
  EXPECT_NE(failure.find("Mire de test"), std::string::npos);
  EXPECT_FALSE(source.Streaming());
  Image frame;
  EXPECT_FALSE(source.GrabFrame(frame));
}

}  // namespace
}  // namespace orniva
