#include "core/poll_event_loop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <ctime>

namespace orniva {

PollEventLoop::PollEventLoop() {
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  wake_ = [fd = wakeFd_] {
    uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(fd, &one, sizeof one);
  };
}

PollEventLoop::~PollEventLoop() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

int64_t PollEventLoop::NowMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t PollEventLoop::WallClockMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int PollEventLoop::UtcOffsetMinutes() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return static_cast<int>(local.tm_gmtoff / 60);
}

void PollEventLoop::Iterate(int maxWaitMs) {
  RunPosted();
  int64_t now = NowMs();
  while (FireOneDueTimer(now)) {
    RunPosted();
    if (quit_) return;
  }
  int64_t due = NextDue();
  int wait = maxWaitMs;
  if (due >= 0) {
    int64_t untilDue = due - NowMs();
    if (untilDue < 0) untilDue = 0;
    if (wait < 0 || untilDue < wait) wait = static_cast<int>(untilDue);
  }
  if (quit_ || HasPosted()) wait = 0;
  PollWatches(wait, wakeFd_);
}

int PollEventLoop::Run() {
  quit_ = false;
  while (!quit_) Iterate(-1);
  return quitCode_;
}

void PollEventLoop::ProcessPending() {
  Iterate(0);
}

}  // namespace orniva
