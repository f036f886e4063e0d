// The program's own mount layer (serial port, LX200 commands, position
// timer) driving the simulated mount over a pseudo-terminal, with the
// simulated camera looking through it; on the virtual loop.
#include <gtest/gtest.h>

#include <cmath>

#include "core/virtual_event_loop.h"
#include "platform/serial_port.h"
#include "sim/lx200_mount.h"
#include "sim/recording_port.h"
#include "sim/sim_camera.h"
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

struct MountLink : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Pref pref{app};
  TFRM_Prg_Suivi suivi{app};
  TFRM_ComTrafic trafic{app};
  SerialPorts ports{loop};
  RecordingPort port{loop};
  Mount mount{pref, suivi, trafic, ports, port};
  const StarRecord* vega = FindStar("Alp Lyr");
  MountModel model{Steady(), vega->RightAscension, vega->Declination, loop.NowMs(),
                   loop.WallClockMs()};
  Lx200PtyMount pty{loop, model};
  SkyModel sky{SharedCatalogues(), CalmSky(), SimOptics{}};
  SimCamera camera{sky, model};
  int gotoEnded = 0;

  MountLink() {
    camera.SetExposure({0.04, 1.0});
    mount.hooks.gotoEnded = [this] { ++gotoEnded; };
    std::vector<std::string> lines;
    for (const auto& l : pref.MEMO_Ports_Serie.Lines())
      if (l.rfind("COM1=", 0) != 0) lines.push_back(l);
    lines.push_back("COM1=" + pty.SlavePath());
    pref.MEMO_Ports_Serie.SetLines(lines);
    pref.RDB_LX200.Click();
  }
  // Centroid of the brightest star of a frame taken now.
  std::pair<double, double> Star() {
    Image frame;
    camera.GrabFrame(loop, frame);
    int bx = 0, by = 0;
    Brightest(frame, bx, by);
    double cx = 0, cy = 0;
    EXPECT_TRUE(Centroid(frame, bx, by, 12, 20, cx, cy));
    return {cx, cy};
  }
};

TEST_F(MountLink, GotoFromVegaToDenebThroughTheProgramsMountLayer) {
  ASSERT_TRUE(pty.Ok()) << pty.Error();
  const StarRecord* deneb = FindStar("Alp Cyg");
  ASSERT_NE(deneb, nullptr);
  pref.BTN_Connecter.Click();
  ASSERT_TRUE(mount.Connected());
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

}  // namespace
}  // namespace orniva
