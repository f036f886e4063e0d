// The program's mount layer on the relay interfaces, and the long-exposure
// lines, driving the simulated observatory through its port lines; the
// whole program on the virtual loop.
#include <gtest/gtest.h>

#include <cmath>

#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "sim/simulated_observatory.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"
#include "telescope/long_exposure_lines.h"
#include "telescope/mount.h"
#include "telescope/tfrm_pref.h"

namespace orniva {
namespace {

constexpr double kGuideRate = 1.0;  // the relay boxes' speed, × sidereal

SimulatorSettings Settings() {
  SimulatorSettings s;
  s.sky = QuietSky();
  s.mount.periodicAmplitude = s.mount.harmonicAmplitude = 0;
  s.mount.rates[0] = kGuideRate;
  return s;
}

// The program on the simulator, its port lines led to the simulated ones.
struct PortLines {
  explicit PortLines(const SimulatorSettings& settings = Settings()) {
    program.Activate();
    observatory = &program.Simulator(std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/", settings);
    program.UseSimulatedPorts();
  }
  ~PortLines() { program.Shutdown(); }
  bool Connect(RadioButton& interface) {
    interface.Click();
    pref.BTN_Connecter.Click();
    return mount.Connected();
  }
  // Centroid of Vega in a frame taken now, and the light it brought.
  struct Star {
    double x = 0, y = 0, flux = 0;
  };
  Star Vega() {
    Image frame;
    observatory->Camera().GrabFrame(loop, frame);
    Star s;
    int bx = 0, by = 0;
    Brightest(frame, bx, by);
    Centroid(frame, bx, by, 10, 0, s.x, s.y);
    for (int y = by - 10; y <= by + 10; ++y)
      for (int x = bx - 10; x <= bx + 10; ++x)
        if (frame.Contains(x, y)) s.flux += Level(frame, x, y);
    return s;
  }

  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program{loop, dialogs};
  TFRM_Pref& pref = program.Get<TFRM_Pref>();
  Mount& mount = program.Telescope();
  SimulatedObservatory* observatory = nullptr;
};

TEST(PortLines, RelayBoxesMoveTheStarsByRateTimesDurationAndStopOnRelease) {
  const double scale = SimSampling(SimOptics{}, 640);
  const double cosDec = std::cos(FindStar("Alp Lyr")->Declination * kRadianPerArcsec);
  const double step = kGuideRate * kSiderealRate * 2 / scale;  // two seconds, in pixels
  struct Direction {
    int direction;
    double dx, dy;  // north up, east left
  } directions[] = {
      {kEast, step * cosDec, 0},
      {kWest, -step * cosDec, 0},
      {kNorth, 0, step},
      {kSouth, 0, -step},
  };
  struct Interface {
    const char* name;
    bool telkor;
    bool otherPins;  // the relay box on LPT2, wired to pins 2 to 5
  } interfaces[] = {{"Marvane", false, false}, {"Marvane LPT2", false, true}, {"Telkor", true}};
  for (const Interface& i : interfaces) {
    PortLines rig;
    if (i.otherPins) {
      rig.pref.CBX_AG_PortParallele.SetText("$278 (LPT2)");
      rig.pref.TNI_Bit_Est.SetValue(5);
      rig.pref.TNI_Bit_Ouest.SetValue(4);
      rig.pref.TNI_Bit_Nord.SetValue(3);
      rig.pref.TNI_Bit_Sud.SetValue(2);
    }
    ASSERT_TRUE(rig.Connect(i.telkor ? rig.pref.RDB_Telkor : rig.pref.RDB_Marvane)) << i.name;
    for (const Direction& d : directions) {
      const auto before = rig.Vega();
      rig.mount.StartMotion(d.direction, true, false, 2000);
      EXPECT_TRUE(rig.mount.Moving(d.direction));
      rig.loop.RunFor(2500);
      EXPECT_FALSE(rig.mount.Moving(d.direction)) << i.name << " " << d.direction;
      const auto after = rig.Vega();
      EXPECT_NEAR(after.x - before.x, d.dx, 1.0) << i.name << " " << d.direction;
      EXPECT_NEAR(after.y - before.y, d.dy, 1.0) << i.name << " " << d.direction;
      // Released: the star stays where it is.
      rig.loop.RunFor(2000);
      const auto later = rig.Vega();
      EXPECT_NEAR(later.x, after.x, 0.2) << i.name << " " << d.direction;
      EXPECT_NEAR(later.y, after.y, 0.2) << i.name << " " << d.direction;
    }
  }
}

TEST(PortLines, DisconnectingReleasesAHeldRelay) {
  for (bool telkor : {false, true}) {
    PortLines rig;
    ASSERT_TRUE(rig.Connect(telkor ? rig.pref.RDB_Telkor : rig.pref.RDB_Marvane));
    rig.pref.TestButtonMouse(kNorth, true);
    rig.loop.RunFor(1000);
    rig.pref.BTN_Deconnecter.Click();
    const auto released = rig.Vega();
    rig.loop.RunFor(2000);
    const auto later = rig.Vega();
    EXPECT_NEAR(later.y, released.y, 0.2) << (telkor ? "Telkor" : "Marvane");
    EXPECT_FALSE(rig.observatory->Port().Driving(MountDirection::North));
  }
}

TEST(PortLines, LongExposureLinesIntegrateAndReadOutTheWholeExposure) {
  SimulatorSettings settings = Settings();
  settings.longExposureLines = LongExposureLines{};
  settings.exposure = {0.1, 5e-4};  // Vega well below saturation in two seconds
  PortLines rig(settings);
  const LongExposureLines lines;
  // What the long-exposure steps write: the byte read back, changed.
  auto write = [&](auto change) {
    rig.mount.WritePortByte(lines.port, change(rig.mount.ReadPortByte(lines.port)));
  };
  const auto video = rig.Vega();
  ASSERT_GT(video.flux, 50);

  write([&](uint8_t b) { return LongExposureModeOn(b, lines); });
  rig.loop.RunFor(500);
  EXPECT_LT(rig.Vega().flux, video.flux / 10);  // integrating: dark frames
  rig.loop.RunFor(500);
  write([&](uint8_t b) { return ExposureEndLines(b, lines, ExposureFields::Both); });
  const auto oneSecond = rig.Vega();
  EXPECT_NEAR(oneSecond.flux / video.flux, 10, 1);
  EXPECT_NEAR(oneSecond.x, video.x, 0.3);
  EXPECT_NEAR(oneSecond.y, video.y, 0.3);
  EXPECT_NEAR(rig.Vega().flux, video.flux, video.flux / 10);  // video between exposures

  write([&](uint8_t b) { return ExposureStartLines(b, lines, ExposureFields::Both); });
  rig.loop.RunFor(2000);
  EXPECT_LT(rig.Vega().flux, video.flux / 10);
  write([&](uint8_t b) { return ExposureEndLines(b, lines, ExposureFields::Both); });
  EXPECT_NEAR(rig.Vega().flux / oneSecond.flux, 2, 0.1);

  // Self-guiding integrates one field only; mode off gives video back.
  write([&](uint8_t b) { return ExposureStartLines(b, lines, ExposureFields::Odd); });
  EXPECT_TRUE(rig.observatory->Camera().Integrating());
  write([&](uint8_t b) { return LongExposureModeOff(b, lines, false); });
  EXPECT_FALSE(rig.observatory->Camera().Integrating());
}

TEST(PortLines, RelayMovesBetweenExposuresLeaveTheCameraLinesAlone) {
  // The relay box and the camera share the data lines of $378.
  SimulatorSettings settings = Settings();
  settings.longExposureLines = LongExposureLines{};
  PortLines rig(settings);
  const LongExposureLines lines;
  ASSERT_TRUE(rig.Connect(rig.pref.RDB_Marvane));
  auto write = [&](auto change) {
    rig.mount.WritePortByte(lines.port, change(rig.mount.ReadPortByte(lines.port)));
  };
  write([&](uint8_t b) { return LongExposureModeOn(b, lines); });
  rig.loop.RunFor(1000);
  write([&](uint8_t b) { return ExposureEndLines(b, lines, ExposureFields::Both); });
  SimCamera& camera = rig.observatory->Camera();
  ASSERT_FALSE(camera.Integrating());
  // A guide correction between exposures.
  rig.mount.StartMotion(kWest, true, false, 300);
  EXPECT_TRUE(rig.observatory->Port().Driving(MountDirection::West));
  // West's relay (pin 7) beside the released field and amplifier lines.
  EXPECT_EQ(rig.observatory->Port().Record().Register(lines.port), 0x27);
  EXPECT_FALSE(camera.Integrating());
  rig.loop.RunFor(500);
  EXPECT_FALSE(rig.observatory->Port().Driving(MountDirection::West));
  EXPECT_FALSE(camera.Integrating());
  // And one during an exposure: the camera keeps integrating.
  write([&](uint8_t b) { return ExposureStartLines(b, lines, ExposureFields::Both); });
  rig.mount.StartMotion(kNorth, true, false, 300);
  rig.loop.RunFor(500);
  EXPECT_TRUE(camera.Integrating());
}

}  // namespace
}  // namespace orniva
