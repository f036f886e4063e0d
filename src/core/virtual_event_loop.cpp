#include "core/virtual_event_loop.h"

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
