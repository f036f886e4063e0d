// Putting frame sources together, reading a camera's format, and formats
// chosen in the format dialog.
#include <gtest/gtest.h>

#include "acquisition/capture_format.h"
#include "acquisition/combined_frame_source.h"
#include "acquisition/test_pattern.h"

namespace orniva {
namespace {

// A test pattern under another name, standing for any other driver.
class NamedPattern : public TestPatternSource {
 public:
  explicit NamedPattern(std::string name, int drivers = 1) : name_(std::move(name)), n_(drivers) {}
  std::vector<DriverDescription> ListDrivers() override {
    std::vector<DriverDescription> list;
    for (int i = 0; i < n_; ++i) list.push_back({name_ + std::to_string(i), "2.1"});
    return list;
  }
  bool Connect(int index) override {
    connectedIndex = index;
    return TestPatternSource::Connect(0);
  }
  int connectedIndex = -1;

 private:
  std::string name_;
  int n_;
};

// A driver that gives no usable format header.
class HeaderlessPattern : public TestPatternSource {
 public:
  VideoFormat GetVideoFormat() override {
    VideoFormat f = TestPatternSource::GetVideoFormat();
    f.headerSize = 0;
    f.width = f.height = f.bitCount = 0;
    return f;
  }
};

TEST(CombinedFrameSource, DriversOfEverySourceInOrderAtMostTen) {
  for (auto [first, second, expected] : {std::tuple{1, 3, 4}, std::tuple{1, 11, 10}}) {
    std::vector<std::unique_ptr<FrameSource>> sources;
    sources.push_back(std::make_unique<TestPatternSource>());
    auto* cams = new NamedPattern("Webcam ", second);
    sources.push_back(std::unique_ptr<FrameSource>(cams));
    CombinedFrameSource combined(std::move(sources));
    const auto list = combined.ListDrivers();
    ASSERT_EQ(static_cast<int>(list.size()), expected) << first;
    EXPECT_EQ(list[0].Text(), "Mire de test 1.0");
    EXPECT_EQ(list[1].Text(), "Webcam 0 2.1");
    EXPECT_EQ(list.back().Text(), "Webcam " + std::to_string(expected - 2) + " 2.1");
    EXPECT_FALSE(combined.Connected());
    Image frame;
    EXPECT_FALSE(combined.GrabFrame(frame));
    ASSERT_TRUE(combined.Connect(2));
    EXPECT_EQ(cams->connectedIndex, 1);
    EXPECT_TRUE(combined.GrabFrame(frame));
    EXPECT_FALSE(combined.Connect(expected));
    EXPECT_FALSE(combined.Connected());
  }
}

TEST(CaptureFormat, ReadsTheDeviceFormatOrSizesItFromOneFrame) {
  Image scratch;
  TestPatternSource pattern;
  ASSERT_TRUE(pattern.Connect(0));
  FormatReading r = ReadVideoFormat(pattern, scratch, 1);
  EXPECT_FALSE(r.fromFrame);
  EXPECT_EQ(r.format.width, 640);
  EXPECT_EQ(r.format.bitCount, 16);
  EXPECT_EQ(pattern.FrameNumber(), 0);  // nothing grabbed
  EXPECT_NE(r.debugText.find("biWidth         = 640\r\n"), std::string::npos);
  EXPECT_NE(r.debugText.find("VideoCap1.CapHeight  = 480\r\n"), std::string::npos);

  HeaderlessPattern headerless;
  ASSERT_TRUE(headerless.Connect(0));
  ASSERT_TRUE(headerless.TestPatternSource::SetVideoFormat(headerless.Formats()[2]));  // 320x240
  r = ReadVideoFormat(headerless, scratch, 2);
  EXPECT_TRUE(r.fromFrame);
  EXPECT_EQ(r.format.width, 320);
  EXPECT_EQ(r.format.height, 240);
  EXPECT_EQ(r.format.bitCount, 24);
  EXPECT_NE(r.debugText.find("bisize          = 0\r\n"), std::string::npos);
  EXPECT_NE(r.debugText.find("FrIma.Width       = 320\r\n"), std::string::npos);
}

TEST(CaptureFormat, RefusedFormatPutsThePreviousOneBack) {
  TestPatternSource pattern;
  ASSERT_TRUE(pattern.Connect(0));
  const VideoFormat before = pattern.GetVideoFormat();
  VideoFormat wide;
  VideoFormat small;
  for (const VideoFormat& f : pattern.Formats()) {
    if (f.Text() == "MJPG 1280x720") wide = f;
    if (f.Text() == "MJPG 1024x768") small = f;
  }
  std::string message;
  EXPECT_FALSE(ApplyVideoFormat(pattern, wide, message));
  EXPECT_EQ(message,
            "La taille des images video est limitée à 1024x768\r\n"
            "La taille actuelle est 1280x720, veuillez choisir un autre format.");
  EXPECT_EQ(pattern.GetVideoFormat(), before);
  Image frame;
  ASSERT_TRUE(pattern.GrabFrame(frame));
  EXPECT_EQ(frame.Width(), 640);

  EXPECT_TRUE(ApplyVideoFormat(pattern, small, message));
  EXPECT_EQ(message, "");
  EXPECT_EQ(pattern.GetVideoFormat().Text(), "MJPG 1024x768");

  VideoFormat missing = small;
  missing.width = 999;
  EXPECT_FALSE(ApplyVideoFormat(pattern, missing, message));
  EXPECT_NE(message.find("non disponible"), std::string::npos);
  EXPECT_EQ(pattern.GetVideoFormat().Text(), "MJPG 1024x768");
}

}  // namespace
}  // namespace orniva
