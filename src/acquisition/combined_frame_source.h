#pragma once

#include <memory>
#include <vector>

#include "acquisition/frame_source.h"

namespace orniva {

// The frame sources of one camera put together: the driver list is their
// lists one after the other (at most kMaxDrivers in all), and once a driver
// is connected every call goes to the source that owns it.
class CombinedFrameSource : public FrameSource {
 public:
  explicit CombinedFrameSource(std::vector<std::unique_ptr<FrameSource>> sources);

  std::vector<DriverDescription> ListDrivers() override;
  bool Connect(int driverIndex) override;
  void Disconnect() override;
  bool Connected() const override { return active_ && active_->Connected(); }
  VideoFormat GetVideoFormat() override;
  std::vector<VideoFormat> Formats() override;
  bool SetVideoFormat(const VideoFormat& format) override;
  std::vector<SourceControl> Controls() override;
  bool SetControl(uint32_t id, int value) override;
  bool GrabFrame(Image& frame) override;
  bool StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) override;
  void StopStream() override;
  bool Streaming() const override { return active_ && active_->Streaming(); }
  StreamStats Stats() const override { return active_ ? active_->Stats() : StreamStats{}; }
  std::string LastError() const override;

  FrameSource* Active() const { return active_; }

 private:
  bool NotConnected();

  std::vector<std::unique_ptr<FrameSource>> sources_;
  // Driver i of the last list: which source, and its index there.
  std::vector<std::pair<FrameSource*, int>> drivers_;
  FrameSource* active_ = nullptr;
  std::string error_;
};

}  // namespace orniva
