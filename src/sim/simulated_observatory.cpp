#include "sim/simulated_observatory.h"

#include "acquisition/tfrm_alv.h"
#include "telescope/mount.h"
#include "telescope/tfrm_pref.h"

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

bool SimulatedObservatory::StartCamera(TFRM_Alv& main, int camera) {
  const SimFormat& format = camera_->Format();
  if (!main.AcceptVideoFormat(format.width, format.height)) return false;
  main.SetCameraFormat(camera, format.width, format.height, 24, true);
  main.SetOnline(camera, true);
  // Frames go through the processing, up to the result page.
  main.State.processing = true;
  return camera_->StartStream(loop_, settings_.framePeriodMs, [&main, camera](const Image& frame) {
    main.FrameArrived(camera, frame);
  });
}

bool SimulatedObservatory::ConnectMount(TFRM_Pref& pref, orniva::Mount& mount, SimMountLink link) {
  const std::string port = MountPort();
  if (port.empty()) return false;
  lx200_->SetProtocol(link == SimMountLink::Ruvena ? Lx200PtyMount::Protocol::PulseBytes
                                                   : Lx200PtyMount::Protocol::Lx200);
  std::vector<std::string> lines;
  for (const std::string& line : pref.MEMO_Ports_Serie.Lines())
    if (line.rfind("COM1=", 0) != 0) lines.push_back(line);
  lines.push_back("COM1=" + port);
  pref.MEMO_Ports_Serie.SetLines(lines);
  pref.CBX_AG_PortSerie.SetItemIndex(0);
  (link == SimMountLink::Ruvena ? pref.RDB_Ruvena : pref.RDB_LX200).Click();
  if (!mount.Connected()) pref.BTN_Connecter.Click();
  return mount.Connected();
}

}  // namespace orniva
