#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace orniva {

// A civil date and time in the observer's local zone.
struct LocalDateTime {
  int year = 1970, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int dayOfWeek = 4;  // 0 = Sunday
  int64_t MsOfDay() const {
    return ((hour * 60LL + minute) * 60LL + second) * 1000LL + millisecond;
  }
};

// Splits milliseconds since 1970-01-01 00:00 (already shifted to local time)
// into a civil date and time (proleptic Gregorian calendar).
LocalDateTime CivilFromMs(int64_t ms);
// The inverse: milliseconds since 1970 for a civil date and time.
int64_t MsFromCivil(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                    int millisecond = 0);

// Everything the program knows about time and waiting goes through an event
// loop: the clock, timers, tasks handed over by other threads and readiness
// of file descriptors (serial ports, sockets). One thread runs the loop and
// every handler; only Post may be called from other threads.
class EventLoop {
 public:
  using TimerId = uint64_t;
  using WatchId = uint64_t;
  enum IoEvents : unsigned { kReadable = 1, kWritable = 2, kHangUp = 4 };

  virtual ~EventLoop() = default;

  // Milliseconds on a clock that never goes back: for elapsed times.
  virtual int64_t NowMs() const = 0;
  // Milliseconds since 1970-01-01 00:00 UTC.
  virtual int64_t WallClockMs() const = 0;
  // Offset of the local zone from UTC at the current time, in minutes.
  virtual int UtcOffsetMinutes() const = 0;

  LocalDateTime LocalTime() const {
    return CivilFromMs(WallClockMs() + UtcOffsetMinutes() * 60000LL);
  }
  // Milliseconds since local midnight.
  int64_t TimeOfDayMs() const { return LocalTime().MsOfDay(); }

  // A timer calls fn after intervalMs, and every intervalMs after that when
  // repeat is set (ticks missed while the loop was busy are not queued up).
  virtual TimerId AddTimer(int64_t intervalMs, bool repeat, std::function<void()> fn) = 0;
  virtual void RemoveTimer(TimerId id) = 0;

  // Runs fn on the loop's thread as soon as it can. Safe from any thread.
  virtual void Post(std::function<void()> fn) = 0;

  // Calls fn with the events that occurred whenever fd is ready for one of
  // the requested events.
  virtual WatchId WatchFd(int fd, unsigned events, std::function<void(unsigned)> fn) = 0;
  virtual void RemoveWatch(WatchId id) = 0;

  // Runs until Quit; returns the code given to Quit.
  virtual int Run() = 0;
  virtual void Quit(int code = 0) = 0;
  // Handles what is ready now without waiting (posted tasks, due timers,
  // ready descriptors); what the toolkit calls processing pending messages.
  virtual void ProcessPending() = 0;

  // Holds the loop's thread for ms milliseconds of the loop's clock, running
  // nothing else: the fixed pauses of the mount protocol (the wait before a
  // serial reply is read). fd, when >= 0, is a descriptor whose input the
  // caller reads right after; a virtual loop waits for that input in real
  // time (a peer process needs real time to answer) and then moves its own
  // clock by ms. The default sleeps in real time.
  virtual void Pause(int ms, int fd = -1);
};

}  // namespace orniva
