#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/event_loop.h"
#include "core/image.h"
#include "sim/lx200_mount.h"
#include "sim/mount_model.h"
#include "sim/sim_camera.h"
#include "sim/sim_port.h"
#include "sim/sky_model.h"
#include "sky/catalogues.h"

namespace orniva {

// Everything the simulated observatory can be set to.
struct SimulatorSettings {
  SkyParameters sky;
  SimOptics optics;
  MountParameters mount;
  SimFormat format;
  SimExposure exposure{0.1, 1.0};
  int framePeriodMs = 100;
  // The bright star the mount points at when it starts (a star name of the
  // catalogue, "Alp Lyr" is Vega).
  std::string startStar = "Alp Lyr";
  // A camera modified for long exposures, on these parallel-port lines.
  std::optional<LongExposureLines> longExposureLines;
};

// How the program's mount layer reaches the simulated mount's serial port:
// LX200 commands, or the one-byte guide pulses of the "Ruvena" interface.
enum class SimMountLink { Lx200, Ruvena };

// The simulated observatory of a run without hardware: the catalogue sky,
// a mount that starts tracking a bright star and answers LX200 on a
// pseudo-terminal, and the camera looking through it.
class SimulatedObservatory {
 public:
  // Reads the catalogues from directory; the errors name the files. Without
  // the star catalogue the sky is empty but everything else works.
  SimulatedObservatory(EventLoop& loop, const std::string& catalogueDirectory,
                       const SimulatorSettings& settings = {});

  const std::vector<CatalogueError>& CatalogueErrors() const { return errors_; }
  // The settings it was made with.
  const SimulatorSettings& Settings() const { return settings_; }
  SkyModel& Sky() { return sky_; }
  MountModel& Mount() { return *mount_; }
  SimCamera& Camera() { return *camera_; }
  // The port lines: the relay boxes of the mount and the camera's
  // long-exposure lines.
  SimPort& Port() { return *port_; }
  // The LX200 mount's serial port, empty when no pseudo-terminal was given.
  std::string MountPort() const { return lx200_ && lx200_->Ok() ? lx200_->SlavePath() : ""; }

  // Streams the observatory's own camera to sink, one frame per frame
  // period, without the program's camera commands (those reach the
  // simulated camera through their "Simulateur" driver instead).
  bool StartCamera(std::function<void(const Image& frame)> sink);
  void StopCamera() { camera_->StopStream(); }
  // The mount's serial link (its command log, its faults); null without a
  // pseudo-terminal.
  Lx200PtyMount* MountLink() { return lx200_ && lx200_->Ok() ? lx200_.get() : nullptr; }

 private:
  EventLoop& loop_;
  Catalogues catalogues_;
  std::vector<CatalogueError> errors_;
  SimulatorSettings settings_;
  SkyModel sky_;
  std::unique_ptr<MountModel> mount_;
  std::unique_ptr<SimCamera> camera_;
  std::unique_ptr<SimPort> port_;
  std::unique_ptr<Lx200PtyMount> lx200_;
};

}  // namespace orniva
