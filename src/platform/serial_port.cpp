#include "platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "core/event_loop.h"

namespace orniva {

// Sets a rate that has no Bxxx code (14400, 56000, 128000, 256000) through
// the kernel's free-rate interface; in serial_baud.cpp, whose kernel headers
// cannot meet <termios.h>.
bool SetFreeBaud(int fd, int baud);

namespace {

int ComNumber(const std::string& name) {
  if (name.size() < 4 || (name[0] != 'C' && name[0] != 'c') || (name[1] != 'O' && name[1] != 'o') ||
      (name[2] != 'M' && name[2] != 'm'))
    return 0;
  int n = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
    if (n > 255) return 0;
  }
  return n;
}

std::string DefaultPath(int n) {
  if (n >= 1 && n <= 4) return "/dev/ttyS" + std::to_string(n - 1);
  if (n >= 5 && n <= 12) return "/dev/ttyUSB" + std::to_string(n - 5);
  if (n >= 13 && n <= 20) return "/dev/ttyACM" + std::to_string(n - 13);
  return {};
}

[[noreturn]] void Fail(const char* what, int err) {
  throw ExCom(std::string(what) + ", erreur = " + std::to_string(err));
}

}  // namespace

ComDeviceTable::ComDeviceTable() {
  SetLines(DefaultLines());
}

std::vector<std::string> ComDeviceTable::DefaultLines() {
  std::vector<std::string> lines;
  for (int n = 1; n <= 20; ++n) lines.push_back("COM" + std::to_string(n) + "=" + DefaultPath(n));
  return lines;
}

void ComDeviceTable::SetLines(const std::vector<std::string>& lines) {
  paths_.clear();
  for (const auto& line : lines) {
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    int n = ComNumber(line.substr(0, eq));
    std::string path = line.substr(eq + 1);
    while (!path.empty() && (path.back() == ' ' || path.back() == '\r')) path.pop_back();
    if (n > 0 && !path.empty()) paths_[n] = path;
  }
}

std::vector<std::string> ComDeviceTable::Lines() const {
  std::vector<std::string> lines;
  for (const auto& [n, path] : paths_) lines.push_back("COM" + std::to_string(n) + "=" + path);
  return lines;
}

void ComDeviceTable::Set(const std::string& comName, const std::string& path) {
  int n = ComNumber(comName);
  if (n > 0) paths_[n] = path;
}

std::string ComDeviceTable::DevicePath(const std::string& comName) const {
  if (!comName.empty() && comName[0] == '/') return comName;
  int n = ComNumber(comName);
  auto it = paths_.find(n);
  if (it != paths_.end()) return it->second;
  return DefaultPath(n);
}

unsigned BaudCode(int baud) {
  switch (baud) {
    case 50:
      return B50;
    case 75:
      return B75;
    case 110:
      return B110;
    case 150:
      return B150;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return 0;
  }
}

SerialPorts::SerialPorts(EventLoop& loop) : loop_(loop) {
  for (int& fd : fds_) fd = -1;
}

SerialPorts::~SerialPorts() {
  for (int slot = 0; slot < kSlots; ++slot) CloseCom(slot);
}

bool SerialPorts::IsOpen(int slot) const {
  return slot >= 0 && slot < kSlots && fds_[slot] >= 0;
}

int SerialPorts::Fd(int slot) const {
  return IsOpen(slot) ? fds_[slot] : -1;
}

void SerialPorts::Check(int slot, const char* what) const {
  if (!IsOpen(slot)) Fail(what, EBADF);
}

bool SerialPorts::OpenCom(int slot, const std::string& name) {
  if (slot < 0 || slot >= kSlots) Fail("open_com", EINVAL);
  CloseCom(slot);
  std::string path = devices_.DevicePath(name);
  if (path.empty()) Fail("open_com", ENOENT);
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) Fail("open_com", errno);
  // Exclusive, as the port is the mount's alone.
  if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
    int err = errno;
    ::close(fd);
    Fail("open_com", err);
  }
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    int err = errno;
    ::close(fd);
    Fail("open_com", err);
  }
  ::cfmakeraw(&tio);
  // No flow control of either kind: a mount that holds CTS low or sends an
  // XOFF would otherwise stop every write for good.
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cflag &= ~CRTSCTS;
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~HUPCL;  // closing must leave DTR and RTS as they are
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
    int err = errno;
    ::close(fd);
    Fail("open_com", err);
  }
  fds_[slot] = fd;
  return true;
}

