#include "sim/recording_port.h"

#include <cstdio>

#include "core/event_loop.h"

namespace orniva {

namespace {
std::string Hex4(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "%04X", v & 0xFFFF);
  return b;
}
}  // namespace

void RecordingPort::SetLine(const std::string& line, int level) {
  int& cur = levels_[line];
  if (cur == level) return;
  cur = level;
  changes_.push_back({loop_.NowMs(), line, level});
}

int RecordingPort::Level(const std::string& line) const {
  auto it = levels_.find(line);
  return it == levels_.end() ? 0 : it->second;
}

uint8_t RecordingPort::Register(uint16_t address) const {
  auto it = registers_.find(address);
  return it == registers_.end() ? 0 : it->second;
}

void RecordingPort::Out(uint16_t address, uint8_t value) {
  writes_.push_back({loop_.NowMs(), address, value});
  registers_[address] = value;
  PortTarget t = MapPortAddress(address);
  std::string base = Hex4(address - t.register_);
  if (t.kind == PortTarget::Parallel && t.register_ == 0) {
    for (int b = 0; b < 8; ++b) SetLine(base + ".D" + std::to_string(b), (value >> b) & 1);
  } else if (t.kind == PortTarget::Parallel && t.register_ == 2) {
    for (int b = 0; b < 4; ++b) SetLine(base + ".C" + std::to_string(b), (value >> b) & 1);
  } else if (t.kind == PortTarget::Uart && t.register_ == 4) {
    SetLine(base + ".DTR", value & 1);
    SetLine(base + ".RTS", (value >> 1) & 1);
  } else if (t.kind == PortTarget::Uart && t.register_ == 3) {
    SetLine(base + ".BRK", (value >> 6) & 1);
  }
}

uint8_t RecordingPort::In(uint16_t address) {
  return Register(address);
}

}  // namespace orniva
