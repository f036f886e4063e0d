#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "acquisition/tfrm_tool_affichage.h"
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
  suivi.Links.StarLost = [&] { ++lost; };
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

// The display windows and the tracking window meet: a click on the guide
// camera's page puts the zone there and, with tracking on, runs a pass at
// once; the two zone-size controls stay equal; the limit scans draw their
// box on the page.
TEST_F(TrackingPathFixture, PageClicksZoneSizeAndLimitBoxGoThroughTheDisplay) {
  auto& tool = program.Get<TFRM_Tool_Affichage>();
  alv.Timer_Cam1.Start();  // camera 1 runs: clicks on its page count
  alv.StoreFrame(1, StarFrame(203.4, 81.2, 200, 5));
  alv.Image1.OnMouseUp(MouseButton::Left, kLeft, 196, 88);
  EXPECT_EQ(alv.Zones.Centre(), (Point{196, 88}));  // tracking off: just moved
  suivi.RDB_Colimacon.Click();
  suivi.CKB_Suivi.SetChecked(true);
  alv.Image1.OnMouseUp(MouseButton::Left, kLeft, 196, 88);
  EXPECT_EQ(alv.Zones.Centre(), (Point{202, 80}));  // the pass ran on the star
  EXPECT_EQ(alv.Zones.previousCentre, (Point{196, 88}));

  tool.SCB_Taille_ZDetect.SetPosition(30);
  EXPECT_EQ(suivi.TNI_Taille_ZDetect.Value(), 30);
  EXPECT_EQ(suivi.SCB_Taille_ZDetect.Position(), 30);
  suivi.SCB_Taille_ZDetect.SetPosition(50);
  EXPECT_EQ(tool.SCB_Taille_ZDetect.Position(), 50);
  EXPECT_EQ(tool.TNI_Taille_ZDetect.Value(), 50);

  // "Detect.Limites" on a bright disc of diameter 9 centred on (155, 105):
  // its box (151, 101)-(159, 109), dotted in not-xor, is drawn on the page.
  // Compared with the same frame without the box, only pixels of its outline
  // differ.
  Image disc(320, 240);
  for (int y = 100; y <= 110; ++y) {
    for (int x = 150; x <= 160; ++x) {
      if ((x - 155) * (x - 155) + (y - 105) * (y - 105) <= 20) disc.SetPixel(x, y, kWhite);
    }
  }
  suivi.RDB_Cadres.Click();
  auto run = [&] {
    alv.Zones.SetCentre({152, 104});
    alv.FrameArrived(1, disc);
    EXPECT_EQ(alv.Zones.Centre(), (Point{154, 104}));  // 155 and 105 made even
    Image page;
    page.Assign(alv.Image1.Bitmap());
    return page;
  };
  const Image withBox = run();
  suivi.Links.DrawBox = nullptr;
  const Image without = run();
  int differing = 0;
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      if (withBox.Pixel(x, y) == without.Pixel(x, y)) continue;
      ++differing;
      const bool onSide = (x == 151 || x == 158) && y >= 101 && y <= 108;
      const bool onTopOrBottom = (y == 101 || y == 108) && x >= 151 && x <= 158;
      EXPECT_TRUE(onSide || onTopOrBottom) << x << "," << y;
    }
  }
  EXPECT_GT(differing, 10);
}

}  // namespace
}  // namespace orniva
