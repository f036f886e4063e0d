#include "core/loop_base.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace orniva {

LocalDateTime CivilFromMs(int64_t ms) {
  int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
  int64_t rem = ms - days * 86400000;
  LocalDateTime t;
  t.millisecond = static_cast<int>(rem % 1000);
  rem /= 1000;
  t.second = static_cast<int>(rem % 60);
  rem /= 60;
  t.minute = static_cast<int>(rem % 60);
  t.hour = static_cast<int>(rem / 60);
  t.dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  // Days to civil date (H. Hinnant's algorithm).
  int64_t z = days + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(y + (t.month <= 2));
  return t;
}

int64_t MsFromCivil(int year, int month, int day, int hour, int minute, int second,
                    int millisecond) {
  int64_t y = year - (month <= 2);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  int64_t days = era * 146097 + doe - 719468;
  return (((days * 24 + hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
}

void EventLoop::Pause(int ms, int /*fd*/) {
  const int64_t end = NowMs() + ms;
  for (int64_t left = ms; left > 0; left = end - NowMs())
    ::poll(nullptr, 0, static_cast<int>(left));
}

EventLoop::TimerId LoopBase::AddTimer(int64_t intervalMs, bool repeat, std::function<void()> fn) {
  if (intervalMs < 0) intervalMs = 0;
  TimerId id = nextId_++;
  int64_t due = NowMs() + intervalMs;
  uint64_t seq = nextSeq_++;
  timers_[id] = {due, seq, intervalMs, repeat,
                 std::make_shared<std::function<void()>>(std::move(fn))};
  queue_.insert({due, seq, id});
  return id;
}

void LoopBase::RemoveTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  queue_.erase({it->second.due, it->second.seq, id});
  timers_.erase(it);
}

void LoopBase::Post(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    posted_.push_back(std::move(fn));
  }
  if (wake_) wake_();
}

bool LoopBase::HasPosted() {
  std::lock_guard<std::mutex> lock(postMutex_);
  return !posted_.empty();
}

int LoopBase::RunPosted() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    batch.swap(posted_);
  }
  for (auto& fn : batch) fn();
  return static_cast<int>(batch.size());
}

EventLoop::WatchId LoopBase::WatchFd(int fd, unsigned events, std::function<void(unsigned)> fn) {
  WatchId id = nextId_++;
  watches_[id] = {fd, events, std::make_shared<std::function<void(unsigned)>>(std::move(fn))};
  return id;
}

void LoopBase::RemoveWatch(WatchId id) {
  watches_.erase(id);
}

void LoopBase::Quit(int code) {
  quitCode_ = code;
  quit_ = true;
  if (wake_) wake_();
}

int64_t LoopBase::NextDue() const {
  return queue_.empty() ? -1 : std::get<0>(*queue_.begin());
}

bool LoopBase::FireOneDueTimer(int64_t now) {
  if (queue_.empty() || std::get<0>(*queue_.begin()) > now) return false;
  auto [due, seq, id] = *queue_.begin();
  queue_.erase(queue_.begin());
  TimerRec& rec = timers_.at(id);
  auto fn = rec.fn;  // the handler may remove or re-add timers
  if (rec.repeat && rec.interval > 0) {
    int64_t next = due + rec.interval;
    if (next <= now) next = now + rec.interval;  // missed ticks are not queued
    rec.due = next;
    rec.seq = nextSeq_++;
    queue_.insert({next, rec.seq, id});
  } else if (rec.repeat) {
    rec.due = now + 1;  // a zero interval still lets the loop breathe
    rec.seq = nextSeq_++;
    queue_.insert({rec.due, rec.seq, id});
  } else {
    timers_.erase(id);
  }
  (*fn)();
  return true;
}

int LoopBase::PollWatches(int timeoutMs, int wakeFd) {
  std::vector<pollfd> fds;
  std::vector<WatchId> ids;
  for (auto& [id, w] : watches_) {
    short ev = 0;
    if (w.events & kReadable) ev |= POLLIN;
    if (w.events & kWritable) ev |= POLLOUT;
    fds.push_back({w.fd, ev, 0});
    ids.push_back(id);
  }
  if (wakeFd >= 0) fds.push_back({wakeFd, POLLIN, 0});
  if (fds.empty()) return 0;
  int n = ::poll(fds.data(), fds.size(), timeoutMs);
  if (n <= 0) return 0;
  int ready = 0;
  for (size_t i = 0; i < ids.size(); ++i) {
    if (!fds[i].revents) continue;
    auto it = watches_.find(ids[i]);
    if (it == watches_.end()) continue;  // removed by an earlier handler
    unsigned got = 0;
    if (fds[i].revents & POLLIN) got |= kReadable;
    if (fds[i].revents & POLLOUT) got |= kWritable;
    if (fds[i].revents & (POLLHUP | POLLERR | POLLNVAL)) got |= kHangUp;
    auto fn = it->second.fn;
    ++ready;
    (*fn)(got);
  }
  if (wakeFd >= 0 && fds.back().revents) {
    uint64_t buf;
    while (::read(wakeFd, &buf, sizeof buf) > 0) {
    }
  }
  return ready;
}

}  // namespace orniva
