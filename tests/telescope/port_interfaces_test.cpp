#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "mount_fixture.h"

namespace orniva {
namespace {

struct PortFixture : MountFixture {
  // The bytes the mount link received (a bare pseudo-terminal).
  int master = -1;
  void UsePty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    UseDevice("COM1", ::ptsname(master));
  }
  ~PortFixture() override {
    if (master >= 0) ::close(master);
  }
  std::string Received() {
    std::string out;
    pollfd p{master, POLLIN, 0};
    char buf[256];
    while (::poll(&p, 1, 50) > 0) {
      ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, n);
    }
    return out;
  }
};

TEST_F(PortFixture, MarvaneSetsAndClearsTheDirectionBitAtTheActiveLevel) {
  pref.RDB_Marvane.Click();
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  // East on pin 6, active 1: data bit 4 of $378.
  pref.TestButtonMouse(kEast, true);
  EXPECT_EQ(port.Register(0x378), 0x10);
  EXPECT_EQ(port.Level("0378.D4"), 1);
  EXPECT_EQ(TrafficLines().back(), "0378 : 00010000");
  pref.TestButtonMouse(kEast, false);
  EXPECT_EQ(port.Register(0x378), 0x00);
  EXPECT_EQ(pref.EDT_TestValue.Text(), "00000000");
  // Active value 0: neither changes the register.
  pref.TNI_Est_ActiveValue.SetValue(0);
  port.Clear();
  pref.TestButtonMouse(kEast, true);
  pref.TestButtonMouse(kEast, false);
  EXPECT_TRUE(port.Changes().empty());
  for (const auto& w : port.Writes()) EXPECT_EQ(w.value, 0);
  // Another port and pin, read at every motion.
  pref.CBX_AG_PortParallele.SetText("$278 (LPT2)");
  pref.TNI_Bit_Nord.SetValue(2);
  pref.TestButtonMouse(kNorth, true);
  EXPECT_EQ(port.Register(0x278), 0x01);
}

TEST_F(PortFixture, MarvaneTimedMotionReleasesTheLineAfterItsDuration) {
  pref.RDB_Marvane.Click();
  loop.RunFor(1000);
  mount.StartMotion(kSouth, true, false, 250);  // pin 9: bit 7
  loop.RunFor(1000);
  ASSERT_EQ(port.Changes().size(), 2u);
  EXPECT_EQ(port.Changes()[0].line, "0378.D7");
  EXPECT_EQ(port.Changes()[0].level, 1);
  EXPECT_EQ(port.Changes()[1].level, 0);
  EXPECT_EQ(port.Changes()[1].ms - port.Changes()[0].ms, 250);
  // East then West: the opposite direction is released first.
  port.Clear();
  mount.StartMotion(kEast, false, true, kContinuous);
  mount.StartMotion(kWest, false, true, kContinuous);
  EXPECT_EQ(port.Level("0378.D4"), 0);
  EXPECT_EQ(port.Level("0378.D5"), 1);
  EXPECT_FALSE(mount.Moving(kEast));
}

TEST_F(PortFixture, PortWritesAreSkippedWhenPortAccessIsNotReady) {
  port.SetReady(false);
  mount.WritePortByte(0x378, 11);
  EXPECT_TRUE(port.Writes().empty());
  EXPECT_TRUE(TrafficLines().empty());
  port.SetReady(true);
  mount.WritePortByte(0x378, 11);
  EXPECT_EQ(TrafficLines(), std::vector<std::string>{"0378 : 00001011"});
}

TEST_F(PortFixture, TrafficLogKeepsTheLast101Lines) {
  for (int i = 0; i < 102; ++i) trafic.AddTrafficLine(true, false, "L", std::to_string(i));
  ASSERT_EQ(TrafficLines().size(), 101u);
  EXPECT_EQ(TrafficLines().front(), "L : 1");
  EXPECT_EQ(TrafficLines().back(), "L : 101");
}

