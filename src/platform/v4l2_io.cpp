#include "platform/v4l2_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace orniva {

namespace {

class DeviceIo : public V4l2Io {
 public:
  DeviceIo(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}
  ~DeviceIo() override {
    ::close(fd_);
    ::close(wakeFd_);
  }
  int Fd() const override { return fd_; }
  int Ioctl(unsigned long request, void* arg) override {
    int r;
    do {
      r = ::ioctl(fd_, request, arg);
    } while (r == -1 && errno == EINTR);
    return r;
  }
  void* Map(size_t length, off_t offset) override {
    void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, offset);
    return p == MAP_FAILED ? nullptr : p;
  }
  void Unmap(void* address, size_t length) override { ::munmap(address, length); }
  Wait WaitFrame(int timeoutMs) override {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    int r;
    do {
      r = ::poll(fds, 2, timeoutMs);
    } while (r == -1 && errno == EINTR);
    if (r < 0) return Wait::Gone;
    if (fds[1].revents & POLLIN) {
      uint64_t count;
      [[maybe_unused]] ssize_t n = ::read(wakeFd_, &count, sizeof count);
      return Wait::Woken;
    }
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return Wait::Gone;
    if (fds[0].revents & POLLIN) return Wait::Ready;
    return Wait::Timeout;
  }
  void Wake() override {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
  }

 private:
  int fd_;
  int wakeFd_;
};

}  // namespace

std::unique_ptr<V4l2Io> OpenV4l2Device(const std::string& path, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = path + " : " + std::strerror(errno);
    return nullptr;
  }
  const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd < 0) {
    error = path + " : " + std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<DeviceIo>(fd, wakeFd);
}

}  // namespace orniva
