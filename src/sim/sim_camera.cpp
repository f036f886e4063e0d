#include "sim/sim_camera.h"

#include <algorithm>
#include <cmath>

namespace orniva {

namespace {

constexpr int64_t kSweepStepMs = 250;
constexpr int kMaxSweep = 32;

}  // namespace

SimCamera::SimCamera(SkyModel& sky, MountModel& mount) : sky_(sky), mount_(mount) {}

SimCamera::~SimCamera() {
  StopStream();
}

std::vector<SimFormat> SimCamera::Formats() {
  std::vector<SimFormat> formats;
  for (bool raw : {false, true})
    for (auto [w, h] :
         {std::pair{160, 120}, {320, 240}, {352, 288}, {640, 480}, {800, 600}, {1024, 768}})
      formats.push_back({w, h, raw});
  return formats;
}

bool SimCamera::SetFormat(const SimFormat& format) {
  if (format.width < 16 || format.height < 16 || format.width > 1024 || format.height > 768)
    return false;
  format_ = format;
  return true;
}

std::vector<SimPointing> SimCamera::Sweep(int64_t fromMs, int64_t toMs) const {
  std::vector<SimPointing> trail;
  const int64_t span = std::max<int64_t>(0, toMs - fromMs);
  const int steps =
      static_cast<int>(std::clamp<int64_t>((span + kSweepStepMs - 1) / kSweepStepMs, 1, kMaxSweep));
  for (int i = 0; i < steps; ++i) {
    // The middle of each equal part of the exposure.
    const int64_t t = fromMs + span * (2 * i + 1) / (2 * steps);
    trail.push_back(mount_.Pointing(t));
  }
  return trail;
}

void SimCamera::Render(int64_t nowMs, Image& frame) {
  SimExposure exposure = exposure_;
  exposure.rawBayer = format_.rawBayer;
  if (integrationEnd_ >= 0) {
    // Read-out of a long exposure.
    exposure.seconds = static_cast<double>(integrationEnd_ - integrationStart_) / 1000.0;
    sky_.Render(frame, format_.width, format_.height, Sweep(integrationStart_, integrationEnd_),
                exposure, nowMs);
    integrationEnd_ = -1;
  } else if (integrating_) {
    // The amplifier is off while the sensor integrates: nothing but read noise.
    exposure.seconds = 0;
    sky_.Render(frame, format_.width, format_.height, std::vector<SimPointing>{}, exposure, nowMs);
  } else {
    const auto span = static_cast<int64_t>(std::llround(exposure.seconds * 1000));
    sky_.Render(frame, format_.width, format_.height, Sweep(nowMs - span, nowMs), exposure, nowMs);
  }
}

void SimCamera::GrabFrame(const EventLoop& loop, Image& frame) {
  Render(loop.NowMs(), frame);
}

bool SimCamera::StartStream(EventLoop& loop, int framePeriodMs,
                            std::function<void(const Image& frame)> sink) {
  if (loop_ || framePeriodMs <= 0 || !sink) return false;
  loop_ = &loop;
  sink_ = std::move(sink);
  lastFrameMs_ = loop.NowMs();
  timer_ = loop.AddTimer(framePeriodMs, true, [this, framePeriodMs] {
    const int64_t now = loop_->NowMs();
    // The periods that passed since the last frame, each of which was due
    // to bring one (a tick that is merely late has lost nothing).
    const int64_t periods = (now - lastFrameMs_) / framePeriodMs;
    if (periods > 1) dropped_ += periods - 1;
    lastFrameMs_ = now;
    Render(now, frame_);
    ++delivered_;
    // The sink may stop the stream; keep it alive for the call.
    const auto sink = sink_;
    sink(frame_);
  });
  return true;
}

void SimCamera::StopStream() {
  if (!loop_) return;
  loop_->RemoveTimer(timer_);
  loop_ = nullptr;
  sink_ = nullptr;
}

void SimCamera::SetIntegrating(bool integrating, int64_t nowMs) {
  if (integrating == integrating_) return;
  integrating_ = integrating;
  if (integrating) {
    integrationStart_ = nowMs;
    integrationEnd_ = -1;
  } else {
    integrationEnd_ = nowMs;
  }
}

}  // namespace orniva
