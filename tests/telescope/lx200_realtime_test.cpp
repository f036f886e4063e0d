// The LX200 link on the real-time loop: a GOTO over the pseudo-terminal
// leaves the loop free, whatever the mount does.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "core/poll_event_loop.h"
#include "platform/serial_port.h"
#include "sim/lx200_mount.h"
#include "sim/mount_model.h"
#include "sim/recording_port.h"
#include "telescope/mount.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace orniva {
namespace {

struct MountBehaviour {
  const char* name;
  int replyDelayMs;
  bool silent;
};
void PrintTo(const MountBehaviour& b, std::ostream* os) {
  *os << b.name;
}

class RealTimeGoto : public ::testing::TestWithParam<MountBehaviour> {
 protected:
  static MountParameters FastSlew() {
    MountParameters p;
    p.periodicAmplitude = p.harmonicAmplitude = 0;
    p.rates[3] = 40.0 * 3600 / kSiderealRate;  // 40 degrees per second
    return p;
  }
  PollEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Pref pref{app};
  TFRM_Prg_Suivi suivi{app};
  TFRM_ComTrafic trafic{app};
  SerialPorts ports{loop};
  RecordingPort port{loop};
  Mount mount{pref, suivi, trafic, ports, port};
  MountModel model{FastSlew(), 0, 0, loop.NowMs(), loop.WallClockMs()};
  Lx200PtyMount sim{loop, model};
  std::vector<std::string> status;
  int gotoEnded = 0;
};

// A 20 ms heartbeat runs through the whole GOTO: the link's waits for the
// mount's replies never hold the loop's thread.
TEST_P(RealTimeGoto, HeartbeatKeepsFiringAndTheGotoEnds) {
  const MountBehaviour& b = GetParam();
  ASSERT_TRUE(sim.Ok()) << sim.Error();
  pref.MEMO_Ports_Serie.SetLines({"COM1=" + sim.SlavePath()});
  mount.Hooks.StatusLine = [this](const std::string& s) { status.push_back(s); };
  mount.Hooks.GotoEnded = [this] { ++gotoEnded; };
  pref.RDB_LX200.Click();
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  sim.SetReplyDelayMs(b.replyDelayMs);
  if (b.silent) sim.SetFault(Lx200PtyMount::Fault::Silent);

  int64_t last = loop.NowMs(), longestGap = 0;
  int beats = 0;
  auto heartbeat = loop.AddTimer(20, true, [&] {
    const int64_t now = loop.NowMs();
    longestGap = std::max(longestGap, now - last);
    last = now;
    ++beats;
  });
  // Bounded: the silent mount's GOTO is given up after its silence limit.
  const int64_t start = loop.NowMs();
  const int64_t limitMs = Mount::kSilenceLimitMs + 5000;
  auto watch = loop.AddTimer(10, true, [&] {
    if (!mount.GotoInProgress() || loop.NowMs() - start > limitMs) loop.Quit();
  });
  const double targetRa = (2 * 60 + 30) * 900.0, targetDec = 10 * 3600.0 + 20 * 60;
  mount.GotoCoordinates(targetRa, targetDec);
  loop.Run();
  const int64_t tookMs = loop.NowMs() - start;
  loop.RemoveTimer(heartbeat);
  loop.RemoveTimer(watch);
  RecordProperty("longest_gap_ms", static_cast<int>(longestGap));
  std::printf("[ %s ] GOTO %lld ms, %d beats, longest gap %lld ms\n", b.name,
              static_cast<long long>(tookMs), beats, static_cast<long long>(longestGap));

  EXPECT_LE(longestGap, 250);
  EXPECT_FALSE(mount.GotoInProgress());
  EXPECT_EQ(gotoEnded, 1);
  if (b.silent) {
    ASSERT_EQ(status.size(), 1u) << ::testing::PrintToString(status);
    EXPECT_NE(status[0].find("GOTO arrete"), std::string::npos) << status[0];
    EXPECT_NE(status[0].find("COM1 : " + sim.SlavePath()), std::string::npos) << status[0];
    EXPECT_GE(tookMs, Mount::kSilenceLimitMs);
  } else {
    EXPECT_TRUE(status.empty()) << ::testing::PrintToString(status);
    EXPECT_EQ(mount.ra, targetRa);
    EXPECT_EQ(mount.dec, targetDec);
  }
}

INSTANTIATE_TEST_SUITE_P(Mounts, RealTimeGoto,
                         ::testing::Values(MountBehaviour{"Responsive", 0, false},
                                           MountBehaviour{"Late250ms", 250, false},
                                           MountBehaviour{"Silent", 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orniva
