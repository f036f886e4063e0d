#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/event_loop.h"
#include "core/image.h"
#include "sim/mount_model.h"
#include "sim/sky_model.h"

namespace orniva {

// The driver name of the simulated camera in the driver list.
inline constexpr const char* kSimulatorDriverName = "Simulateur";

// A frame format of the simulated camera; rawBayer delivers the mosaic of a
// colour sensor in raw mode.
struct SimFormat {
  int width = 640;
  int height = 480;
  bool rawBayer = false;
  friend bool operator==(const SimFormat&, const SimFormat&) = default;
};

// The simulated camera: frames of the sky model at the place the simulated
// mount points at the moment of each frame, on the event loop's clock.
// Frames of an exposure longer than a quarter second sweep the pointings of
// the whole exposure, so a mount moving during it trails the stars.
//
// Long exposure: while the control lines say "integrate" the sensor gathers
// light and the frames that come out are read-out-free darks (read noise
// only); the first frame after the lines close carries the whole
// integration.
class SimCamera {
 public:
  SimCamera(SkyModel& sky, MountModel& mount);
  ~SimCamera();
  SimCamera(const SimCamera&) = delete;
  SimCamera& operator=(const SimCamera&) = delete;

  // The formats offered, up to 1024 × 768, each also in raw mosaic.
  static std::vector<SimFormat> Formats();
  // Any size from 16 × 16 to 1024 × 768; false (and nothing changed) beyond.
  bool SetFormat(const SimFormat& format);
  const SimFormat& Format() const { return format_; }
  void SetExposure(const SimExposure& exposure) { exposure_ = exposure; }
  const SimExposure& Exposure() const { return exposure_; }

  // One frame now, at the loop's time.
  void GrabFrame(const EventLoop& loop, Image& frame);
  // A frame every framePeriodMs on the loop's timers until StopStream. The
  // frames of periods that passed while the loop was held (the timer does
  // not catch up) could not be handed over: they are counted as dropped,
  // as a capture driver drops the frames nobody took.
  bool StartStream(EventLoop& loop, int framePeriodMs,
                   std::function<void(const Image& frame)> sink);
  void StopStream();
  bool Streaming() const { return loop_ != nullptr; }
  int64_t Delivered() const { return delivered_; }
  int64_t Dropped() const { return dropped_; }

  // The long-exposure control lines: true while the sensor integrates.
  void SetIntegrating(bool integrating, int64_t nowMs);
  bool Integrating() const { return integrating_; }

 private:
  void Render(int64_t nowMs, Image& frame);
  std::vector<SimPointing> Sweep(int64_t fromMs, int64_t toMs) const;

  SkyModel& sky_;
  MountModel& mount_;
  SimFormat format_;
  SimExposure exposure_;
  EventLoop* loop_ = nullptr;
  EventLoop::TimerId timer_ = 0;
  std::function<void(const Image&)> sink_;
  Image frame_;
  int64_t delivered_ = 0;
  int64_t dropped_ = 0;
  int64_t lastFrameMs_ = 0;
  bool integrating_ = false;
  int64_t integrationStart_ = 0;
  int64_t integrationEnd_ = -1;  // >= 0: an integration waits to be read out
};

}  // namespace orniva
