#pragma once

#include <QElapsedTimer>
#include <map>
#include <memory>

#include "core/event_loop.h"

class QTimer;
class QSocketNotifier;

namespace orniva {

// The event loop of the desktop program: Qt's own loop, so that timers,
// descriptor watches and posted tasks run among the widgets' events.
class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;
  int64_t NowMs() const override { return clock_.elapsed(); }
  int64_t WallClockMs() const override;
  int UtcOffsetMinutes() const override;
  TimerId AddTimer(int64_t intervalMs, bool repeat, std::function<void()> fn) override;
  void RemoveTimer(TimerId id) override;
  void Post(std::function<void()> fn) override;
  WatchId WatchFd(int fd, unsigned events, std::function<void(unsigned)> fn) override;
  void RemoveWatch(WatchId id) override;
  int Run() override;
  void Quit(int code = 0) override;
  void ProcessPending() override;

 private:
  QElapsedTimer clock_;
  uint64_t nextId_ = 1;
  std::map<TimerId, std::unique_ptr<QTimer>> timers_;
  std::map<WatchId, std::vector<std::unique_ptr<QSocketNotifier>>> watches_;
};

}  // namespace orniva