// Replays the Telkor lines as the relay box sees them: each rising RTS edge
// shifts DTR in, a rising break edge latches the register.
std::vector<int> TelkorLatches(const RecordingPort& port) {
  std::vector<int> latched;
  int shift = 0, dtr = 0;
  for (const auto& c : port.Changes()) {
    if (c.line == "03F8.DTR") dtr = c.level;
    if (c.line == "03F8.RTS" && c.level == 1) shift = ((shift << 1) | dtr) & 0xFF;
    if (c.line == "03F8.BRK" && c.level == 1) latched.push_back(shift);
  }
  return latched;
}

TEST_F(PortFixture, TelkorShiftsOneDirectionAtATime) {
  pref.RDB_Telkor.Click();
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  // Reset: interrupts off, OUT2, line control 0, then the release pattern.
  ASSERT_GE(port.Writes().size(), 3u);
  EXPECT_EQ(port.Writes()[0].address, 0x3F9);
  EXPECT_EQ(port.Writes()[1].address, 0x3FC);
  EXPECT_EQ(port.Writes()[1].value, 8);
  EXPECT_EQ(TelkorLatches(port), std::vector<int>{0});
  // Each register change is written three times.
  EXPECT_EQ(port.Writes()[3].value, port.Writes()[4].value);
  EXPECT_EQ(port.Writes()[4].value, port.Writes()[5].value);

  struct Case {
    int dir, pattern;
  } cases[] = {{kWest, 0x01}, {kEast, 0x02}, {kNorth, 0x04}, {kSouth, 0x08}};
  for (const auto& c : cases) {
    port.Clear();
    mount.StartMotion(c.dir, false, true, kContinuous);
    EXPECT_EQ(TelkorLatches(port), (std::vector<int>{0, c.pattern})) << c.dir;
  }
  // North while East moves: East is released first, and only North moves.
  mount.StartMotion(kEast, false, true, kContinuous);
  port.Clear();
  mount.StartMotion(kNorth, false, true, kContinuous);
  EXPECT_EQ(TelkorLatches(port), (std::vector<int>{0, 0x04}));
  EXPECT_FALSE(mount.Moving(kEast));
  EXPECT_TRUE(mount.Moving(kNorth));
  port.Clear();
  mount.StopMotion(kNorth);
  EXPECT_EQ(TelkorLatches(port), std::vector<int>{0});
  EXPECT_EQ(port.Level("03F8.BRK"), 1);
}

TEST_F(PortFixture, RuvenaSendsPulseBytesAndRepeatsLongMotions) {
  UsePty();
  pref.RDB_Ruvena.Click();
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  mount.StartMotion(kEast, true, false, 200);
  EXPECT_EQ(Received(), std::string(1, char(13 * 4 + 1)));
  EXPECT_EQ(TrafficLines().back(), "$03F8 (COM1) : 35 \"5\"");
  loop.RunFor(200);
  EXPECT_FALSE(mount.Moving(kEast));
  EXPECT_EQ(Received(), "");

  // 2000 ms with pulses of at most 945: 945, 945, then 110 ms.
  mount.StartMotion(kNorth, true, false, 2000);
  loop.RunFor(945);
  EXPECT_EQ(suivi.EDT_DurDec.Text(), "1055");
  loop.RunFor(945);
  loop.RunFor(200);
  const std::string pulses{char(63 * 4 + 2), char(63 * 4 + 2), char(7 * 4 + 2)};
  EXPECT_EQ(Received(), pulses);
  EXPECT_FALSE(mount.Moving(kNorth));

  // Held: pulses of 195 ms every 175 ms until released.
  pref.TestButtonMouse(kWest, true);
  loop.RunFor(175 * 3);
  pref.TestButtonMouse(kWest, false);
  loop.RunFor(1000);
  EXPECT_EQ(Received(), std::string(4, char(13 * 4 + 0)));
}

