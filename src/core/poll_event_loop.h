#pragma once

#include "core/loop_base.h"

namespace orniva {

// The real-time loop of `orniva --headless`: waits in poll() for the next
// timer, a ready descriptor or a task posted by another thread.
class PollEventLoop : public LoopBase {
 public:
  PollEventLoop();
  ~PollEventLoop() override;

  int64_t NowMs() const override;
  int64_t WallClockMs() const override;
  int UtcOffsetMinutes() const override;
  int Run() override;
  void ProcessPending() override;

 private:
  void Iterate(int maxWaitMs);
  int wakeFd_ = -1;
};

}  // namespace orniva
