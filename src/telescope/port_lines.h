#pragma once

#include <cstdint>

namespace orniva {

// Byte-wide access to the I/O addresses of the parallel ports (relay boxes,
// long-exposure cameras) and of the serial ports' control lines, as the
// mount layer and the long exposures use it. Ready says whether port access
// may be used at all; writes are skipped otherwise. src/platform implements
// it on Linux, src/sim on the simulated observatory's lines.
class PortIo {
 public:
  virtual ~PortIo() = default;
  virtual bool Ready() const = 0;
  virtual void Out(uint16_t address, uint8_t value) = 0;
  virtual uint8_t In(uint16_t address) = 0;
};

}  // namespace orniva