void SerialPorts::SetBuf(int slot, int inSize, int outSize) {
  Check(slot, "set_buf");
  if (inSize <= 0 || outSize <= 0) Fail("set_buf", EINVAL);
}

void SerialPorts::SetCom(int slot, int baud, int parity, int byteSize, int stopBits) {
  if (!IsOpen(slot)) Fail("get_com", EBADF);
  int fd = fds_[slot];
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) Fail("get_com", errno);
  unsigned code = BaudCode(baud);
  if (code != 0) {
    ::cfsetispeed(&tio, code);
    ::cfsetospeed(&tio, code);
  }
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
  switch (byteSize) {
    case 5:
      tio.c_cflag |= CS5;
      break;
    case 6:
      tio.c_cflag |= CS6;
      break;
    case 7:
      tio.c_cflag |= CS7;
      break;
    default:
      tio.c_cflag |= CS8;
      break;
  }
  if (parity == 1) tio.c_cflag |= PARENB | PARODD;
  if (parity == 2) tio.c_cflag |= PARENB;
  if (parity == 3) tio.c_cflag |= PARENB | PARODD | CMSPAR;
  if (stopBits != 0) tio.c_cflag |= CSTOPB;
  tio.c_cc[VSTART] = 17;
  tio.c_cc[VSTOP] = 19;
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) Fail("set_com", errno);
  if (code == 0 && baud > 0 && !SetFreeBaud(fd, baud)) Fail("set_com", errno);
}

void SerialPorts::SetTimeout(int slot, int readIntervalMs, int readTotalConstantMs) {
  Check(slot, "set_timeout");
  if (readIntervalMs < 0 || readTotalConstantMs < 0) Fail("set_timeout", EINVAL);
  // Reads here never block (the descriptor is non-blocking and GetString
  // reads what is queued); the values are kept by the caller's settings.
}

namespace {

// Writes all of bytes within kWriteLimitMs: a full output queue is waited
// for with poll, never with tcdrain, whose wait has no end when the line is
// held (flow control, a stalled adapter).
void WriteAll(int fd, const char* bytes, size_t size, const char* what) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(SerialPorts::kWriteLimitMs);
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, bytes + done, size - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (left.count() <= 0) Fail(what, ETIMEDOUT);
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) Fail(what, errno);
      if (p.revents & (POLLHUP | POLLERR)) Fail(what, EIO);
      continue;
    }
    Fail(what, n < 0 ? errno : EIO);
  }
}

}  // namespace

void SerialPorts::PutString(int slot, const std::string& text) {
  Check(slot, "put_string");
  WriteAll(fds_[slot], text.data(), text.size(), "put_string");
}

void SerialPorts::PutByte(int slot, uint8_t byte) {
  Check(slot, "put_byte");
  WriteAll(fds_[slot], reinterpret_cast<const char*>(&byte), 1, "put_byte");
}

std::string SerialPorts::ReadQueued(int slot) {
  if (!IsOpen(slot)) return {};
  char buf[kMaxRead];
  ssize_t n;
  do {
    n = ::read(fds_[slot], buf, sizeof buf);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    if (errno == EAGAIN) return {};
    Fail("get_string", errno);
  }
  if (n == 0) {
    // An empty queue, or a device that hung up (adapter unplugged, peer
    // closed): only the latter reports a hang-up.
    pollfd p{fds_[slot], POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR))) Fail("get_string", EIO);
  }
  return std::string(buf, static_cast<size_t>(n));
}

void SerialPorts::DiscardInput(int slot) {
  if (!IsOpen(slot)) return;
  ::tcflush(fds_[slot], TCIFLUSH);
  // What the driver had not yet handed to the queue when it was flushed.
  while (ReadQueued(slot).size() == static_cast<size_t>(kMaxRead)) {
  }
}

std::string SerialPorts::GetString(int slot) {
  if (!IsOpen(slot)) return {};
  loop_.Pause(200, fds_[slot]);
  return ReadQueued(slot);
}

void SerialPorts::CloseCom(int slot) {
  if (!IsOpen(slot)) return;
  ::close(fds_[slot]);
  fds_[slot] = -1;
}

}  // namespace orniva
