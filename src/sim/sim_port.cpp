#include "sim/sim_port.h"

#include <algorithm>

#include "core/event_loop.h"
#include "telescope/mount_kernels.h"

namespace orniva {

namespace {

constexpr int kDirections = 4;
// The mount direction of each relay of the parallel box (the preferences'
// order) and of each latched bit of the shift register.
constexpr MountDirection kParallelOrder[] = {MountDirection::East, MountDirection::West,
                                             MountDirection::North, MountDirection::South};
constexpr MountDirection kLatchOrder[] = {MountDirection::West, MountDirection::East,
                                          MountDirection::North, MountDirection::South};
// UART registers and their line bits.
constexpr int kLineControl = 3, kModemControl = 4;
constexpr uint8_t kDtr = 0x01, kRts = 0x02, kBreak = 0x40;

bool IsRa(int index) {
  const auto d = static_cast<MountDirection>(index);
  return d == MountDirection::East || d == MountDirection::West;
}

}  // namespace

SimPort::SimPort(EventLoop& loop, MountModel& mount, SimCamera& camera)
    : loop_(loop), mount_(mount), camera_(camera), record_(loop) {}

void SimPort::Out(uint16_t address, uint8_t value) {
  record_.Out(address, value);
  const int64_t now = loop_.NowMs();
  const RelayWiring wiring = Wiring ? Wiring() : RelayWiring{};
  if (wiring.parallel != 0 && address == wiring.parallel) ParallelRelays(value, wiring);
  if (wiring.uart != 0) ShiftRegister(address, value, wiring);
  CameraLines(address, value, now);
  Drive(now);
}

void SimPort::ParallelRelays(uint8_t value, const RelayWiring& wiring) {
  for (int i = 0; i < kDirections; ++i) {
    const int bit = (value >> (std::clamp(wiring.pins[i], 2, 9) - 2)) & 1;
    parallelClosed_[Index(kParallelOrder[i])] = bit == (wiring.activeValues[i] & 1);
  }
}

void SimPort::ShiftRegister(uint16_t address, uint8_t value, const RelayWiring& wiring) {
  if (address == wiring.uart + kModemControl) {
    const bool rts = value & kRts;
    if (rts && !rts_) shift_ = static_cast<uint8_t>((shift_ << 1) | (value & kDtr));
    rts_ = rts;
  } else if (address == wiring.uart + kLineControl) {
    const bool brk = value & kBreak;
    if (brk && !brk_)
      for (int bit = 0; bit < kDirections; ++bit)
        latchClosed_[Index(kLatchOrder[bit])] = (shift_ >> bit) & 1;
    brk_ = brk;
  }
}

void SimPort::CameraLines(uint16_t address, uint8_t value, int64_t nowMs) {
  if (!cameraLines_ || address != cameraLines_->port) return;
  const LongExposureLines& l = *cameraLines_;
  const bool integrating = LineEngaged(value, l.longExposure) &&
                           (LineEngaged(value, l.odd) || LineEngaged(value, l.even));
  camera_.SetIntegrating(integrating, nowMs);
}

void SimPort::Drive(int64_t nowMs) {
  bool want[kDirections];
  bool stoppedRa = false, stoppedDec = false;
  for (int d = 0; d < kDirections; ++d) {
    want[d] = parallelClosed_[d] || latchClosed_[d];
    if (driving_[d] && !want[d]) {
      mount_.StopMove(static_cast<MountDirection>(d), nowMs);
      driving_[d] = false;
      (IsRa(d) ? stoppedRa : stoppedDec) = true;
    }
  }
  // A relay still closed on an axis another one just released keeps the
  // axis moving its way.
  const double rate = mount_.Parameters().rates[0];
  for (int d = 0; d < kDirections; ++d) {
    if (!want[d] || (driving_[d] && !(IsRa(d) ? stoppedRa : stoppedDec))) continue;
    mount_.StartMove(static_cast<MountDirection>(d), rate, nowMs);
    driving_[d] = true;
  }
}

}  // namespace orniva
