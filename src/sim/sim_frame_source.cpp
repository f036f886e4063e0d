#include "sim/sim_frame_source.h"

#include "sim/simulated_observatory.h"

namespace orniva {

VideoFormat SimVideoFormat(const SimFormat& format) {
  const auto pixels = static_cast<uint32_t>(format.width) * static_cast<uint32_t>(format.height);
  if (format.rawBayer)
    return {40, format.width, format.height, 8, FourCc('R', 'G', 'G', 'B'), pixels};
  return {40, format.width, format.height, 24, 0, pixels * 3};
}

SimFrameSource::SimFrameSource(EventLoop& loop, std::function<SimulatedObservatory*()> observatory)
    : loop_(loop), observatory_(std::move(observatory)) {}

SimFrameSource::~SimFrameSource() {
  StopStream();
}

std::vector<DriverDescription> SimFrameSource::ListDrivers() {
  return {{kSimulatorDriverName, "1.0"}};
}

bool SimFrameSource::Connect(int driverIndex) {
  if (driverIndex != 0) {
    error_ = "Pilote " + std::to_string(driverIndex) + " introuvable";
    return false;
  }
  if (camera_) return true;
  SimulatedObservatory* observatory = observatory_ ? observatory_() : nullptr;
  if (!observatory) {
    error_ = std::string(kSimulatorDriverName) + " : observatoire simule indisponible";
    return false;
  }
  camera_ = std::make_unique<SimCamera>(observatory->Sky(), observatory->Mount());
  // The observatory's own camera holds the settings of the run.
  camera_->SetExposure(observatory->Camera().Exposure());
  if (!camera_->SetFormat(format_)) camera_->SetFormat(format_ = observatory->Camera().Format());
  stats_ = {};
  return true;
}

void SimFrameSource::Disconnect() {
  StopStream();
  camera_.reset();
}

std::vector<VideoFormat> SimFrameSource::Formats() {
  std::vector<VideoFormat> formats;
  for (const SimFormat& f : SimCamera::Formats()) formats.push_back(SimVideoFormat(f));
  return formats;
}

bool SimFrameSource::SetVideoFormat(const VideoFormat& format) {
  for (const SimFormat& f : SimCamera::Formats()) {
    if (SimVideoFormat(f) != format) continue;
    if (camera_ && camera_->Streaming()) break;
    if (camera_) camera_->SetFormat(f);
    format_ = f;
    return true;
  }
  error_ = std::string(kSimulatorDriverName) + " : format " + format.Text() + " non disponible";
  return false;
}

bool SimFrameSource::SetControl(uint32_t id, int) {
  error_ = std::string(kSimulatorDriverName) + " : controle " + std::to_string(id) + " inconnu";
  return false;
}

bool SimFrameSource::Usable(const char* action) {
  if (!camera_) {
    error_ = std::string(kSimulatorDriverName) + " : pas connecte (" + action + ")";
    return false;
  }
  if (camera_->Streaming()) {
    error_ = std::string(kSimulatorDriverName) + " : flux en cours (" + action + ")";
    return false;
  }
  return true;
}

bool SimFrameSource::GrabFrame(Image& frame) {
  if (!Usable("capture")) return false;
  camera_->GrabFrame(loop_, frame);
  return true;
}

bool SimFrameSource::StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) {
  if (!Usable("flux")) return false;
  if (framePeriodMs <= 0 || !sink.frame) {
    error_ = std::string(kSimulatorDriverName) + " : periode " + std::to_string(framePeriodMs) +
             " ms refusee";
    return false;
  }
  stats_ = {};
  droppedBefore_ = camera_->Dropped();
  // The camera renders each frame on the loop's timer and hands it over at
  // once; what it could not render while the loop was held it counts.
  return camera_->StartStream(loop, framePeriodMs,
                              [this, frame = std::move(sink.frame)](const Image& image) {
                                ++stats_.delivered;
                                frame(image);
                              });
}

StreamStats SimFrameSource::Stats() const {
  StreamStats stats = stats_;
  if (camera_) stats.dropped = camera_->Dropped() - droppedBefore_;
  return stats;
}

void SimFrameSource::StopStream() {
  if (camera_) camera_->StopStream();
}

}  // namespace orniva
