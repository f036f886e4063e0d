#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "core/event_loop.h"

namespace orniva {

// Timers, posted tasks and descriptor watches shared by the real-time and
// virtual loops; the two differ only in how time passes and how they wait.
class LoopBase : public EventLoop {
 public:
  TimerId AddTimer(int64_t intervalMs, bool repeat, std::function<void()> fn) override;
  void RemoveTimer(TimerId id) override;
  void Post(std::function<void()> fn) override;
  WatchId WatchFd(int fd, unsigned events, std::function<void(unsigned)> fn) override;
  void RemoveWatch(WatchId id) override;
  void Quit(int code = 0) override;

  size_t TimerCount() const { return timers_.size(); }
  bool QuitRequested() const { return quit_; }

 protected:
  // Runs the tasks posted so far; returns how many ran.
  int RunPosted();
  // Fires the earliest timer due at or before now; returns false if none.
  bool FireOneDueTimer(int64_t now);
  // The due time of the earliest timer, or -1.
  int64_t NextDue() const;
  // Polls the watched descriptors (and wakeFd when >= 0) for up to timeoutMs
  // (-1: forever) and dispatches what is ready; returns how many were ready.
  int PollWatches(int timeoutMs, int wakeFd);
  bool HasPosted();
  bool HasWatches() const { return !watches_.empty(); }

  std::atomic<bool> quit_{false};
  int quitCode_ = 0;
  std::function<void()> wake_;  // called by Post after queueing (any thread)

 private:
  struct TimerRec {
    int64_t due;
    uint64_t seq;  // order of scheduling among timers due at the same time
    int64_t interval;
    bool repeat;
    std::shared_ptr<std::function<void()>> fn;
  };
  struct WatchRec {
    int fd;
    unsigned events;
    std::shared_ptr<std::function<void(unsigned)>> fn;
  };
  uint64_t nextId_ = 1;
  std::map<TimerId, TimerRec> timers_;
  std::set<std::tuple<int64_t, uint64_t, TimerId>> queue_;
  uint64_t nextSeq_ = 1;
  std::map<WatchId, WatchRec> watches_;
  std::mutex postMutex_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace orniva
