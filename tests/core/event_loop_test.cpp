#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "core/poll_event_loop.h"
#include "core/virtual_event_loop.h"

namespace orniva {

TEST(CivilTime, ConvertsBothWays) {
  struct Case {
    int y, mo, d, h, mi, s;
    int64_t ms;
    int dow;
  };
  const Case cases[] = {
      {1970, 1, 1, 0, 0, 0, 0, 4},
      {2000, 2, 29, 12, 0, 0, 951825600000, 2},
      {2026, 12, 10, 23, 59, 59, 1796947199000, 4},
      {1969, 12, 31, 23, 59, 59, -1000, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MsFromCivil(c.y, c.mo, c.d, c.h, c.mi, c.s), c.ms) << c.y;
    LocalDateTime t = CivilFromMs(c.ms);
    EXPECT_EQ(t.year, c.y);
    EXPECT_EQ(t.month, c.mo);
    EXPECT_EQ(t.day, c.d);
    EXPECT_EQ(t.hour, c.h);
    EXPECT_EQ(t.minute, c.mi);
    EXPECT_EQ(t.second, c.s);
    EXPECT_EQ(t.dayOfWeek, c.dow);
  }
}

// Timers due at the same time fire in the order they were scheduled.
TEST(VirtualEventLoop, TimersFireInOrderAtTheirVirtualTimes) {
  VirtualEventLoop loop(MsFromCivil(2026, 12, 10, 22, 0, 0), 60);
  std::vector<std::pair<int64_t, char>> fired;
  loop.AddTimer(300, false, [&] { fired.push_back({loop.NowMs(), 'a'}); });
  loop.AddTimer(100, true, [&] { fired.push_back({loop.NowMs(), 'p'}); });
  loop.AddTimer(250, false, [&] { fired.push_back({loop.NowMs(), 'b'}); });
  loop.RunFor(350);
  const std::vector<std::pair<int64_t, char>> expected = {
      {100, 'p'}, {200, 'p'}, {250, 'b'}, {300, 'a'}, {300, 'p'}};
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(loop.NowMs(), 350);
  // Local time: 22:00 UTC + 60 min + 350 ms.
  EXPECT_EQ(loop.TimeOfDayMs(), 23 * 3600000LL + 350);
  EXPECT_EQ(loop.LocalTime().hour, 23);
}

TEST(VirtualEventLoop, HandlersMayRemoveTimersAndRunUntilStops) {
  VirtualEventLoop loop;
  int ticks = 0;
  EventLoop::TimerId other = loop.AddTimer(1000, true, [&] { ADD_FAILURE() << "removed"; });
  EventLoop::TimerId self = 0;
  self = loop.AddTimer(10, true, [&] {
    ++ticks;
    loop.RemoveTimer(other);
    if (ticks == 5) loop.RemoveTimer(self);
  });
  EXPECT_FALSE(loop.RunUntil([&] { return ticks == 6; }, 5000));
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(loop.NowMs(), 5000);
  EXPECT_EQ(loop.TimerCount(), 0u);
  int n = 0;
  loop.AddTimer(7, true, [&] { ++n; });
  EXPECT_TRUE(loop.RunUntil([&] { return n == 3; }, 1000));
  EXPECT_EQ(loop.NowMs(), 5021);
}

TEST(VirtualEventLoop, TasksFromOtherThreadsAndReadyDescriptorsRun) {
  VirtualEventLoop loop;
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::string got;
  loop.WatchFd(fds[0], EventLoop::kReadable, [&](unsigned ev) {
    char buf[16];
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n > 0) got.append(buf, n);
  });
  std::thread producer([&] {
    loop.Post([&] { got += "posted;"; });
    ASSERT_EQ(::write(fds[1], "io", 2), 2);
  });
  producer.join();
  loop.RunFor(1);
  EXPECT_EQ(got, "posted;io");
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST(PollEventLoop, RunsTimersPostsAndQuits) {
  PollEventLoop loop;
  int ticks = 0;
  bool posted = false;
  int64_t start = loop.NowMs();
  loop.AddTimer(5, true, [&] { ++ticks; });
  std::thread other([&] {
    loop.Post([&] {
      posted = true;
      loop.AddTimer(40, false, [&] { loop.Quit(7); });
    });
  });
  EXPECT_EQ(loop.Run(), 7);
  other.join();
  EXPECT_TRUE(posted);
  EXPECT_GE(loop.NowMs() - start, 40);
  EXPECT_GE(ticks, 3);
  // Quit ends Run; a later Run starts afresh.
  loop.AddTimer(1, false, [&] { loop.Quit(1); });
  EXPECT_EQ(loop.Run(), 1);
}

}  // namespace orniva
