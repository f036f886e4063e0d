#include "acquisition/combined_frame_source.h"

namespace orniva {

CombinedFrameSource::CombinedFrameSource(std::vector<std::unique_ptr<FrameSource>> sources)
    : sources_(std::move(sources)) {}

std::vector<DriverDescription> CombinedFrameSource::ListDrivers() {
  drivers_.clear();
  std::vector<DriverDescription> list;
  for (const auto& source : sources_) {
    const std::vector<DriverDescription> own = source->ListDrivers();
    for (size_t i = 0; i < own.size() && static_cast<int>(list.size()) < kMaxDrivers; ++i) {
      list.push_back(own[i]);
      drivers_.push_back({source.get(), static_cast<int>(i)});
    }
  }
  return list;
}

bool CombinedFrameSource::Connect(int driverIndex) {
  Disconnect();
  if (drivers_.empty()) ListDrivers();
  if (driverIndex < 0 || driverIndex >= static_cast<int>(drivers_.size())) {
    error_ = "Pilote " + std::to_string(driverIndex) + " introuvable";
    return false;
  }
  auto [source, index] = drivers_[driverIndex];
  if (!source->Connect(index)) {
    error_ = source->LastError();
    return false;
  }
  active_ = source;
  return true;
}

void CombinedFrameSource::Disconnect() {
  if (active_) active_->Disconnect();
  active_ = nullptr;
}

bool CombinedFrameSource::NotConnected() {
  error_ = "Camera non connectee";
  return false;
}

VideoFormat CombinedFrameSource::GetVideoFormat() {
  return active_ ? active_->GetVideoFormat() : VideoFormat{0, 0, 0, 0, 0, 0};
}

std::vector<VideoFormat> CombinedFrameSource::Formats() {
  return active_ ? active_->Formats() : std::vector<VideoFormat>{};
}

bool CombinedFrameSource::SetVideoFormat(const VideoFormat& format) {
  return active_ ? active_->SetVideoFormat(format) : NotConnected();
}

std::vector<SourceControl> CombinedFrameSource::Controls() {
  return active_ ? active_->Controls() : std::vector<SourceControl>{};
}

bool CombinedFrameSource::SetControl(uint32_t id, int value) {
  return active_ ? active_->SetControl(id, value) : NotConnected();
}

bool CombinedFrameSource::GrabFrame(Image& frame) {
  return active_ ? active_->GrabFrame(frame) : NotConnected();
}

bool CombinedFrameSource::StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) {
  return active_ ? active_->StartStream(loop, framePeriodMs, std::move(sink)) : NotConnected();
}

void CombinedFrameSource::StopStream() {
  if (active_) active_->StopStream();
}

std::string CombinedFrameSource::LastError() const {
  return active_ && !active_->LastError().empty() ? active_->LastError() : error_;
}

}  // namespace orniva
