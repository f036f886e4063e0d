// The program's own mount layer (serial port, LX200 commands, position
// timer) driving the simulated mount over a pseudo-terminal, with the
// simulated camera looking through it; on the virtual loop.
#include <gtest/gtest.h>

#include <cmath>

#include "core/virtual_event_loop.h"
#include "platform/serial_port.h"
#include "program/simulator_wiring.h"
#include "sim/lx200_mount.h"
#include "sim/recording_port.h"
#include "sim/sim_camera.h"
#include "sim/simulated_observatory.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"
#include "telescope/mount.h"
#include "telescope/mount_kernels.h"
#include "ui/application.h"
#include "ui/dialogs.h"

namespace orniva {
namespace {

MountParameters Steady() {
  MountParameters p;
  p.periodicAmplitude = p.harmonicAmplitude = 0;
  return p;
}

SkyParameters CalmSky() {
  SkyParameters p;
  p.zeroMagnitudeFlux = 2.0e5;
  p.seeingJitter = 0.3;
  return p;
}

// The program's mount layer with its windows and a real serial layer.
struct ProgramMount : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Pref pref{app};
  TFRM_Prg_Suivi suivi{app};
  TFRM_ComTrafic trafic{app};
  SerialPorts ports{loop};
  RecordingPort port{loop};
  Mount mount{pref, suivi, trafic, ports, port};
};

// Centroid of the brightest star of a frame taken now.
std::pair<double, double> Star(SimCamera& camera, EventLoop& loop, double background) {
  Image frame;
  camera.GrabFrame(loop, frame);
  int bx = 0, by = 0;
  Brightest(frame, bx, by);
  double cx = 0, cy = 0;
  EXPECT_TRUE(Centroid(frame, bx, by, 12, background, cx, cy));
  return {cx, cy};
}

struct MountLink : ProgramMount {
  const StarRecord* vega = FindStar("Alp Lyr");
  MountModel model{Steady(), vega->RightAscension, vega->Declination, loop.NowMs(),
                   loop.WallClockMs()};
  Lx200PtyMount pty{loop, model};
  SkyModel sky{SharedCatalogues(), CalmSky(), SimOptics{}};
  SimCamera camera{sky, model};
  int gotoEnded = 0;