TEST_F(PortFixture, MarvaneFocuserDrivesTheControlRegister) {
  pref.RDB_Focus_Marvane.Click();
  mount.FocusStart(0);
  EXPECT_EQ(port.Register(0x37A), 0x0A);
  mount.FocusStop(0);
  mount.FocusStart(1);
  EXPECT_EQ(port.Register(0x37A), 0x09);
  pref.TNI_Focus_Out_Activevalue.SetValue(0);
  mount.FocusStop(1);
  EXPECT_EQ(port.Register(0x37A), 0x09);  // active 0: left as it is
}

TEST_F(PortFixture, MarvaneFocuserStartsWithBothRelaysReleased) {
  // Neither interface on the relay box: nothing is written at start-up.
  mount.StartPortLines();
  EXPECT_TRUE(TrafficLines().empty());
  // The focuser on the relay box of LPT2: its control register is set to
  // 00001011 at start-up, and the very first press engages its own relay
  // only.
  pref.CBX_AG_Focus_PortParallele.SetText("$278 (LPT2)");
  pref.RDB_Focus_Marvane.Click();
  mount.StartPortLines();
  EXPECT_EQ(TrafficLines(), std::vector<std::string>{"027A : 00001011"});
  for (int focusDir : {0, 1}) {
    MountRig fresh;  // a program just started, the shadow never written
    fresh.pref.RDB_Focus_Marvane.Click();
    fresh.pref.FocusButtonMouse(focusDir, true);
    EXPECT_EQ(fresh.port.Register(0x37A), focusDir == 0 ? 0x0A : 0x09) << focusDir;
    fresh.pref.FocusButtonMouse(focusDir, false);
    EXPECT_EQ(fresh.port.Register(0x37A), 0x0B) << focusDir;
  }
}

