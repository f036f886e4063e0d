#include "core/virtual_event_loop.h"

#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <chrono>

namespace orniva {

VirtualEventLoop::VirtualEventLoop(int64_t wallClockStartMs, int utcOffsetMinutes)
    : wallStart_(wallClockStartMs), utcOffset_(utcOffsetMinutes) {}

bool VirtualEventLoop::Step(int64_t until) {
  bool did = RunPosted() > 0;
  if (HasWatches()) did = PollWatches(0, -1) > 0 || did;
  if (did) return true;
  int64_t due = NextDue();
  if (due < 0 || due > until) {
    if (ioGraceMs_ > 0 && HasWatches() && PollWatches(ioGraceMs_, -1) > 0) return true;
    return false;
  }
  if (due > now_) {
    if (ioGraceMs_ > 0 && HasWatches() && PollWatches(ioGraceMs_, -1) > 0) return true;
    now_ = due;
  }
  return FireOneDueTimer(now_);
}

void VirtualEventLoop::Pause(int ms, int fd) {
  if (fd >= 0 && ms > 0) {
    using Clock = std::chrono::steady_clock;
    const int limit = std::min(ms, ioGraceMs_ > 0 ? ioGraceMs_ : 200);
    const auto end = Clock::now() + std::chrono::milliseconds(limit);
    auto left = [&] {
      auto l = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      return static_cast<int>(std::max<int64_t>(0, l));
    };
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, left()) > 0 && (p.revents & POLLIN)) {
      // Input has begun: wait until the queue stops growing.
      int before = -1, queued = 0;
      while (left() > 0 && ::ioctl(fd, FIONREAD, &queued) == 0 && queued != before) {
        before = queued;
        ::poll(nullptr, 0, std::min(15, left()));
      }
    }
  }
  now_ += ms;
}

void VirtualEventLoop::RunFor(int64_t ms) {
  const int64_t end = now_ + ms;
  while (!quit_ && Step(end)) {
  }
  if (now_ < end) now_ = end;
}

bool VirtualEventLoop::RunUntil(const std::function<bool()>& pred, int64_t limitMs) {
  const int64_t end = now_ + limitMs;
  if (pred()) return true;
  while (!quit_) {
    if (!Step(end)) break;
    if (pred()) return true;
  }
  if (now_ < end) now_ = end;
  return pred();
}

int VirtualEventLoop::Run() {
  quit_ = false;
  while (!quit_ && (Step(INT64_MAX) || HasPosted())) {
  }
  return quitCode_;
}

void VirtualEventLoop::ProcessPending() {
  RunPosted();
  if (HasWatches()) PollWatches(0, -1);
  while (FireOneDueTimer(now_)) {
  }
}

}  // namespace orniva