  MountLink() {
    camera.SetExposure({0.04, 1.0});
    mount.Hooks.GotoEnded = [this] { ++gotoEnded; };
    std::vector<std::string> lines;
    for (const auto& l : pref.MEMO_Ports_Serie.Lines())
      if (l.rfind("COM1=", 0) != 0) lines.push_back(l);
    lines.push_back("COM1=" + pty.SlavePath());
    pref.MEMO_Ports_Serie.SetLines(lines);
    pref.RDB_LX200.Click();
  }
  std::pair<double, double> Star() { return orniva::Star(camera, loop, 20); }
};

TEST_F(MountLink, GotoFromVegaToDenebThroughTheProgramsMountLayer) {
  ASSERT_TRUE(pty.Ok()) << pty.Error();
  const StarRecord* deneb = FindStar("Alp Cyg");
  ASSERT_NE(deneb, nullptr);
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  // The link reads the mount's replies as they cross the pseudo-terminal in
  // real time: each step of the virtual loop leaves them a moment.
  loop.SetIoGraceMs(2);
  mount.GotoCoordinates(deneb->RightAscension, deneb->Declination);
  ASSERT_TRUE(mount.GotoInProgress());
  loop.RunFor(2000);
  EXPECT_TRUE(mount.GotoInProgress());  // 23° at 3°/s
  EXPECT_TRUE(loop.RunUntil([&] { return !mount.GotoInProgress(); }, 60000));
  EXPECT_EQ(gotoEnded, 1);
  // The position read back is Deneb's to the minute.
  EXPECT_NEAR(mount.ra, deneb->RightAscension, 15 * 60);
  EXPECT_NEAR(mount.dec, deneb->Declination, 60);
  // And Deneb is in the frame, where the coordinates sent put it (seconds
  // of right ascension to a tenth, declination to the second).
  const auto [cx, cy] = Star();
  double x = 0, y = 0;
  const SimPointing arrived = model.Pointing(loop.NowMs());
  ASSERT_TRUE(sky.Project(arrived, 640, 480, deneb->RightAscension, deneb->Declination, x, y));
  EXPECT_NEAR(cx, x, 2);
  EXPECT_NEAR(cy, y, 2);
  EXPECT_NEAR(x, 319.5, 5);
  EXPECT_NEAR(y, 239.5, 5);
}

TEST_F(MountLink, TimedMotionAtTheGuideRateMovesTheStar) {
  ASSERT_TRUE(pty.Ok()) << pty.Error();
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
  mount.SetMountRate(0);
  const auto before = Star();
  const double scale = SimSampling(SimOptics{}, 640);
  mount.StartMotion(kNorth, true, false, 2000);
  loop.RunFor(5000);
  EXPECT_FALSE(mount.Moving(kNorth));
  const auto after = Star();
  // North moves the stars down the frame by the guide rate for two seconds,
  // give or take the pauses of the serial exchange.
  EXPECT_NEAR(after.second - before.second, 0.5 * kSiderealRate * 2 / scale, 2.5);
  EXPECT_NEAR(after.first - before.first, 0, 1.5);
}

// The observatory's mount on the pulse-byte interface ("Ruvena"), chosen in
// the preferences with COM1 pointing at its pseudo-terminal; stars without
// seeing.
struct PulseLink : ProgramMount {
  static SimulatorSettings Settings() {
    SimulatorSettings s;
    s.sky = QuietSky();
    s.sky.zeroMagnitudeFlux = 2.0e5;
    s.mount = Steady();
    s.exposure = {0.04, 1.0};
    return s;
  }
  SimulatedObservatory observatory{loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/",
                                   Settings()};
  std::pair<double, double> Star() { return orniva::Star(observatory.Camera(), loop, 5); }
};

TEST_F(PulseLink, EachPulseMovesTheStarsByTheGuideRateTimesItsLength) {
  ASSERT_TRUE(ConnectSimulatedMount(observatory, pref, mount, SimMountLink::Ruvena));
  EXPECT_TRUE(pref.RDB_Ruvena.Checked());
  EXPECT_EQ(pref.CBX_AG_PortSerie.Text(), "$03F8 (COM1)");
  const double scale = SimSampling(SimOptics{}, 640);
  const double cosDec = std::cos(observatory.Mount().Pointing(loop.NowMs()).dec * kRadianPerArcsec);
  const double guide = observatory.Mount().Parameters().rates[0] * kSiderealRate;  // "/s
  struct Case {
    int direction;
    int64_t ms;     // a multiple of 15 ms: what the byte can say
    double dx, dy;  // direction of the stars' motion; north up, east left
  } cases[] = {
      {kNorth, 945, 0, 1},
      {kSouth, 600, 0, -1},
      {kEast, 2010, cosDec, 0},  // longer than the longest pulse: 945 + 945 + 120
      {kWest, 300, -cosDec, 0},
  };
  for (const Case& c : cases) {
    const auto before = Star();
    const int64_t pulsesBefore = observatory.MountLink()->CommandsReceived();
    mount.StartMotion(c.direction, true, false, static_cast<double>(c.ms));
    loop.RunFor(3000);
    EXPECT_FALSE(mount.Moving(c.direction));
    const auto after = Star();
    const double pixels = guide * static_cast<double>(c.ms) / 1000 / scale;
    EXPECT_NEAR(after.first - before.first, c.dx * pixels, 0.3) << DirectionWord(c.direction);
    EXPECT_NEAR(after.second - before.second, c.dy * pixels, 0.3) << DirectionWord(c.direction);
    EXPECT_EQ(observatory.MountLink()->CommandsReceived() - pulsesBefore, c.ms > 945 ? 3 : 1);
  }
}

TEST_F(PulseLink, AHeldButtonStreamsPulsesThatMoveWithoutAGap) {
  ASSERT_TRUE(ConnectSimulatedMount(observatory, pref, mount, SimMountLink::Ruvena));
  const double scale = SimSampling(SimOptics{}, 640);
  const double guide = observatory.Mount().Parameters().rates[0] * kSiderealRate;
  const auto before = Star();
  // Pulses of 195 ms every 175 ms while "N" is held for a second; the last
  // one, sent at 875 ms, runs out by itself at 1070 ms.
  pref.TestButtonMouse(kNorth, true);
  loop.RunFor(1000);
  pref.TestButtonMouse(kNorth, false);
  loop.RunFor(1000);
  const auto after = Star();
  EXPECT_EQ(observatory.MountLink()->CommandsReceived(), 6);
  EXPECT_NEAR(after.second - before.second, guide * 1.070 / scale, 0.3);
  EXPECT_NEAR(after.first - before.first, 0, 0.3);
}

}  // namespace
}  // namespace orniva
