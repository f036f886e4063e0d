// Relative moves of the program on the simulated observatory, on every
// interface that moves the mount by timed motions: the mount goes the way
// asked, and the program's own idea of the position goes with it.
#include <gtest/gtest.h>

#include <cmath>

#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "program/simulator_wiring.h"
#include "sim/simulated_observatory.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"
#include "telescope/mount.h"
#include "telescope/tfrm_pref.h"

namespace orniva {
namespace {

// The guide rate of the simulated mount and the program's motor speeds
// (arcsec/s), chosen so that one 500 ms position tick is a whole step.
constexpr double kSpeed = 16;

enum class Link { Lx200, Ruvena, Relays, ShiftRegister };

struct RelativeMove {
  const char* name;
  Link link;
  double ra, dec;  // the move, arcseconds
};
void PrintTo(const RelativeMove& m, std::ostream* os) {
  *os << m.name;
}

class RelativeMoves : public ::testing::TestWithParam<RelativeMove> {
 protected:
  RelativeMoves() {
    SimulatorSettings s;
    s.sky = QuietSky();
    s.mount.periodicAmplitude = s.mount.harmonicAmplitude = 0;
    s.mount.rates[0] = kSpeed / kSiderealRate;
    program.Activate();
    observatory = &program.Simulator(std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/", s);
    for (NumEdit* v : {&pref.TNI_Vitesse_Est, &pref.TNI_Vitesse_Ouest, &pref.TNI_Vitesse_Nord,
                       &pref.TNI_Vitesse_Sud})
      v->SetValue(kSpeed);
    pref.TNI_Tps_Inertie_AD.SetValue(0);
    pref.TNI_Tps_Inertie_Dec.SetValue(0);
  }
  ~RelativeMoves() override { program.Shutdown(); }

  bool Connect(Link link) {
    switch (link) {
      case Link::Lx200:
      case Link::Ruvena:
        loop.SetIoGraceMs(2);  // the pseudo-terminal crosses in real time
        return ConnectSimulatedMount(
            *observatory, pref, mount,
            link == Link::Ruvena ? SimMountLink::Ruvena : SimMountLink::Lx200);
      case Link::Relays:
      case Link::ShiftRegister:
        program.UseSimulatedPorts();
        // The shift register drives one direction at a time.
        pref.CKB_Axes_Separes.SetChecked(link == Link::ShiftRegister);
        (link == Link::Relays ? pref.RDB_Marvane : pref.RDB_Telkor).Click();
        pref.BTN_Connecter.Click();
        return mount.Connected();
    }
    return false;
  }

  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program{loop, dialogs};
  TFRM_Pref& pref = program.Get<TFRM_Pref>();
  Mount& mount = program.Telescope();
  SimulatedObservatory* observatory = nullptr;
};

// The LX200 position replies keep minutes of time and arcminutes.
double MinutesOfTime(double ra) {
  return std::floor(ra / 900) * 900;
}
double Arcminutes(double dec) {
  return std::copysign(std::floor(std::fabs(dec) / 60) * 60, dec);
}

TEST_P(RelativeMoves, MoveTheMountTheAskedWayAndTheProgramAgrees) {
  const RelativeMove& m = GetParam();
  ASSERT_TRUE(Connect(m.link));
  MountModel& sim = observatory->Mount();
  const double ra0 = sim.ReportedRa(loop.NowMs()), dec0 = sim.ReportedDec(loop.NowMs());
  const double programRa0 = mount.ra, programDec0 = mount.dec;
  mount.MoveRelative(m.ra, m.dec);
  ASSERT_TRUE(mount.GotoInProgress());
  const int64_t started = loop.NowMs();
  const int64_t expectedMs =
      static_cast<int64_t>((std::fabs(m.ra) + std::fabs(m.dec)) / kSpeed * 1000);
  ASSERT_TRUE(loop.RunUntil(
      [&] {
        return !mount.GotoInProgress() && !mount.Moving(kEast) && !mount.Moving(kWest) &&
               !mount.Moving(kNorth) && !mount.Moving(kSouth);
      },
      expectedMs + 5000));
  loop.RunFor(1000);  // the last pulse ends, the last reply comes
  const double movedRa = std::remainder(sim.ReportedRa(loop.NowMs()) - ra0, kArcsecFullTurn);
  const double movedDec = sim.ReportedDec(loop.NowMs()) - dec0;
  // The mount: the asked way, by the asked amount (a pulse box codes its
  // pulses in steps of 15 ms).
  EXPECT_NEAR(movedRa, m.ra, 1.5);
  EXPECT_NEAR(movedDec, m.dec, 1.5);
  if (m.link == Link::Lx200) {
    // The program reads the mount's own position.
    if (mount.LinkBusy()) loop.RunUntil([&] { return !mount.LinkBusy(); }, 2000);
    mount.TMR_ScopePositionTimer();
    ASSERT_TRUE(loop.RunUntil([&] { return !mount.LinkBusy(); }, 2000));
    EXPECT_EQ(mount.ra, MinutesOfTime(sim.ReportedRa(loop.NowMs())));
    EXPECT_EQ(mount.dec, Arcminutes(sim.ReportedDec(loop.NowMs())));
  } else {
    // Dead reckoning rounds each tick's step to the arcsecond.
    const double ticks = static_cast<double>(loop.NowMs() - started) / 500 + 2;
    EXPECT_NEAR(std::remainder(mount.ra - programRa0, kArcsecFullTurn), movedRa, ticks * 0.5);
    EXPECT_NEAR(mount.dec - programDec0, movedDec, ticks * 0.5);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryInterface, RelativeMoves,
    ::testing::Values(RelativeMove{"Lx200EastNorth", Link::Lx200, 600, 320},
                      RelativeMove{"Lx200WestSouth", Link::Lx200, -600, -320},
                      RelativeMove{"RuvenaEastSouth", Link::Ruvena, 600, -320},
                      RelativeMove{"RuvenaWestNorth", Link::Ruvena, -600, 320},
                      RelativeMove{"RelaysEastNorth", Link::Relays, 600, 320},
                      RelativeMove{"RelaysWestSouth", Link::Relays, -600, -320},
                      RelativeMove{"ShiftRegisterEastSouth", Link::ShiftRegister, 600, -320},
                      RelativeMove{"ShiftRegisterWestNorth", Link::ShiftRegister, -600, 320}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orniva