TEST_F(PortFixture, RelativeMoveByDeadReckoningEndsTheGoto) {
  pref.RDB_Marvane.Click();
  pref.TNI_Tps_Inertie_AD.SetValue(0);
  pref.TNI_Tps_Inertie_Dec.SetValue(0);
  pref.CKB_Fin_GOTO_Afficher_Message.SetChecked(true);
  for (NumEdit* v : {&pref.TNI_Vitesse_Est, &pref.TNI_Vitesse_Ouest, &pref.TNI_Vitesse_Nord,
                     &pref.TNI_Vitesse_Sud})
    v->SetValue(16);  // 8" per 500 ms poll
  mount.ra = 1296000 - 300;
  mount.dec = 1000;
  mount.MoveRelative(600, -320);  // East 37.5 s, South 20 s
  EXPECT_TRUE(mount.GotoInProgress());
  EXPECT_EQ(port.Level("0378.D4"), 1);  // East
  EXPECT_EQ(port.Level("0378.D7"), 1);  // South
  loop.RunFor(20000);
  EXPECT_EQ(port.Level("0378.D7"), 0);
  EXPECT_TRUE(mount.GotoInProgress());
  loop.RunFor(17500);
  EXPECT_FALSE(mount.GotoInProgress());
  EXPECT_EQ(gotoEnded, 1);
  EXPECT_EQ(status, std::vector<std::string>{"GOTO termine"});
  EXPECT_EQ(mount.ra, 300);  // wrapped past 0
  EXPECT_EQ(mount.dec, 680);
  // With "2 axes separes" Dec starts when RA has ended.
  pref.CKB_Axes_Separes.SetChecked(true);
  port.Clear();
  mount.MoveRelative(-160, 160);  // West, then North
  EXPECT_EQ(port.Level("0378.D5"), 1);
  EXPECT_EQ(port.Level("0378.D6"), 0);
  loop.RunFor(10000);
  EXPECT_EQ(port.Level("0378.D6"), 1);
  loop.RunFor(10000);
  EXPECT_EQ(mount.ra, 140);
  EXPECT_EQ(mount.dec, 840);
  EXPECT_FALSE(mount.GotoInProgress());
  EXPECT_EQ(gotoEnded, 2);
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// A driver that answers at once and records what it was asked.
struct RecordingDriver : TelescopeDriver {
  struct Call {
    Request request;
    Args args;
    int64_t ms;
  };
  EventLoop* loop = nullptr;
  std::vector<Call>* calls = nullptr;
  State state;
  void SetDevice(const std::string&) override {}
  int64_t busyUntil = 0;  // refuses every request until then
  bool Send(Request r, const Args& a, int) override {
    if (loop->NowMs() < busyUntil) return false;
    calls->push_back({r, a, loop->NowMs()});
    if (r == Request::Connect) state.connected = true;
    return true;
  }
  // Answers through the loop, as the real driver's worker does.
  bool SendAsync(Request r, const Args& a, std::function<void(const State&)> done) override {
    if (!Send(r, a, 0)) return false;
    loop->Post([done = std::move(done), s = state] { done(s); });
    return true;
  }
  State Answer() const override { return state; }
};

struct DriverFixture : MountFixture {
  std::vector<RecordingDriver::Call> calls;
  DriverFixture() {
    mount.Hooks.MakeDriver = [this] {
      auto d = std::make_unique<RecordingDriver>();
      d->loop = &loop;
      d->calls = &calls;
      return d;
    };
    pref.RDB_ASCOM.Click();
  }
  std::vector<std::pair<int, int64_t>> Pulses() const {
    std::vector<std::pair<int, int64_t>> out;
    for (const auto& c : calls)
      if (c.request == TelescopeDriver::Request::PulseGuide)
        out.push_back({c.args.guideDirection * 10000 + c.args.pulseMs, c.ms});
    return out;
  }
};

TEST_F(DriverFixture, GuidePulsesCarryTheDriversDirectionsAndRepeatWhileHeld) {
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  calls.clear();
  for (int dir : {kEast, kWest, kNorth, kSouth}) mount.StartMotion(dir, true, false, 100);
  loop.RunFor(200);
  auto p = Pulses();
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].first, 2 * 10000 + 100);  // East 2
  EXPECT_EQ(p[1].first, 3 * 10000 + 100);  // West 3
  EXPECT_EQ(p[2].first, 0 * 10000 + 100);  // North 0
  EXPECT_EQ(p[3].first, 1 * 10000 + 100);  // South 1
  // Held: pulses of 195 ms every 175 ms; released: no more.
  calls.clear();
  pref.TestButtonMouse(kNorth, true);
  loop.RunFor(175 * 2);
  pref.TestButtonMouse(kNorth, false);
  loop.RunFor(1000);
  p = Pulses();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[1].second - p[0].second, 175);
  EXPECT_EQ(p[2].first, 195);
  // A GOTO converts to hours and degrees.
  calls.clear();
  mount.GotoCoordinates(54000 * 6, -3600 * 10.5);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].request, TelescopeDriver::Request::SlewToCoordinatesAsync);
  EXPECT_EQ(calls[0].args.raHours, 6);
  EXPECT_EQ(calls[0].args.decDegrees, -10.5);
}

// A guide pulse handed over while the driver is busy with another request
// waits for it and goes out; one that cannot go out within its limit is
// reported, never lost in silence.
TEST_F(DriverFixture, PulsesRefusedWhileTheDriverIsBusyAreSentOrReported) {
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  auto& driver = static_cast<RecordingDriver&>(*mount.Driver());
  calls.clear();
  driver.busyUntil = 45;
  mount.StartMotion(kEast, true, false, 100);
  mount.StartMotion(kNorth, true, false, 120);
  EXPECT_TRUE(Pulses().empty());
  loop.RunFor(100);
  auto p = Pulses();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].first, 2 * 10000 + 100);  // East first, as asked
  EXPECT_EQ(p[1].first, 0 * 10000 + 120);
  EXPECT_GE(p[0].second, 45);
  EXPECT_LE(p[1].second, 45 + Mount::kPulseRetryMs);
  EXPECT_TRUE(status.empty());
  // Busy for longer than a pulse may wait.
  calls.clear();
  driver.busyUntil = loop.NowMs() + 5000;
  mount.StartMotion(kWest, true, false, 200);
  loop.RunFor(2000);
  EXPECT_TRUE(Pulses().empty());
  EXPECT_EQ(status, std::vector<std::string>{
                        "Telescope : impulsion Ouest de 200 ms abandonnee, le pilote est reste "
                        "occupe."});
}

}  // namespace
}  // namespace orniva

