#include "platform/port_io.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/serial_port.h"

namespace orniva {

namespace {
constexpr uint16_t kParallelBases[] = {0x378, 0x278, 0x3BC, 0x2BC, 0x368,
                                       0x36C, 0x358, 0x26C, 0x268, 0x258};
}

PortTarget MapPortAddress(uint16_t address) {
  if (address >= 0x3F8 && address <= 0x3FF) return {PortTarget::Uart, 1, address - 0x3F8};
  if (address >= 0x2F8 && address <= 0x2FF) return {PortTarget::Uart, 2, address - 0x2F8};
  for (int i = 0; i < 10; ++i) {
    int off = address - kParallelBases[i];
    if (off >= 0 && off <= 2) return {PortTarget::Parallel, i, off};
  }
  return {};
}

LinuxPortIo::LinuxPortIo(const ComDeviceTable& devices) : devices_(devices) {}

LinuxPortIo::~LinuxPortIo() {
  Release();
}

void LinuxPortIo::Release() {
  for (auto& [path, fd] : fds_) {
    if (fd < 0) continue;
    if (path.rfind("/dev/parport", 0) == 0) ::ioctl(fd, PPRELEASE);
    ::close(fd);
  }
  fds_.clear();
}

std::string LinuxPortIo::DevicePath(const PortTarget& t) const {
  if (t.kind == PortTarget::Parallel) return "/dev/parport" + std::to_string(t.index);
  if (t.kind == PortTarget::Uart) return devices_.DevicePath("COM" + std::to_string(t.index));
  return {};
}

int LinuxPortIo::DeviceFd(const PortTarget& t, bool reportMissing) {
  std::string path = DevicePath(t);
  if (path.empty()) return -1;
  auto it = fds_.find(path);
  if (it != fds_.end()) return it->second;
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  int err = errno;
  if (fd >= 0 && t.kind == PortTarget::Parallel && ::ioctl(fd, PPCLAIM) != 0) {
    err = errno;
    ::close(fd);
    fd = -1;
  }
  if (fd >= 0 && t.kind == PortTarget::Uart) {
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
      tio.c_cflag |= CLOCAL;
      tio.c_cflag &= ~HUPCL;  // the lines keep their state when we close
      ::tcsetattr(fd, TCSANOW, &tio);
    }
  }
  if (fd < 0 && err == ENOENT && !reportMissing) return -1;  // tried again at first use
  fds_[path] = fd;
  if (fd < 0 && OnProblem) {
    std::string group = t.kind == PortTarget::Parallel ? "lp" : "dialout";
    std::string text = "Port E/S : impossible d'ouvrir " + path + " (" + std::strerror(err) + ")";
    if (err == EACCES || err == EPERM)
      text += " : ajoutez l'utilisateur au groupe " + group + " puis reconnectez-vous.";
    OnProblem(text);
  }
  return fd;
}

bool LinuxPortIo::Start(const std::vector<uint16_t>& addresses) {
  for (uint16_t a : addresses) {
    PortTarget t = MapPortAddress(a);
    if (DeviceFd(t, false) < 0) continue;
    ready_ = true;
    if (t.kind == PortTarget::Uart) {
      // Only probed: the serial link of the mount may want this port.
      auto it = fds_.find(DevicePath(t));
      ::close(it->second);
      fds_.erase(it);
    }
  }
  return ready_;
}

void LinuxPortIo::Out(uint16_t address, uint8_t value) {
  PortTarget t = MapPortAddress(address);
  int fd = DeviceFd(t, true);
  std::string path = DevicePath(t);
  if (fd < 0) return;
  if (t.kind == PortTarget::Parallel) {
    if (t.register_ == 0) ::ioctl(fd, PPWDATA, &value);
    if (t.register_ == 2) ::ioctl(fd, PPWCONTROL, &value);
    return;  // the status register is read-only
  }
  if (t.register_ == 4) {
    int bits = 0;
    ::ioctl(fd, TIOCMGET, &bits);
    bits &= ~(TIOCM_DTR | TIOCM_RTS);
    if (value & 1) bits |= TIOCM_DTR;
    if (value & 2) bits |= TIOCM_RTS;
    ::ioctl(fd, TIOCMSET, &bits);
  } else if (t.register_ == 3) {
    ::ioctl(fd, (value & 0x40) ? TIOCSBRK : TIOCCBRK);
    lineCtl_[path] = value;
  } else {
    other_[path + "+" + std::to_string(t.register_)] = value;
  }
}

uint8_t LinuxPortIo::In(uint16_t address) {
  PortTarget t = MapPortAddress(address);
  int fd = DeviceFd(t, true);
  std::string path = DevicePath(t);
  if (fd < 0) return 0xFF;
  uint8_t value = 0;
  if (t.kind == PortTarget::Parallel) {
    if (t.register_ == 0) ::ioctl(fd, PPRDATA, &value);
    if (t.register_ == 1) ::ioctl(fd, PPRSTATUS, &value);
    if (t.register_ == 2) ::ioctl(fd, PPRCONTROL, &value);
    return value;
  }
  if (t.register_ == 4) {
    int bits = 0;
    ::ioctl(fd, TIOCMGET, &bits);
    return static_cast<uint8_t>(((bits & TIOCM_DTR) ? 1 : 0) | ((bits & TIOCM_RTS) ? 2 : 0));
  }
  if (t.register_ == 3) return lineCtl_[path];
  return other_[path + "+" + std::to_string(t.register_)];
}

}  // namespace orniva
