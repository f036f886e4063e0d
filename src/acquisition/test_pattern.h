#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/frame_source.h"

namespace orniva {

// What the test pattern's source controls change.
struct TestPatternLook {
  int brightness = 0;     // added to every pixel, -64..64
  int gainPercent = 100;  // scales the point sources, 0..200
};

// Positions of the test pattern's point sources as fractions of the frame
// (x, y) and their peak levels; they stay put while the gradient moves.
struct PatternStar {
  double fx, fy;
  int peak;
};
const std::vector<PatternStar>& TestPatternStars();

// Renders frame number n at frame's current size: a dim horizontal gradient
// that moves 4 levels per frame, a few point sources and the frame number in
// the top-left corner. With rawBayer the frame is a Bayer mosaic (green-red
// on even rows, blue-green on odd rows): each pixel carries the level of its
// filter colour in all three bytes, as a camera in raw mode delivers it.
void RenderTestPattern(int64_t n, const TestPatternLook& look, bool rawBayer, Image& frame);

// "Mire de test": a frame source without hardware, for trying the program
// and for tests. It offers the formats of a common webcam (one beyond the
// frame limit, as webcams do), raw Bayer formats on request, two controls,
// and streams on the event loop's timers at the requested frame period.
class TestPatternSource : public FrameSource {
 public:
  static constexpr uint32_t kBrightness = 1;
  static constexpr uint32_t kGain = 2;

  explicit TestPatternSource(bool offerRawBayer = false);
  ~TestPatternSource() override;

  std::vector<DriverDescription> ListDrivers() override;
  bool Connect(int driverIndex) override;
  void Disconnect() override;
  bool Connected() const override { return connected_; }
  VideoFormat GetVideoFormat() override { return format_; }
  std::vector<VideoFormat> Formats() override { return formats_; }
  bool SetVideoFormat(const VideoFormat& format) override;
  std::vector<SourceControl> Controls() override;
  bool SetControl(uint32_t id, int value) override;
  bool GrabFrame(Image& frame) override;
  bool StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) override;
  void StopStream() override;
  bool Streaming() const override { return loop_ != nullptr; }
  StreamStats Stats() const override { return stats_; }
  std::string LastError() const override { return error_; }

  // The next frame's number.
  int64_t FrameNumber() const { return frameNumber_; }
  // Behaves from now on like a camera pulled from its socket.
  void Unplug() { unplugged_ = true; }

 private:
  bool Usable(const char* action);
  void Render(Image& frame);
  void Tick();

  std::vector<VideoFormat> formats_;
  VideoFormat format_;
  TestPatternLook look_;
  bool connected_ = false;
  bool unplugged_ = false;
  int64_t frameNumber_ = 0;
  std::string error_;
  EventLoop* loop_ = nullptr;
  EventLoop::TimerId timer_ = 0;
  StreamSink sink_;
  StreamStats stats_;
  Image streamFrame_;
};

}  // namespace orniva
