#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/port_io.h"
#include "sim/mount_model.h"
#include "sim/recording_port.h"
#include "sim/sim_camera.h"
#include "telescope/long_exposure_lines.h"

namespace orniva {

class EventLoop;

// How the simulated relay boxes are wired to the port lines.
struct RelayWiring {
  // The parallel relay box: the data register of this port, one pin (2..9)
  // and one active value per direction, indexed East, West, North, South.
  uint16_t parallel = 0x378;
  int pins[4] = {6, 7, 8, 9};
  int activeValues[4] = {1, 1, 1, 1};
  // The shift-register box on the DTR, RTS and break lines of this UART.
  uint16_t uart = 0x3F8;
};

// The port lines of the simulated observatory, acting as the hardware wired
// to them would, at the loop's time:
// - a relay box on the parallel data lines: a direction's relay is closed
//   while its line is at its active value;
// - a relay box behind a shift register on a UART's lines: each rising RTS
//   shifts DTR in, a rising break latches the register; latched bit 0 is
//   West, 1 East, 2 North, 3 South;
// - a camera modified for long exposures (when it is given its lines): its
//   sensor integrates while the long-exposure mode line and a field's
//   transfer line are engaged, and the frame after they let go carries the
//   whole integration.
// A closed relay moves the mount at its guide rate until it opens. Every
// write and line change stays in the record.
class SimPort : public PortIo {
 public:
  SimPort(EventLoop& loop, MountModel& mount, SimCamera& camera);

  bool Ready() const override { return record_.Ready(); }
  void Out(uint16_t address, uint8_t value) override;
  uint8_t In(uint16_t address) override { return record_.In(address); }

  RecordingPort& Record() { return record_; }
  // The relay boxes' wiring, asked at every write (fixed defaults when unset).
  std::function<RelayWiring()> Wiring;
  // The long-exposure lines of the camera; none for an unmodified camera,
  // which ignores the port.
  void SetCameraLines(const std::optional<LongExposureLines>& lines) { cameraLines_ = lines; }
  // Whether the relays drive the mount towards a direction now.
  bool Driving(MountDirection direction) const { return driving_[Index(direction)]; }

 private:
  static int Index(MountDirection d) { return static_cast<int>(d); }
  void Drive(int64_t nowMs);
  void ParallelRelays(uint8_t value, const RelayWiring& wiring);
  void ShiftRegister(uint16_t address, uint8_t value, const RelayWiring& wiring);
  void CameraLines(uint16_t address, uint8_t value, int64_t nowMs);

  EventLoop& loop_;
  MountModel& mount_;
  SimCamera& camera_;
  RecordingPort record_;
  std::optional<LongExposureLines> cameraLines_;
  // By MountDirection: closed relays of each box, and what drives the mount.
  bool parallelClosed_[4] = {false, false, false, false};
  bool latchClosed_[4] = {false, false, false, false};
  bool driving_[4] = {false, false, false, false};
  uint8_t shift_ = 0;
  bool rts_ = false, brk_ = false;
};

}  // namespace orniva
