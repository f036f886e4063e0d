#pragma once

#include <cstdint>

#include "platform/port_io.h"

namespace orniva {

// The program's port access, led to the port back end it is pointed at: the
// hardware's at start-up, the simulated observatory's lines for a run on the
// simulator.
class PortSwitch : public PortIo {
 public:
  explicit PortSwitch(PortIo& target) : target_(&target) {}
  void SetTarget(PortIo& target) { target_ = &target; }
  PortIo& Target() const { return *target_; }
  bool Ready() const override { return target_->Ready(); }
  void Out(uint16_t address, uint8_t value) override { target_->Out(address, value); }
  uint8_t In(uint16_t address) override { return target_->In(address); }

 private:
  PortIo* target_;
};

}  // namespace orniva
