// The simulated mount over a pseudo-terminal, as the serial layer sees it,
// with the simulated camera looking through it; all on the virtual loop.
#include "sim/lx200_mount.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/virtual_event_loop.h"
#include "sim/sim_camera.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

class Lx200Link : public ::testing::Test {
 protected:
  void SetUp() override {
    vega_ = FindStar("Alp Lyr");
    MountParameters p;
    p.periodicAmplitude = p.harmonicAmplitude = 0;
    mount_ = std::make_unique<MountModel>(p, vega_->RightAscension, vega_->Declination,
                                          loop_.NowMs(), loop_.WallClockMs());
    pty_ = std::make_unique<Lx200PtyMount>(loop_, *mount_);
    ASSERT_TRUE(pty_->Ok()) << pty_->Error();
    port_ = ::open(pty_->SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(port_, 0);
    termios tio{};
    ::tcgetattr(port_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(port_, TCSANOW, &tio);
    watch_ = loop_.WatchFd(port_, EventLoop::kReadable, [this](unsigned) {
      char b[256];
      const ssize_t n = ::read(port_, b, sizeof b);
      if (n > 0) received_.append(b, n);
    });
  }
  void TearDown() override {
    if (port_ >= 0) {
      loop_.RemoveWatch(watch_);
      ::close(port_);
    }
  }
  // Sends a command and returns the reply of replyLength characters (none
  // when 0), after the loop has handled it.
  std::string Ask(const std::string& command, size_t replyLength) {
    received_.clear();
    EXPECT_EQ(::write(port_, command.data(), command.size()), static_cast<ssize_t>(command.size()));
    if (replyLength == 0) {
      // Handled once the mount's thread has read it (no reply to wait for).
      const int64_t before = pty_->CommandsReceived();
      for (int i = 0; i < 200 && pty_->CommandsReceived() == before; ++i) ::usleep(1000);
      loop_.RunFor(10);
      return received_;
    }
    // The reply comes from the mount's thread in real time.
    loop_.SetIoGraceMs(20);
    loop_.RunUntil([&] { return received_.size() >= replyLength; }, 2000);
    loop_.SetIoGraceMs(0);
    return received_;
  }

  VirtualEventLoop loop_;
  const StarRecord* vega_ = nullptr;
  std::unique_ptr<MountModel> mount_;
  std::unique_ptr<Lx200PtyMount> pty_;
  int port_ = -1;
  EventLoop::WatchId watch_ = 0;
  std::string received_;
};

TEST_F(Lx200Link, GotoFromVegaToDenebMovesTheFieldAndEnds) {
  const StarRecord* deneb = FindStar("Alp Cyg");
  ASSERT_NE(deneb, nullptr);
  SkyParameters skyParameters;
  skyParameters.zeroMagnitudeFlux = 2.0e5;
  skyParameters.seeingJitter = 0.3;
  SkyModel sky(SharedCatalogues(), skyParameters, SimOptics{});
  SimCamera camera(sky, *mount_);
  camera.SetExposure({0.04, 1.0});

  const Sexagesimal ra = SplitHms(deneb->RightAscension), dec = SplitDms(deneb->Declination);
  char sr[40], sd[40];
  std::snprintf(sr, sizeof sr, "#:Q#:Sr %02d:%02d:%02.0f#", int(ra.Whole), int(ra.Minutes),
                std::floor(ra.Seconds));
  std::snprintf(sd, sizeof sd, "#:Sd %+03d*%02d:%02.0f#", int(dec.Whole), int(dec.Minutes),
                std::floor(dec.Seconds));
  EXPECT_EQ(Ask(sr, 1), "1");
  EXPECT_EQ(Ask(sd, 1), "1");
  EXPECT_EQ(Ask("#:MS#", 1), "0");
  EXPECT_EQ(Ask("#:D#", 7), "||||||#");
  // Polled every half second until six blanks, as the position timer does.
  int polls = 0;
  while (Ask("#:D#", 7) != "      #" && polls < 100) {
    ++polls;
    loop_.RunFor(500);
  }
  EXPECT_GT(polls, 8);  // 23° at 3°/s
  EXPECT_LT(polls, 100);
  EXPECT_EQ(Ask("#:GR#", 9).substr(0, 5), std::string(sr + 8, 5));
  EXPECT_EQ(Ask("#:GD#", 10).substr(0, 6), std::string(sd + 5, 6));

  Image frame;
  camera.GrabFrame(loop_, frame);
  int bx = 0, by = 0;
  Brightest(frame, bx, by);
  double cx = 0, cy = 0;
  ASSERT_TRUE(Centroid(frame, bx, by, 12, 20, cx, cy));
  // Deneb where the coordinates sent (whole seconds) put it, within the seeing.
  const double sentRa = (ra.Whole * 3600 + ra.Minutes * 60 + std::floor(ra.Seconds)) * 15.0;
  const double sentDec = (dec.Whole * 3600 + dec.Minutes * 60 + std::floor(dec.Seconds));
  double x = 0, y = 0;
  ASSERT_TRUE(
      sky.Project({sentRa, sentDec, 0}, 640, 480, deneb->RightAscension, deneb->Declination, x, y));
  EXPECT_NEAR(cx, x, 2);
  EXPECT_NEAR(cy, y, 2);
}

TEST_F(Lx200Link, RepliesWhileTheLoopIsHeld) {
  // The serial code waits for a reply holding the loop's thread: the mount
  // answers on its own.
  loop_.RemoveWatch(watch_);
  const std::string command = "#:GD#";
  ASSERT_EQ(::write(port_, command.data(), command.size()), 5);
  std::string reply;
  while (reply.size() < 10) {
    pollfd p{port_, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1) << "no reply within 2 s";
    char b[64];
    const ssize_t n = ::read(port_, b, sizeof b);
    if (n > 0) reply.append(b, static_cast<size_t>(n));
  }
  EXPECT_EQ(reply, "+38*47:01#");
  watch_ = loop_.WatchFd(port_, EventLoop::kReadable, [](unsigned) {});
}

TEST_F(Lx200Link, MotionsAtTheChosenRateAndGuidePulses) {
  const double dec0 = mount_->ReportedDec(loop_.NowMs());
  Ask("#:RC#", 0);
  Ask("#:Mn#", 0);
  loop_.RunFor(2000);
  Ask("#:Qn#", 0);
  EXPECT_NEAR(mount_->ReportedDec(loop_.NowMs()) - dec0, 8 * kSiderealRate * 2, 8 * 15.05 * 0.05);
  const double ra0 = mount_->Pointing(loop_.NowMs()).ra;
  Ask("#:Mgw1500#", 0);
  loop_.RunFor(3000);
  EXPECT_NEAR(mount_->Pointing(loop_.NowMs()).ra - ra0, -0.5 * kSiderealRate * 1.5, 1e-6);
  EXPECT_EQ(pty_->CommandsReceived(), 4);
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// What real LX200 clients ask on connecting, and what the mount says (its
// clock starts with the loop at 2026-01-01 21:00 UTC; the site is 45° N,
// 2° E).
struct Query {
  const char* name;
  const char* command;
  const char* reply;
};
void PrintTo(const Query& q, std::ostream* os) {
  *os << q.name;
}

class Lx200Queries : public Lx200Link, public ::testing::WithParamInterface<Query> {};

TEST_P(Lx200Queries, AnsweredAsClientsExpect) {
  const Query& q = GetParam();
  EXPECT_EQ(Ask(q.command, std::string(q.reply).size()), q.reply);
}

INSTANTIATE_TEST_SUITE_P(
    ClientQueries, Lx200Queries,
    ::testing::Values(Query{"Acknowledge", "\x06", "P"}, Query{"Date", "#:GC#", "01/01/26#"},
                      Query{"LocalTime", "#:GL#", "21:00:00#"}, Query{"UtcOffset", "#:GG#", "+00#"},
                      Query{"Latitude", "#:Gt#", "+45*00#"},
                      Query{"Longitude", "#:Gg#", "-002*00#"}, Query{"ClockFormat", "#:Gc#", "24#"},
                      Query{"SiteName", "#:GM#", "Orniva#"},
                      Query{"TrackingRate", "#:GT#", "60.1#"},
                      Query{"Target", "#:Sr 05:06:07#:Gr#", "105:06:07#"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Lx200Link, TheCommandLogKeepsOnlyTheLatestCommands) {
  std::string many;
  for (size_t i = 0; i < Lx200PtyMount::kLogLimit + 200; ++i) many += "#:RG#";
  Ask(many, 0);
  for (int i = 0; i < 200 && pty_->CommandsReceived() < int64_t(Lx200PtyMount::kLogLimit + 200);
       ++i) {
    ::usleep(5000);
    loop_.RunFor(10);
  }
  EXPECT_EQ(pty_->CommandsReceived(), int64_t(Lx200PtyMount::kLogLimit + 200));
  EXPECT_EQ(pty_->Commands().size(), Lx200PtyMount::kLogLimit);
}

}  // namespace
}  // namespace orniva
