#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "telescope/serial_port_slots.h"

namespace orniva {

class EventLoop;

// Where the port names COM1 … COM20 of the preferences lead on this system:
// one line "COMn=/dev/…" per port. Names missing from the table fall back to
// the default (COM1-COM4 the on-board ports /dev/ttyS0-3, COM5-COM12 the USB
// adapters /dev/ttyUSB0-7, COM13-COM20 /dev/ttyACM0-7). A name that is already
// a path ("/dev/pts/3") is used as it is.
class ComDeviceTable {
 public:
  ComDeviceTable();
  static std::vector<std::string> DefaultLines();
  // Replaces the table from "COMn=path" lines; other lines are ignored.
  void SetLines(const std::vector<std::string>& lines);
  std::vector<std::string> Lines() const;
  void Set(const std::string& comName, const std::string& path);
  std::string DevicePath(const std::string& comName) const;

 private:
  std::map<int, std::string> paths_;
};

// The table of open serial ports, indexed by slot (the mount link and the
// focuser link each use their own). Ports are put in raw mode, without
// modem control of their own (CLOCAL), without flow control and without
// dropping DTR/RTS on close (those lines drive cameras and relays). Writes
// wait at most kWriteLimitMs for the output queue. Every failure throws
// ExCom.
class SerialPorts : public SerialPortSlots {
 public:
  static constexpr int kSlots = 8;
  // The longest a write may wait for room in the output queue before it
  // fails with ETIMEDOUT (a line held by the device, a stalled adapter).
  static constexpr int kWriteLimitMs = 500;

  // loop: whose clock paces the fixed wait of GetString.
  explicit SerialPorts(EventLoop& loop);
  ~SerialPorts() override;
  SerialPorts(const SerialPorts&) = delete;
  SerialPorts& operator=(const SerialPorts&) = delete;

  ComDeviceTable& Devices() { return devices_; }
  void SetDeviceLines(const std::vector<std::string>& lines) override { devices_.SetLines(lines); }
  std::string DevicePath(const std::string& comName) const override {
    return devices_.DevicePath(comName);
  }

  // Closes the slot if open, then opens the port named (COMn or a path) for
  // reading and writing, exclusively; returns true.
  bool OpenCom(int slot, const std::string& name) override;
  // Queue sizes: the system sizes its own queues; the call checks the slot.
  void SetBuf(int slot, int inSize, int outSize) override;
  // parity: 0 none, 1 odd, 2 even, 3 mark; stopBits: 0 one, 1 one and a
  // half (two on this system), 2 two.
  void SetCom(int slot, int baud, int parity, int byteSize, int stopBits) override;
  // Read time-outs in ms (a read returns after readTotalConstant at most).
  void SetTimeout(int slot, int readIntervalMs, int readTotalConstantMs) override;
  void PutString(int slot, const std::string& text) override;
  void PutByte(int slot, uint8_t byte) override;
  // Waits 200 ms of the loop's clock, then returns what waits in the input
  // queue (at most 256 bytes; the rest stays queued). An unopened slot or an
  // empty queue gives "".
  std::string GetString(int slot);
  // What waits in the input queue now (at most 256 bytes), without waiting;
  // "" when nothing does. A device that hung up throws ExCom (get_string).
  std::string ReadQueued(int slot) override;
  // Drops whatever waits in the input queue (a reply that came too late).
  void DiscardInput(int slot) override;
  void CloseCom(int slot) override;
  bool IsOpen(int slot) const override;
  int Fd(int slot) const override;

 private:
  void Check(int slot, const char* what) const;
  EventLoop& loop_;
  ComDeviceTable devices_;
  int fds_[kSlots];
};

// Serial speeds the termios layer knows; 0 when the rate has no Bxxx code.
unsigned BaudCode(int baud);

}  // namespace orniva
