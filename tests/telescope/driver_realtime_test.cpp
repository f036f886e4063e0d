// The telescope-driver link on the real-time loop: a driver that takes its
// time over every request never holds the loop's thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/poll_event_loop.h"
#include "platform/serial_port.h"
#include "sim/recording_port.h"
#include "telescope/mount.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace orniva {
namespace {

using Clock = std::chrono::steady_clock;

// A driver behind a slow link: its worker takes delayMs over each request.
// A GOTO puts the position on the target at once and slews for slewMs.
class SlowDriver : public TelescopeDriver {
 public:
  SlowDriver(EventLoop& loop, int delayMs, int slewMs)
      : loop_(loop), delay_(delayMs), slew_(slewMs), thread_([this] { Worker(); }) {}
  ~SlowDriver() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void SetDevice(const std::string&) override {}
  bool Send(Request r, const Args& a, int waitMs) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (busy_) return false;
    Hand(r, a, {});
    if (waitMs < 0) return true;
    const uint64_t ticket = handed_;
    return servedCv_.wait_for(lock, std::chrono::milliseconds(waitMs),
                              [&] { return served_ >= ticket; });
  }
  bool SendAsync(Request r, const Args& a, std::function<void(const State&)> done) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (busy_) return false;
    Hand(r, a, std::move(done));
    return true;
  }
  State Answer() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
  }
  std::vector<Request> Served() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return servedRequests_;
  }

 private:
  void Hand(Request r, const Args& a, std::function<void(const State&)> done) {
    busy_ = true;
    request_ = r;
    args_ = a;
    callback_ = std::move(done);
    ++handed_;
    wake_.notify_all();
  }
  void Worker() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return quit_ || handed_ > served_; });
      if (quit_) return;
      lock.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_));
      lock.lock();
      const auto now = Clock::now();
      if (request_ == Request::Connect) state_.connected = true;
      if (request_ == Request::SlewToCoordinatesAsync) {
        state_.raHours = args_.raHours;
        state_.decDegrees = args_.decDegrees;
        slewEnd_ = now + std::chrono::milliseconds(slew_);
      }
      state_.slewing = now < slewEnd_;
      servedRequests_.push_back(request_);
      ++served_;
      busy_ = false;
      servedCv_.notify_all();
      if (callback_) {
        std::weak_ptr<bool> alive = alive_;
        loop_.Post([alive, cb = std::move(callback_), s = state_] {
          if (!alive.expired()) cb(s);
        });
        callback_ = nullptr;
      }
    }
  }

  EventLoop& loop_;
  const int delay_, slew_;
  mutable std::mutex mutex_;
  std::condition_variable wake_, servedCv_;
  bool busy_ = false, quit_ = false;
  uint64_t handed_ = 0, served_ = 0;
  Request request_ = Request::Connected;
  Args args_;
  std::function<void(const State&)> callback_;
  State state_;
  Clock::time_point slewEnd_{};
  std::vector<Request> servedRequests_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::thread thread_;
};

TEST(DriverLinkRealTime, ADriverSlowToAnswerNeverHoldsTheLoopAndItsGotoEnds) {
  PollEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Pref pref{app};
  TFRM_Prg_Suivi suivi{app};
  TFRM_ComTrafic trafic{app};
  SerialPorts ports{loop};
  RecordingPort port{loop};
  Mount mount{pref, suivi, trafic, ports, port};
  std::vector<std::string> status;
  int gotoEnded = 0;
  SlowDriver* driver = nullptr;
  mount.Hooks.MakeDriver = [&] {
    auto d = std::make_unique<SlowDriver>(loop, 150, 1500);
    driver = d.get();
    return d;
  };
  mount.Hooks.StatusLine = [&](const std::string& s) { status.push_back(s); };
  mount.Hooks.GotoEnded = [&] { ++gotoEnded; };
  pref.RDB_ASCOM.Click();
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());

  int64_t last = loop.NowMs(), longestGap = 0;
  auto heartbeat = loop.AddTimer(20, true, [&] {
    longestGap = std::max(longestGap, loop.NowMs() - last);
    last = loop.NowMs();
  });
  const int64_t start = loop.NowMs();
  auto watch = loop.AddTimer(10, true, [&] {
    if (!mount.GotoInProgress() || loop.NowMs() - start > 10000) loop.Quit();
  });
  const double ra = 5 * 54000.0, dec = 40 * 3600.0;
  // A poll still out when the GOTO is asked: its "not slewing" is from before.
  mount.TMR_ScopePositionTimer();
  mount.GotoCoordinates(ra, dec);
  // A guide pulse and a sync while the GOTO runs wait their turn.
  mount.StartMotion(kNorth, true, false, 200);
  mount.SyncCoordinates(ra, dec);
  loop.Run();
  const int64_t tookMs = loop.NowMs() - start;
  loop.RemoveTimer(watch);
  loop.RemoveTimer(heartbeat);

  EXPECT_LE(longestGap, 100);
  EXPECT_FALSE(mount.GotoInProgress());
  EXPECT_EQ(gotoEnded, 1);
  EXPECT_GE(tookMs, 1500);  // the whole slew
  EXPECT_DOUBLE_EQ(mount.ra, ra);
  EXPECT_DOUBLE_EQ(mount.dec, dec);
  EXPECT_TRUE(status.empty()) << ::testing::PrintToString(status);
  const auto served = driver->Served();
  using R = TelescopeDriver::Request;
  // In the order asked: the poll, the GOTO, the pulse, the sync.
  ASSERT_GE(served.size(), 7u);
  EXPECT_EQ(std::vector<R>(served.begin(), served.begin() + 7),
            (std::vector<R>{R::Connect, R::RightAscension, R::Declination, R::Slewing,
                            R::SlewToCoordinatesAsync, R::PulseGuide, R::SyncToCoordinates}));
}

}  // namespace
}  // namespace orniva
