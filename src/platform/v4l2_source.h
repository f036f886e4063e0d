#pragma once

#include <linux/videodev2.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/frame_source.h"
#include "platform/capture_thread.h"
#include "platform/v4l2_convert.h"
#include "platform/v4l2_io.h"

namespace orniva {

// The webcams and video grabbers of a Linux system (Video4Linux2): each
// capture device node is a driver of the driver dialog; frames are captured
// through memory-mapped buffers and converted to 24-bit BGR by
// libv4lconvert; the device's controls are the source dialog. In stream
// mode a capture thread reads and converts the frames.
class V4l2FrameSource : public FrameSource, private FrameReader {
 public:
  using Opener =
      std::function<std::unique_ptr<V4l2Io>(const std::string& path, std::string& error)>;

  // The capture devices of the system: the /dev/videoN that exist when the
  // driver list is asked for.
  V4l2FrameSource();
  // nodes: the device paths tried, in order; opener: how a node is opened.
  explicit V4l2FrameSource(std::vector<std::string> nodes, Opener opener = OpenV4l2Device);
  ~V4l2FrameSource() override;

  static std::vector<std::string> DeviceNodes();

  std::vector<DriverDescription> ListDrivers() override;
  bool Connect(int driverIndex) override;
  void Disconnect() override;
  bool Connected() const override { return io_ != nullptr; }
  VideoFormat GetVideoFormat() override;
  std::vector<VideoFormat> Formats() override;
  bool SetVideoFormat(const VideoFormat& format) override;
  std::vector<SourceControl> Controls() override;
  bool SetControl(uint32_t id, int value) override;
  bool GrabFrame(Image& frame) override;
  bool StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) override;
  void StopStream() override;
  bool Streaming() const override { return thread_ != nullptr; }
  StreamStats Stats() const override { return thread_ ? thread_->Stats() : lastStats_; }
  std::string LastError() const override { return error_; }

  // How long a grab waits for a frame, and how many such waits in a row a
  // stream accepts before it gives the device up.
  static constexpr int kFrameWaitMs = 2000;
  static constexpr int kStreamTimeouts = 3;

 private:
  struct Buffer {
    void* data = nullptr;
    size_t length = 0;
  };
  struct Device {
    std::string path;
    std::string name;
  };
  enum class Dequeue { Frame, None, Dropped, Failed };

  Result ReadFrame(Image& frame, std::string& error) override;
  void Wake() override;

  bool Fail(const std::string& what, int err);
  bool StartCapture();
  void StopCapture();
  Dequeue DequeueInto(Image& frame, std::string& error);
  void Requeue(uint32_t index);

  std::vector<std::string> nodes_;
  bool scanNodes_ = false;
  Opener opener_;
  std::vector<Device> devices_;
  std::string name_;
  std::unique_ptr<V4l2Io> io_;
  std::unique_ptr<V4l2Converter> converter_;
  v4l2_format format_{};
  std::vector<Buffer> buffers_;
  bool capturing_ = false;
  std::unique_ptr<CaptureThread> thread_;
  std::atomic<bool> stopRequested_{false};
  StreamStats lastStats_;
  std::string error_;
};

}  // namespace orniva
