#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "telescope/port_lines.h"

namespace orniva {

class ComDeviceTable;

// Where an I/O address leads on Linux: a parallel port's data (+0), status
// (+1) or control (+2) register through ppdev (/dev/parportN, N from the
// port's rank in the usual address list: $378 0, $278 1, $3BC 2, $2BC 3,
// $368 4, $36C 5, $358 6, $26C 7, $268 8, $258 9), or a register of the
// UART of COM1 ($3F8) or COM2 ($2F8), whose modem-control (+4: DTR bit 0,
// RTS bit 1) and line-control (+3: break bit 6) registers drive the lines of
// the serial device of that port.
struct PortTarget {
  enum Kind { None, Parallel, Uart } kind = None;
  int index = 0;      // parport number, or COM number
  int register_ = 0;  // offset from the port's base address
};
PortTarget MapPortAddress(uint16_t address);

// The Linux back end. Devices are opened on first use and kept open; a
// device that cannot be opened is reported once through OnProblem with the
// reason and what to do (the lp and dialout groups), and its writes are
// dropped. Ready is true once Start could open at least one of the devices
// of its addresses (a missing device is reported only when first used;
// serial devices are only probed, as the mount link may need them).
class LinuxPortIo : public PortIo {
 public:
  explicit LinuxPortIo(const ComDeviceTable& devices);
  ~LinuxPortIo() override;
  // Tries the devices of the given addresses; sets the ready flag.
  bool Start(const std::vector<uint16_t>& addresses);
  bool Ready() const override { return ready_; }
  void Out(uint16_t address, uint8_t value) override;
  uint8_t In(uint16_t address) override;
  // Closes every device (the shut-down's release of port access).
  void Release();
  std::function<void(const std::string&)> OnProblem;

 private:
  int DeviceFd(const PortTarget& t, bool reportMissing);
  std::string DevicePath(const PortTarget& t) const;
  const ComDeviceTable& devices_;
  bool ready_ = false;
  std::map<std::string, int> fds_;          // path -> descriptor (-1: failed)
  std::map<std::string, uint8_t> lineCtl_;  // line-control shadow per UART
  std::map<std::string, uint8_t> other_;    // registers with no device effect
};

}  // namespace orniva
