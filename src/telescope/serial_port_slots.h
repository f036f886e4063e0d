#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace orniva {

// The error of the serial layer: the operation's text followed by the
// system's error number ("open_com, erreur = 2").
class ExCom : public std::runtime_error {
 public:
  explicit ExCom(const std::string& text) : std::runtime_error(text) {}
};

// The serial ports as the mount layer uses them: a table of ports by slot
// (the mount link and the focuser link each use their own), named COM1 …
// COM20 or by a path. Reads and writes never wait long: a reply is read as
// it comes, through the loop's watch of Fd. Every failure throws ExCom.
// src/platform implements it on termios.
class SerialPortSlots {
 public:
  static constexpr int kMaxRead = 256;

  virtual ~SerialPortSlots() = default;
  // Where the COM names lead: one "COMn=/dev/…" per line.
  virtual void SetDeviceLines(const std::vector<std::string>& lines) = 0;
  virtual std::string DevicePath(const std::string& comName) const = 0;
  // Closes the slot if open, then opens the port named, exclusively.
  virtual bool OpenCom(int slot, const std::string& name) = 0;
  virtual void SetBuf(int slot, int inSize, int outSize) = 0;
  // parity: 0 none, 1 odd, 2 even, 3 mark; stopBits: 0 one, 1 one and a
  // half, 2 two.
  virtual void SetCom(int slot, int baud, int parity, int byteSize, int stopBits) = 0;
  virtual void SetTimeout(int slot, int readIntervalMs, int readTotalConstantMs) = 0;
  virtual void PutString(int slot, const std::string& text) = 0;
  virtual void PutByte(int slot, uint8_t byte) = 0;
  // What waits in the input queue now (at most kMaxRead bytes), "" when
  // nothing does; a device that hung up throws.
  virtual std::string ReadQueued(int slot) = 0;
  // Drops whatever waits in the input queue.
  virtual void DiscardInput(int slot) = 0;
  virtual void CloseCom(int slot) = 0;
  virtual bool IsOpen(int slot) const = 0;
  // The open port's descriptor, for the loop's watch; -1 when closed.
  virtual int Fd(int slot) const = 0;
};

}  // namespace orniva