namespace orniva {

void PrintTo(Mount::Interface chosen, std::ostream* os) {
  static const char* const kNames[] = {"None", "Lx200", "Driver", "Ruvena", "Marvane", "Telkor"};
  *os << kNames[static_cast<int>(chosen)];
}

namespace {

// Backlash is added when an axis reverses the direction of its last stopped
// motion, on every interface. Each case makes relative moves of 3" at
// 15"/s (200 ms) with 50 ms of backlash and no inertia.
struct BacklashFixture : PortFixture, ::testing::WithParamInterface<Mount::Interface> {
  std::vector<RecordingDriver::Call> calls;
  BacklashFixture() {
    mount.Hooks.MakeDriver = [this] {
      auto d = std::make_unique<RecordingDriver>();
      d->loop = &loop;
      d->calls = &calls;
      return d;
    };
  }
  void Choose(Mount::Interface chosen) {
    switch (chosen) {
      case Mount::Interface::Lx200:
        UsePty();
        return pref.RDB_LX200.Click();
      case Mount::Interface::Ruvena:
        UsePty();
        return pref.RDB_Ruvena.Click();
      case Mount::Interface::Marvane:
        return pref.RDB_Marvane.Click();
      case Mount::Interface::Telkor:
        return pref.RDB_Telkor.Click();
      case Mount::Interface::Ascom:
        return pref.RDB_ASCOM.Click();
      case Mount::Interface::None:
        return;
    }
  }
};

std::string InterfaceName(const ::testing::TestParamInfo<Mount::Interface>& info) {
  return ::testing::PrintToString(info.param);
}

TEST_P(BacklashFixture, AddedOnlyWhenTheAxisReversesItsLastStoppedMotion) {
  Choose(GetParam());
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  pref.TNI_Jeu_AD.SetValue(50);
  pref.TNI_Jeu_Dec.SetValue(50);
  pref.TNI_Tps_Inertie_AD.SetValue(0);
  pref.TNI_Tps_Inertie_Dec.SetValue(0);
  struct Move {
    double ra, dec;
  };
  // East, East, West, West, East; then North, North, South, South, North.
  const Move moves[] = {{3, 0}, {3, 0}, {-3, 0}, {-3, 0}, {3, 0},
                        {0, 3}, {0, 3}, {0, -3}, {0, -3}, {0, 3}};
  std::vector<std::string> ra, dec;
  for (const Move& m : moves) {
    mount.MoveRelative(m.ra, m.dec);
    (m.ra != 0 ? ra : dec).push_back((m.ra != 0 ? suivi.EDT_Duree_AD : suivi.EDT_Duree_Dec).Text());
    loop.RunFor(1000);
    ASSERT_FALSE(mount.GotoInProgress());
  }
  const std::vector<std::string> expected{"200", "200", "250", "200", "250"};
  EXPECT_EQ(ra, expected);
  EXPECT_EQ(dec, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryInterface, BacklashFixture,
                         ::testing::Values(Mount::Interface::Lx200, Mount::Interface::Ruvena,
                                           Mount::Interface::Marvane, Mount::Interface::Telkor,
                                           Mount::Interface::Ascom),
                         InterfaceName);

}  // namespace
}  // namespace orniva
