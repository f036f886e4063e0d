// The simulated observatory driving the whole program: frames of the
// simulated camera through the real pipeline up to the result page.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "sim/simulated_observatory.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"
#include "telescope/mount.h"
#include "telescope/tfrm_pref.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;

TEST(SimulatedProgram, CameraOneFillsTheResultPageWithTheStartStar) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  SimulatedObservatory observatory(loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/");
  EXPECT_TRUE(observatory.CatalogueErrors().empty());
  EXPECT_FALSE(observatory.MountPort().empty());
  ASSERT_TRUE(observatory.StartCamera(program.Main(), 1));
  loop.RunFor(1000);
  EXPECT_EQ(observatory.Camera().Delivered(), 10);
  const Image& page = program.Main().Image3.Bitmap();
  int bx = 0, by = 0;
  Brightest(page, bx, by);
  double cx = 0, cy = 0;
  ASSERT_TRUE(Centroid(page, bx, by, 15, 40, cx, cy));
  // Vega, saturated, in the middle of the page (give or take the periodic
  // error and the seeing).
  EXPECT_EQ(Level(page, bx, by), 255);
  EXPECT_NEAR(cx, (page.Width() - 1) / 2.0, 6);
  EXPECT_NEAR(cy, (page.Height() - 1) / 2.0, 6);
  observatory.StopCamera();
  program.Shutdown();
}

TEST(SimulatedProgram, TheProgramsGotoMovesTheSimulatedField) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  SimulatorSettings settings;
  settings.mount.periodicAmplitude = settings.mount.harmonicAmplitude = 0;
  SimulatedObservatory observatory(loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/",
                                   settings);
  ASSERT_TRUE(observatory.ConnectMount(program.Get<TFRM_Pref>(), program.Telescope()));
  ASSERT_TRUE(observatory.StartCamera(program.Main(), 1));
  // Arcturus, the brightest star of the northern sky after Vega's field.
  const StarRecord* arcturus = FindStar("Alp Boo");
  ASSERT_NE(arcturus, nullptr);
  program.Telescope().GotoCoordinates(arcturus->RightAscension, arcturus->Declination);
  EXPECT_TRUE(program.Telescope().GotoInProgress());
  EXPECT_TRUE(loop.RunUntil([&] { return !program.Telescope().GotoInProgress(); }, 120000));
  loop.RunFor(500);
  const SimPointing at = observatory.Mount().Pointing(loop.NowMs());
  EXPECT_LT(AngularDistance(at.ra, at.dec, arcturus->RightAscension, arcturus->Declination), 5);
  const Image& page = program.Main().Image3.Bitmap();
  int bx = 0, by = 0;
  Brightest(page, bx, by);
  EXPECT_EQ(Level(page, bx, by), 255);
  EXPECT_NEAR(bx, page.Width() / 2, 8);
  EXPECT_NEAR(by, page.Height() / 2, 8);
  observatory.StopCamera();
  program.Shutdown();
}

TEST(SimulatedProgram, BitmapFileHoldsTheImageBottomUp) {
  Image image(5, 3);  // rows of 15 bytes padded to 16
  image.SetPixel(0, 0, Rgb(1, 2, 3));
  image.SetPixel(4, 2, Rgb(200, 100, 50));
  const fs::path path =
      fs::temp_directory_path() / ("orniva_sim_" + std::to_string(::getpid()) + ".bmp");
  std::string error;
  ASSERT_TRUE(WriteBitmap24(image, path.string(), error)) << error;
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  fs::remove(path);
  ASSERT_EQ(bytes.size(), 54u + 16 * 3);
  auto u32 = [&](size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
    return v;
  };
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(u32(2), bytes.size());
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(18), 5u);
  EXPECT_EQ(u32(22), 3u);
  EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 24);
  // The last row of the file is the top row of the image, blue first.
  EXPECT_EQ(bytes.substr(54 + 2 * 16, 3), std::string("\x03\x02\x01", 3));
  EXPECT_EQ(bytes.substr(54 + 12, 3), std::string("\x32\x64\xC8", 3));

  EXPECT_FALSE(WriteBitmap24(image, "/nonexistent-dir/page.bmp", error));
  EXPECT_NE(error.find("/nonexistent-dir/page.bmp"), std::string::npos) << error;
}

}  // namespace
}  // namespace orniva
