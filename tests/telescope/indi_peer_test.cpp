#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "core/poll_event_loop.h"
#include "mount_fixture.h"
#include "platform/indi_telescope.h"
#include "sim/lx200_mount.h"
#include "sim/mount_model.h"

// libindi's client keeps the devices it has seen in reference cycles of its
// own that are never freed (indirect leaks only, all inside the library):
// not ours to report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libindiclient.so\n";
}

namespace orniva {
namespace {

using Clock = std::chrono::steady_clock;

// Moves this test program into a network namespace of its own with only
// the loopback interface up, so that the servers it starts are reachable by
// nothing else. Without the right to do so, loopback is used as it is.
class PrivateNetwork : public ::testing::Environment {
 public:
  void SetUp() override {
    if (::unshare(CLONE_NEWNET) != 0) return;
    int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq ifr{};
    std::snprintf(ifr.ifr_name, IFNAMSIZ, "lo");
    if (::ioctl(s, SIOCGIFFLAGS, &ifr) == 0) {
      ifr.ifr_flags |= IFF_UP;
      ::ioctl(s, SIOCSIFFLAGS, &ifr);
    }
    ::close(s);
  }
};
const auto* const kNet = ::testing::AddGlobalTestEnvironment(new PrivateNetwork);

int FreePort() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(s);
  return ntohs(a.sin_port);
}

bool Accepts(int port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(s);
  return ok;
}

// An indiserver with one driver (the telescope simulator unless told
// otherwise), in its own process group so that stopping it also stops the
// driver; its settings go to a private home, where SetConfig leaves a
// device's settings for the driver to start with.
struct IndiServer {
  pid_t pid = -1;
  int port = 0;
  std::string home;
  std::string driver = "indi_simulator_telescope";
  void MakeHome() {
    char tmpl[] = "/tmp/orniva_indi_XXXXXX";
    if (home.empty()) home = ::mkdtemp(tmpl);
  }
  void SetConfig(const std::string& device, const std::string& xml) {
    MakeHome();
    ::mkdir((home + "/.indi").c_str(), 0700);
    FILE* f = std::fopen((home + "/.indi/" + device + "_config.xml").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(xml.c_str(), f);
    std::fclose(f);
  }
  bool Start() {
    port = FreePort();
    MakeHome();
    std::string sock = home + "/sock" + std::to_string(port);
    pid = ::fork();
    if (pid == 0) {
      ::setpgid(0, 0);
      ::setenv("HOME", home.c_str(), 1);
      int log = ::open((home + "/server.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
      ::dup2(log, 1);
      ::dup2(log, 2);
      std::string p = std::to_string(port);
      ::execlp("indiserver", "indiserver", "-p", p.c_str(), "-u", sock.c_str(), "-r", "0",
               driver.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::setpgid(pid, pid);
    auto end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
      if (Accepts(port)) return true;
      int status;
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  std::string Log() const {
    std::string text;
    FILE* f = std::fopen((home + "/server.log").c_str(), "r");
    if (!f) return text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    return text;
  }
  void Stop() {
    if (pid <= 0) return;
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
  }
  ~IndiServer() {
    Stop();
    if (!home.empty()) std::system(("rm -rf '" + home + "'").c_str());
  }
};

struct IndiFixture : MountFixture {
  IndiServer server;
  void SetUp() override {
    ASSERT_TRUE(server.Start()) << "indiserver did not start (is indi-bin installed?): "
                                << server.Log();
    mount.Hooks.MakeDriver = [this] { return MakeIndiTelescope(loop); };
    UseServer(server.port);
    pref.RDB_ASCOM.Click();
  }
  void UseServer(int port) {
    pref.EDT_ASCOM_Telescope.SetText("Telescope Simulator@127.0.0.1:" + std::to_string(port));
  }
  // Lets real time pass for the simulator while the loop polls, the loop's
  // clock keeping pace with it (a faster clock would make the driver's
  // answers look slow).
  bool RunReal(const std::function<bool()>& done, int seconds) {
    auto end = Clock::now() + std::chrono::seconds(seconds);
    auto last = Clock::now();
    while (Clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      const auto now = Clock::now();
      loop.RunFor(std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count());
      last = now;
      if (done()) return true;
    }
    return done();
  }
  // A position poll, its answers in.
  void Poll() {
    mount.TMR_ScopePositionTimer();
    RunReal([&] { return !mount.LinkBusy(); }, 2);
  }
  static double Separation(double ra1, double dec1, double ra2, double dec2) {
    double dra = std::remainder(ra1 - ra2, 1296000.0) * std::cos(dec1 / 206264.806);
    return std::hypot(dra, dec1 - dec2);
  }
};

TEST_F(IndiFixture, ConnectGotoSyncAbortAndPulses) {
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected()) << ::testing::PrintToString(dialogs.History().size());
  ASSERT_TRUE(mount.Driver()->Answer().canPulseGuide);

  Poll();
  const double startRa = mount.ra;
  // GOTO one hour east of the start, at +30 degrees.
  const double ra = std::fmod(startRa + 54000, 1296000), dec = 30 * 3600;
  auto slewStart = Clock::now();
  mount.GotoCoordinates(ra, dec);
  EXPECT_TRUE(mount.GotoInProgress());
  ASSERT_TRUE(RunReal([&] { return !mount.GotoInProgress(); }, 60));
  EXPECT_EQ(gotoEnded, 1);
  // The simulator ends off in RA by about the sky's turn during its slew.
  double slewSeconds = std::chrono::duration<double>(Clock::now() - slewStart).count();
  EXPECT_LT(std::fabs(mount.dec - dec), 30);
  EXPECT_LT(std::fabs(std::remainder(mount.ra - ra, 1296000.0)), 30 + 15.1 * slewSeconds);

  // Sync: the mount now says it points where we told it.
  const double syncRa = std::fmod(ra + 900, 1296000), syncDec = dec - 600;
  mount.SyncCoordinates(syncRa, syncDec);
  RunReal([] { return false; }, 1);
  Poll();
  EXPECT_LT(Separation(mount.ra, mount.dec, syncRa, syncDec), 30);

  // A 2 s guide pulse north or south moves the declination (which way
  // depends on the pier side: no direction is assumed).
  const double before = mount.dec;
  mount.StartMotion(kNorth, true, false, 2000);
  RunReal([] { return false; }, 3);
  Poll();
  EXPECT_GT(std::fabs(mount.dec - before), 5);
  EXPECT_LT(std::fabs(mount.dec - before), 120);

  // Abort: a long slew stops short of its target.
  const double farDec = -40 * 3600.0;
  mount.GotoCoordinates(ra, farDec);
  RunReal([] { return false; }, 1);
  mount.AbortGoto();
  EXPECT_FALSE(mount.GotoInProgress());
  RunReal([] { return false; }, 2);
  Poll();
  const double stopped = mount.dec;
  RunReal([] { return false; }, 1);
  Poll();
  EXPECT_NEAR(mount.dec, stopped, 60);  // no longer slewing
  EXPECT_GT(mount.dec - farDec, 3600);  // far from the target
  EXPECT_TRUE(status.empty()) << ::testing::PrintToString(status);
  pref.BTN_Deconnecter.Click();
  EXPECT_FALSE(mount.Connected());
}

TEST_F(IndiFixture, NoServerIsReportedQuicklyAndLeavesTheMountUnconnected) {
  UseServer(FreePort());
  auto start = Clock::now();
  pref.BTN_Connecter.Click();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
  EXPECT_FALSE(mount.Connected());
  ASSERT_EQ(dialogs.History().size(), 1u);
  EXPECT_EQ(
      dialogs.History()[0].text.rfind("Impossible de se connecter au télescope, erreur 206", 0),
      0u);
  EXPECT_NE(dialogs.History()[0].text.find("injoignable"), std::string::npos);
  // A wrong device name on a running server says so.
  pref.EDT_ASCOM_Telescope.SetText("Nulle Part@127.0.0.1:" + std::to_string(server.port));
  pref.BTN_Connecter.Click();
  EXPECT_FALSE(mount.Connected());
  ASSERT_EQ(dialogs.History().size(), 2u);
  EXPECT_NE(dialogs.History()[1].text.find("Nulle Part"), std::string::npos);
  // The right one then connects, without restarting anything.
  UseServer(server.port);
  pref.BTN_Connecter.Click();
  EXPECT_TRUE(mount.Connected());
}

TEST_F(IndiFixture, ServerDyingMidSlewEndsTheGotoAndCanBeReconnected) {
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  Poll();
  mount.GotoCoordinates(std::fmod(mount.ra + 6 * 54000, 1296000), -50 * 3600.0);
  RunReal([] { return false; }, 1);
  server.Stop();
  ASSERT_TRUE(RunReal([&] { return !mount.Connected(); }, 10));
  EXPECT_FALSE(mount.GotoInProgress());
  EXPECT_EQ(gotoEnded, 1);
  ASSERT_FALSE(status.empty());
  EXPECT_NE(status.back().find("liaison coupee"), std::string::npos) << status.back();
  EXPECT_TRUE(pref.BTN_Connecter.Enabled());

  ASSERT_TRUE(server.Start());
  UseServer(server.port);
  pref.BTN_Connecter.Click();
  EXPECT_TRUE(mount.Connected());
}

// INDI's own LX200 drivers, run by indiserver, drive the simulated mount on
// a pseudo-terminal; the program drives them as its telescope driver, all on
// the real-time loop. Each request must move the simulated mount the way it
// asks: a GOTO brings it to the target, a sync makes it call its position
// the one given, an abort stops a slew short, and (for the classic driver,
// which guides) an East motion raises the right ascension and a North pulse
// the declination.
struct Lx200Driver {
  const char* name;
  const char* executable;
  const char* device;
  bool guides;
};
void PrintTo(const Lx200Driver& d, std::ostream* os) {
  *os << d.name;
}

class Lx200DriverPeer : public ::testing::TestWithParam<Lx200Driver> {
 protected:
  static MountParameters Steady() {
    MountParameters p;
    p.periodicAmplitude = p.harmonicAmplitude = 0;
    p.rates[3] = 20.0 * 3600 / kSiderealRate;  // 20 degrees per second
    return p;
  }
  void SetUp() override {
    ASSERT_TRUE(sim.Ok()) << sim.Error();
    const Lx200Driver& d = GetParam();
    server.driver = d.executable;
    server.SetConfig(d.device,
                     "<INDIDriver>\n<newTextVector device='" + std::string(d.device) +
                         "' name='DEVICE_PORT'>\n<oneText name='PORT'>" + sim.SlavePath() +
                         "</oneText>\n</newTextVector>\n<newSwitchVector device='" + d.device +
                         "' name='DEVICE_AUTO_SEARCH'>\n<oneSwitch "
                         "name='INDI_ENABLED'>Off</oneSwitch>\n<oneSwitch "
                         "name='INDI_DISABLED'>On</oneSwitch>\n</newSwitchVector>\n"
                         "</INDIDriver>\n");
    ASSERT_TRUE(server.Start()) << "indiserver did not start (is indi-bin installed?): "
                                << server.Log();
    mount.Hooks.MakeDriver = [this] { return MakeIndiTelescope(loop); };
    mount.Hooks.StatusLine = [this](const std::string& s) { status.push_back(s); };
    mount.Hooks.GotoEnded = [this] { ++gotoEnded; };
    pref.EDT_ASCOM_Telescope.SetText(std::string(d.device) +
                                     "@127.0.0.1:" + std::to_string(server.port));
    pref.RDB_ASCOM.Click();
  }
  // Runs the real-time loop until done() holds or the time is up.
  bool RunReal(const std::function<bool()>& done, int seconds) {
    const int64_t end = loop.NowMs() + seconds * 1000LL;
    auto check = loop.AddTimer(20, true, [&] {
      if (done() || loop.NowMs() >= end) loop.Quit();
    });
    loop.Run();
    loop.RemoveTimer(check);
    return done();
  }
  void Poll() {
    mount.TMR_ScopePositionTimer();
    RunReal([&] { return !mount.LinkBusy(); }, 2);
  }
  double ModelRa() { return model.ReportedRa(loop.NowMs()); }
  double ModelDec() { return model.ReportedDec(loop.NowMs()); }

  PollEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Pref pref{app};
  TFRM_Prg_Suivi suivi{app};
  TFRM_ComTrafic trafic{app};
  SerialPorts ports{loop};
  RecordingPort port{loop};
  Mount mount{pref, suivi, trafic, ports, port};
  MountModel model{Steady(), 3 * 54000.0, 20 * 3600.0, loop.NowMs(), loop.WallClockMs()};
  Lx200PtyMount sim{loop, model};
  IndiServer server;
  std::vector<std::string> status;
  int gotoEnded = 0;
};

TEST_P(Lx200DriverPeer, ConnectPositionGotoSyncAbortAndMotions) {
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected()) << (dialogs.History().empty() ? "" : dialogs.History()[0].text)
                                 << "\n"
                                 << server.Log();
  // The position the driver read from the simulated mount.
  ASSERT_TRUE(RunReal(
      [&] {
        mount.TMR_ScopePositionTimer();
        return std::fabs(mount.ra - ModelRa()) < 20 && std::fabs(mount.dec - ModelDec()) < 2;
      },
      10))
      << mount.ra << " " << mount.dec;

  // GOTO: the simulated mount arrives at the target, and the program sees it.
  const double ra = 4 * 54000.0 + 30 * 900.0, dec = 35 * 3600.0 + 20 * 60;
  mount.GotoCoordinates(ra, dec);
  EXPECT_TRUE(mount.GotoInProgress());
  ASSERT_TRUE(RunReal([&] { return !mount.GotoInProgress(); }, 30)) << server.Log();
  EXPECT_EQ(gotoEnded, 1);
  EXPECT_NEAR(ModelRa(), ra, 1);
  EXPECT_NEAR(ModelDec(), dec, 1);
  ASSERT_TRUE(RunReal(
      [&] {
        mount.TMR_ScopePositionTimer();
        return std::fabs(mount.ra - ra) < 20 && std::fabs(mount.dec - dec) < 2;
      },
      10))
      << mount.ra << " " << mount.dec;

  // Sync: the mount now calls where it points the coordinates given.
  const double syncRa = ra + 900, syncDec = dec - 600;
  mount.SyncCoordinates(syncRa, syncDec);
  ASSERT_TRUE(RunReal([&] { return std::fabs(ModelDec() - syncDec) < 2; }, 10));
  EXPECT_NEAR(ModelRa(), syncRa, 15);

  if (GetParam().guides) {
    // East for 2 s (pulses of at most 945 ms at the guide rate, half the
    // sidereal rate): the right ascension goes up by 15".
    const double ra0 = model.Pointing(loop.NowMs()).ra, dec0 = model.Pointing(loop.NowMs()).dec;
    mount.StartMotion(kEast, true, false, 2000);
    RunReal([] { return false; }, 3);
    EXPECT_NEAR(model.Pointing(loop.NowMs()).ra - ra0, 0.5 * kSiderealRate * 2, 4);
    EXPECT_NEAR(model.Pointing(loop.NowMs()).dec, dec0, 1);
    // A 1 s North pulse: the declination goes up by 7.5".
    mount.StartMotion(kNorth, true, false, 1000);
    RunReal([] { return false; }, 2);
    EXPECT_NEAR(model.Pointing(loop.NowMs()).dec - dec0, 0.5 * kSiderealRate, 3);
    EXPECT_TRUE(status.empty()) << ::testing::PrintToString(status);
  }

  // Abort: a long slew stops short of its target and stays there.
  const double farDec = -30 * 3600.0;
  mount.GotoCoordinates(ra, farDec);
  ASSERT_TRUE(RunReal([&] { return model.Slewing(loop.NowMs()); }, 10));
  mount.AbortGoto();
  EXPECT_FALSE(mount.GotoInProgress());
  ASSERT_TRUE(RunReal([&] { return !model.Slewing(loop.NowMs()); }, 5));
  const double stopped = ModelDec();
  RunReal([] { return false; }, 1);
  EXPECT_NEAR(ModelDec(), stopped, 1);
  EXPECT_GT(ModelDec() - farDec, 3600);
  pref.BTN_Deconnecter.Click();
  EXPECT_FALSE(mount.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    IndiDrivers, Lx200DriverPeer,
    ::testing::Values(Lx200Driver{"Classic", "indi_lx200classic", "LX200 Classic", true},
                      Lx200Driver{"Basic", "indi_lx200basic", "LX200 Basic", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orniva
