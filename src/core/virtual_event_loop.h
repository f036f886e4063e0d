#pragma once

#include "core/loop_base.h"

namespace orniva {

// The loop of the tests: time stands still until the test lets it run, then
// jumps from one timer to the next, so minutes of guiding or hours of a
// sequence run in milliseconds, identically every time. Descriptors are
// polled without waiting before each step; SetIoGraceMs lets a step wait that
// long in real time for bytes a peer (a simulator on a pseudo-terminal) is
// about to send.
class VirtualEventLoop : public LoopBase {
 public:
  // Starts at 2026-01-01 21:00:00 UTC unless told otherwise.
  explicit VirtualEventLoop(int64_t wallClockStartMs = MsFromCivil(2026, 1, 1, 21, 0, 0),
                            int utcOffsetMinutes = 0);

  int64_t NowMs() const override { return now_; }
  int64_t WallClockMs() const override { return wallStart_ + now_; }
  int UtcOffsetMinutes() const override { return utcOffset_; }

  // Runs every event due within the next ms milliseconds, then sets the
  // clock to exactly that time.
  void RunFor(int64_t ms);
  // Runs events until pred() holds (checked before and after each event) or
  // limitMs have passed; returns whether pred held.
  bool RunUntil(const std::function<bool()>& pred, int64_t limitMs);
  // Runs until Quit, or until nothing is left that could ever happen.
  int Run() override;
  void ProcessPending() override;

  void SetIoGraceMs(int ms) { ioGraceMs_ = ms; }
  // Moves the clock by ms without running anything. With a descriptor, first
  // waits in real time, up to min(ms, the I/O grace or 200 ms when none is
  // set), for input to arrive on it, then until it has been quiet for 15 ms
  // (so that a whole reply is queued), all within that limit.
  void Pause(int ms, int fd = -1) override;
  void AdvanceClock(int64_t ms) { now_ += ms; }  // without running anything

 private:
  // One step: posted tasks, ready descriptors, then the next timer if due by
  // `until`. Returns false when nothing happened and no timer is due.
  bool Step(int64_t until);
  int64_t now_ = 0;
  int64_t wallStart_;
  int utcOffset_;
  int ioGraceMs_ = 0;
};

}  // namespace orniva
