#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/frame_source.h"
#include "sim/sim_camera.h"

namespace orniva {

class SimulatedObservatory;

// The device format of a simulated camera format: 24-bit RGB, or the 8-bit
// red-green / green-blue mosaic ("RGGB") of the raw formats.
VideoFormat SimVideoFormat(const SimFormat& format);

// "Simulateur": the simulated camera as a capture driver of the camera
// lists. The observatory (sky and mount) is asked for at the connection
// only, so listing the driver costs nothing; each connection looks through
// its own camera, so both cameras may run on the same sky at once.
class SimFrameSource : public FrameSource {
 public:
  // observatory gives the simulated sky and mount, or nullptr when it
  // cannot be had (the connection then fails).
  SimFrameSource(EventLoop& loop, std::function<SimulatedObservatory*()> observatory);
  ~SimFrameSource() override;

  std::vector<DriverDescription> ListDrivers() override;
  bool Connect(int driverIndex) override;
  void Disconnect() override;
  bool Connected() const override { return camera_ != nullptr; }
  VideoFormat GetVideoFormat() override { return SimVideoFormat(format_); }
  std::vector<VideoFormat> Formats() override;
  bool SetVideoFormat(const VideoFormat& format) override;
  std::vector<SourceControl> Controls() override { return {}; }
  bool SetControl(uint32_t id, int value) override;
  bool GrabFrame(Image& frame) override;
  bool StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) override;
  void StopStream() override;
  bool Streaming() const override { return camera_ && camera_->Streaming(); }
  StreamStats Stats() const override;
  std::string LastError() const override { return error_; }

  // The connected camera (null when disconnected).
  SimCamera* Camera() const { return camera_.get(); }

 private:
  bool Usable(const char* action);

  EventLoop& loop_;
  std::function<SimulatedObservatory*()> observatory_;
  std::unique_ptr<SimCamera> camera_;
  SimFormat format_;
  StreamStats stats_;
  int64_t droppedBefore_ = 0;
  std::string error_;
};

}  // namespace orniva
