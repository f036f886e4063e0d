#include "sim/simulated_observatory.h"

namespace orniva {

SimulatedObservatory::SimulatedObservatory(EventLoop& loop, const std::string& catalogueDirectory,
                                           const SimulatorSettings& settings)
    : loop_(loop),
      errors_(catalogues_.LoadCatalogues(catalogueDirectory)),
      settings_(settings),
      sky_(catalogues_, settings.sky, settings.optics) {
  double ra = 18.6 * 54000.0, dec = 38.8 * 3600.0;  // Vega when the catalogue is missing
  for (const StarRecord& star : catalogues_.Stars()) {
    if (star.StarName.find(settings.startStar) != std::string::npos) {
      ra = star.RightAscension;
      dec = star.Declination;
      break;
    }
  }
  mount_ = std::make_unique<MountModel>(settings.mount, ra, dec, loop.NowMs(), loop.WallClockMs());
  camera_ = std::make_unique<SimCamera>(sky_, *mount_);
  camera_->SetFormat(settings.format);
  camera_->SetExposure(settings.exposure);
  port_ = std::make_unique<SimPort>(loop, *mount_, *camera_);
  port_->SetCameraLines(settings.longExposureLines);
  lx200_ = std::make_unique<Lx200PtyMount>(loop, *mount_);
}

bool SimulatedObservatory::StartCamera(std::function<void(const Image& frame)> sink) {
  return camera_->StartStream(loop_, settings_.framePeriodMs, std::move(sink));
}

}  // namespace orniva
