#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/port_io.h"

namespace orniva {

class EventLoop;

// A simulated I/O port space that keeps every register write and every
// change of an output line with the loop's time: the data bits of the
// parallel ports ("0378.D4"), their control bits ("037A.C0"), and the DTR,
// RTS and break lines of the UARTs ("03F8.DTR", "03F8.RTS", "03F8.BRK").
// Reading gives back the last value written (the status register of a
// parallel port reads as SetInput left it).
class RecordingPort : public PortIo {
 public:
  struct Write {
    int64_t ms;
    uint16_t address;
    uint8_t value;
  };
  struct LineChange {
    int64_t ms;
    std::string line;
    int level;
  };

  explicit RecordingPort(EventLoop& loop, bool ready = true) : loop_(loop), ready_(ready) {}
  bool Ready() const override { return ready_; }
  void SetReady(bool ready) { ready_ = ready; }
  void Out(uint16_t address, uint8_t value) override;
  uint8_t In(uint16_t address) override;
  void SetInput(uint16_t address, uint8_t value) { registers_[address] = value; }

  const std::vector<Write>& Writes() const { return writes_; }
  const std::vector<LineChange>& Changes() const { return changes_; }
  void Clear() {
    writes_.clear();
    changes_.clear();
  }
  // The current level of a line, 0 when never set.
  int Level(const std::string& line) const;
  uint8_t Register(uint16_t address) const;

 private:
  void SetLine(const std::string& line, int level);
  EventLoop& loop_;
  bool ready_;
  std::map<uint16_t, uint8_t> registers_;
  std::map<std::string, int> levels_;
  std::vector<Write> writes_;
  std::vector<LineChange> changes_;
};

}  // namespace orniva
