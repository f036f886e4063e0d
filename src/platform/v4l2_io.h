#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

namespace orniva {

// The few system calls the V4L2 back end makes on a capture device. The real
// one talks to /dev/videoN; tests put a fake device behind the same calls.
class V4l2Io {
 public:
  enum class Wait { Ready, Timeout, Woken, Gone };
  virtual ~V4l2Io() = default;
  virtual int Fd() const = 0;
  // 0 or more on success, -1 with errno set on failure (EINTR is retried).
  virtual int Ioctl(unsigned long request, void* arg) = 0;
  // Maps a driver buffer; nullptr on failure.
  virtual void* Map(size_t length, off_t offset) = 0;
  virtual void Unmap(void* address, size_t length) = 0;
  // Waits until a frame can be dequeued, Wake is called, the device goes
  // away, or timeoutMs pass.
  virtual Wait WaitFrame(int timeoutMs) = 0;
  // Ends the WaitFrame in progress (or the next one) with Woken. Any thread.
  virtual void Wake() = 0;
};

// Opens a capture device node; nullptr with error set when it cannot be
// opened.
std::unique_ptr<V4l2Io> OpenV4l2Device(const std::string& path, std::string& error);

}  // namespace orniva
