#pragma once

#include <cstdint>
#include <functional>

#include "core/event_loop.h"
#include "ui/control.h"

namespace orniva {

// A timer control running on the window's event loop. While Enabled and
// Interval > 0 it calls OnTimer every Interval milliseconds. Setting
// Enabled or Interval (even to the same value) restarts the count from now,
// as the toolkit of the original program does. Created disabled unless told.
class Timer : public Control {
 public:
  Timer(Parent p, std::string name, int intervalMs = 1000, bool enabled = false);
  ~Timer() override;
  int Interval() const { return interval_; }
  void SetInterval(int intervalMs);
  void SetEnabled(bool enabled) override;
  void Start() { SetEnabled(true); }
  void Stop() { SetEnabled(false); }
  bool Running() const { return id_ != 0; }
  std::function<void()> OnTimer;

 private:
  void Restart();
  EventLoop& loop_;
  int interval_;
  EventLoop::TimerId id_ = 0;
};

}  // namespace orniva
