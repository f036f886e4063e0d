#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

// A grey frame with one Gaussian star over a noisy background.
Image StarFrame(double x, double y, double peak, uint32_t seed) {
  Image img(320, 240);
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0, 2);
  for (int r = 0; r < img.Height(); ++r) {
    for (int c = 0; c < img.Width(); ++c) {
      const double d2 = (c - x) * (c - x) + (r - y) * (r - y);
      const double v = std::clamp(8 + noise(rng) + peak * std::exp(-d2 / 8.0), 0.0, 255.0);
      const auto b = static_cast<uint8_t>(v);
      img.SetPixel(c, r, {b, b, b});
    }
  }
  return img;
}

// Frames of camera 1 (image and guide camera) go through the whole pipeline:
// stored in frame slot 0, processed, tracked, and the detection zone of the
// main window follows the star.
struct TrackingPathFixture : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program{loop, dialogs};
  TFRM_Alv& alv = program.Main();
  TFRM_Tool_Suivi& suivi = program.Get<TFRM_Tool_Suivi>();

  TrackingPathFixture() {
    program.Activate();
    alv.SetCameraFormat(1, 320, 240, 24, true);
    alv.State.processing = true;
    alv.Zones.centreX = 100;
    alv.Zones.centreY = 120;
  }
};

TEST_F(TrackingPathFixture, TheDetectionZoneFollowsTheStarFrameByFrame) {
  suivi.CKB_Suivi.SetChecked(true);
  double x = 100.4, y = 120.3;
  for (int i = 0; i < 30; ++i) {
    x += 1.3;
    y -= 0.6;
    alv.FrameArrived(1, StarFrame(x, y, 200, i + 1));
    loop.RunFor(40);
    EXPECT_LE(std::abs(alv.Zones.centreX - x), 2.0) << "frame " << i;
    EXPECT_LE(std::abs(alv.Zones.centreY - y), 2.0) << "frame " << i;
  }
  EXPECT_TRUE(suivi.Track.starPresent);
}

TEST_F(TrackingPathFixture, TrackingOffLeavesTheZoneAndTheLossHookFiresOnce) {
  alv.FrameArrived(1, StarFrame(130, 110, 200, 1));
  EXPECT_EQ(alv.Zones.centreX, 100);  // tracking is off: statistics only
  alv.Zones.centreX = 130;
  alv.Zones.centreY = 110;

  int lost = 0;
  suivi.Links.starLost = [&] { ++lost; };
  suivi.CKB_Lost_Star_Alert.SetChecked(true);
  suivi.RDB_Colimacon.Click();
  suivi.CKB_Suivi.SetChecked(true);
  for (int i = 0; i < 20; ++i) {
    alv.FrameArrived(1, StarFrame(130, 110, 200 - 12 * i, i + 2));
    loop.RunFor(40);
  }
  EXPECT_FALSE(suivi.Track.starPresent);
  EXPECT_EQ(lost, 1);
}

TEST_F(TrackingPathFixture, ZoneSizeComesFromTheDetectionZoneControl) {
  suivi.SPED_Seuil_Detect_Min.SetValue(0);  // never lost: no re-acquisition
  suivi.RDB_Colimacon.Click();
  suivi.CKB_Suivi.SetChecked(true);
  suivi.SCB_Taille_ZDetect.SetPosition(20);
  // A star 14 px away is outside a 20 px zone (columns 90..110): the
  // brightest pixel is on the star's flank at the zone's edge.
  alv.FrameArrived(1, StarFrame(114, 120, 200, 3));
  EXPECT_EQ(alv.Zones.centreX, 110);
  suivi.SCB_Taille_ZDetect.SetPosition(60);
  alv.FrameArrived(1, StarFrame(114, 120, 200, 4));
  EXPECT_LE(std::abs(alv.Zones.centreX - 114), 2);
}

}  // namespace
}  // namespace orniva
