#include "sim/mount_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sky/sky_angles.h"

namespace orniva {
namespace {

constexpr int64_t kWall = 1781000000000LL;  // a night in June 2026
constexpr double kRa = 10 * 3600 * 15.0, kDec = 20 * 3600.0;

MountParameters Steady() {
  MountParameters p;
  p.periodicAmplitude = 0;
  p.harmonicAmplitude = 0;
  return p;
}

TEST(MountModel, PulsesMoveByRateTimesDuration) {
  struct Case {
    MountDirection direction;
    int64_t ms;
    double rate;
    double dRa, dDec;  // arcseconds of right ascension and declination
  } cases[] = {
      {MountDirection::North, 1000, 0.5, 0, 0.5 * kSiderealRate},
      {MountDirection::South, 400, 0.5, 0, -0.2 * kSiderealRate},
      {MountDirection::East, 2000, 0.5, kSiderealRate, 0},
      {MountDirection::West, 250, 8, -2 * kSiderealRate, 0},
  };
  for (const Case& c : cases) {
    MountModel mount(Steady(), kRa, kDec, 0, kWall);
    mount.Pulse(c.direction, c.ms, c.rate, 5000);
    // Half way, the move is half done; long after, it has stopped.
    const SimPointing half = mount.Pointing(5000 + c.ms / 2);
    EXPECT_NEAR(half.ra - kRa, c.dRa / 2, 1e-6);
    EXPECT_NEAR(half.dec - kDec, c.dDec / 2, 1e-6);
    const SimPointing after = mount.Pointing(60000);
    EXPECT_NEAR(after.ra - kRa, c.dRa, 1e-6);
    EXPECT_NEAR(after.dec - kDec, c.dDec, 1e-6);
  }
}

TEST(MountModel, MovesAtTheChosenRateUntilStopped) {
  MountModel mount(Steady(), kRa, kDec, 0, kWall);
  mount.SetRate(1);
  mount.StartMove(MountDirection::North, 1000);
  mount.StopMove(MountDirection::South, 2000);  // not the moving direction: ignored
  mount.StopMove(MountDirection::North, 3000);
  EXPECT_NEAR(mount.Pointing(10000).dec - kDec, 8 * kSiderealRate * 2, 1e-6);
  EXPECT_NEAR(mount.ReportedDec(10000) - kDec, 8 * kSiderealRate * 2, 1e-6);
}

TEST(MountModel, DeclinationSlackIsTakenUpAtEachReversal) {
  MountParameters p = Steady();
  p.decBacklash = 20;
  MountModel mount(p, kRa, kDec, 0, kWall);
  mount.Pulse(MountDirection::North, 1000, 8, 0);  // engaged northwards: moves at once
  EXPECT_NEAR(mount.Pointing(2000).dec - kDec, 8 * kSiderealRate, 1e-6);
  mount.Pulse(MountDirection::South, 1000, 8, 2000);  // the first 20" only turn the gears
  EXPECT_NEAR(mount.Pointing(2100).dec - kDec, 8 * kSiderealRate, 1e-6);
  EXPECT_NEAR(mount.Pointing(4000).dec - kDec, 20, 1e-6);
  mount.Pulse(MountDirection::South, 500, 8, 4000);  // same way: no slack
  EXPECT_NEAR(mount.Pointing(5000).dec - kDec, 20 - 4 * kSiderealRate, 1e-6);
}

TEST(MountModel, GotoSlewsAndEndsOnTheTarget) {
  MountModel mount(Steady(), kRa, kDec, 0, kWall);
  const double ra = kRa + 3 * 3600 * 15.0, dec = kDec - 5 * 3600.0;  // 45° and 5° away
  mount.Goto(ra, dec, 1000);
  const double slewMs = 45 * 3600 / (720 * kSiderealRate) * 1000;
  EXPECT_TRUE(mount.Slewing(1000));
  EXPECT_TRUE(mount.Slewing(1000 + static_cast<int64_t>(slewMs) - 10));
  EXPECT_FALSE(mount.Slewing(1000 + static_cast<int64_t>(slewMs) + 10));
  const SimPointing mid = mount.Pointing(1000 + static_cast<int64_t>(slewMs / 2));
  EXPECT_GT(mid.ra, kRa + 3600);
  EXPECT_LT(mid.ra, ra - 3600);
  const SimPointing end = mount.Pointing(60000);
  EXPECT_NEAR(end.ra, ra, 1e-3);
  EXPECT_NEAR(end.dec, dec, 1e-3);
  // Across 0 h the short way round.
  mount.Goto(1800, dec, 60000);
  EXPECT_FALSE(mount.Slewing(60000 + 60000));
  EXPECT_NEAR(mount.Pointing(200000).ra, 1800, 1e-3);
}

TEST(MountModel, SyncChangesTheCoordinatesNotThePointing) {
  MountModel mount(Steady(), kRa, kDec, 0, kWall);
  mount.Sync(kRa + 100, kDec - 50, 1000);
  EXPECT_NEAR(mount.ReportedRa(2000), kRa + 100, 1e-6);
  EXPECT_NEAR(mount.ReportedDec(2000), kDec - 50, 1e-6);
  EXPECT_NEAR(mount.Pointing(2000).ra, kRa, 1e-6);
  mount.Goto(kRa + 100 + 600, kDec - 50, 3000);  // 600" east in the synced coordinates
  EXPECT_NEAR(mount.Pointing(100000).ra, kRa + 600, 1e-3);
}

TEST(MountModel, WithoutTrackingTheSkyTurns) {
  MountModel mount(Steady(), kRa, kDec, 0, kWall);
  mount.SetTracking(false, 1000);
  EXPECT_NEAR(mount.Pointing(11000).ra - kRa, 10 * kSiderealRate, 1e-6);
  mount.SetTracking(true, 11000);
  EXPECT_NEAR(mount.Pointing(50000).ra - kRa, 10 * kSiderealRate, 1e-6);
}

TEST(MountModel, MisalignedPoleMakesDeclinationDrift) {
  // At the meridian the azimuth error shows, six hours east the altitude
  // error: rate = sidereal (rad/s) × (az cos(lat) cos H − alt sin H).
  const double omega = kSiderealRate * kRadianPerArcsec;
  const double cosLat = std::cos(45 * kRadianPerDegree);
  struct Case {
    double altitude, azimuth, hourAngle, rate;
  } cases[] = {
      {0, 600, 0, omega * 600 * cosLat},
      {0, 600, 6 * 54000.0, 0},
      {600, 0, -6 * 54000.0, omega * 600},
      {600, 0, 0, 0},
  };
  for (const Case& c : cases) {
    MountParameters p = Steady();
    p.polarAltitudeError = c.altitude;
    p.polarAzimuthError = c.azimuth;
    MountModel probe(p, 0, 0, 0, kWall);
    const double ra = probe.HourAngle(0, 0) - c.hourAngle;  // local sidereal time − H
    MountModel mount(p, ra, 0, 0, kWall);
    const double drift = mount.Pointing(60000).dec - mount.Pointing(0).dec;
    EXPECT_NEAR(drift / 60, c.rate, 1e-4) << c.altitude << " " << c.azimuth;
  }
}

}  // namespace
}  // namespace orniva
