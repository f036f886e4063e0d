// The whole program with its frame sources: a camera started from the menu
// on the test pattern runs through the pipeline, in image and stream mode,
// and the message window hears what goes wrong.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "acquisition/image_file.h"
#include "acquisition/jpeg_file.h"
#include "core/virtual_event_loop.h"
#include "program/program.h"

namespace orniva {
namespace {

struct CaptureProgram : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program{loop, dialogs};
  TFRM_Alv& alv = program.Main();
  CameraCommands& cams = program.Cameras();

  void SetUp() override { program.Activate(); }
  // The test pattern follows any webcam in the list, before the simulator.
  bool StartOnTestPattern(int camera) {
    const auto drivers = cams.Source(camera).ListDrivers();
    if (drivers.size() < 2) {
      ADD_FAILURE() << "driver list too short";
      return false;
    }
    EXPECT_EQ(drivers[drivers.size() - 2].Text(), "Mire de test 1.0");
    EXPECT_EQ(drivers.back().Text(), "Simulateur 1.0");
    dialogs.QueueChoice(static_cast<int>(drivers.size()) - 2);
    cams.Controls(camera).MNU_Demarrer.Click();
    return alv.Online(camera);
  }
};

TEST_F(CaptureProgram, CameraMenuRunsTheTestPatternThroughThePipeline) {
  ASSERT_TRUE(alv.Find("MNU_Cam1_Demarrer"));
  ASSERT_TRUE(alv.Find("SPDB_Cam2_Flux"));
  ASSERT_TRUE(alv.Find("MNU_Ouvrir_Image"));
  ASSERT_TRUE(StartOnTestPattern(1));
  EXPECT_EQ(alv.Camera(1).width, 640);
  loop.RunFor(1000);
  // The refresh timer grabbed frames; the pipeline showed them on the page.
  EXPECT_GE(alv.State.frameRateCounter, 4);
  EXPECT_NE(alv.Image1.Bitmap().Pixel(160, 144), kBlack);

  cams.Cam1.SPDB_Flux.Click();
  loop.RunFor(2000);
  EXPECT_EQ(alv.Camera(1).streaming, 1);
  EXPECT_GE(cams.Source(1).Stats().delivered, 9);
  cams.Cam1.MNU_Arreter.Click();
  EXPECT_FALSE(alv.Online(1));
}

TEST_F(CaptureProgram, RefusedFormatIsNamedInTheMessageWindow) {
  ASSERT_TRUE(StartOnTestPattern(2));
  const auto formats = cams.Source(2).Formats();
  int wide = -1;
  for (size_t i = 0; i < formats.size(); ++i) {
    if (formats[i].Text() == "MJPG 1280x720") wide = static_cast<int>(i);
  }
  ASSERT_GE(wide, 0);
  dialogs.QueueChoice(wide);
  cams.Cam2.MNU_Format.Click();
  EXPECT_NE(program.Message().MEMO_Message.Text().find("1280x720"), std::string::npos);
  EXPECT_EQ(cams.Source(2).GetVideoFormat().width, 640);
}

// "Ouvrir" on a JPEG with three junk bytes before its quantisation tables,
// as some writers leave them: libjpeg skips them with a warning and the
// picture becomes the image camera's frame; a file cut in its data is still
// refused and named.
TEST_F(CaptureProgram, JpegWithJunkBeforeAMarkerOpensAsTheFrame) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("orniva_junk_jpeg_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  Image picture(48, 32);
  picture.Fill(Rgb(30, 160, 90));
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(EncodeJpeg(picture, 95, jpeg));
  for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDB) {
      jpeg.insert(jpeg.begin() + static_cast<long>(i), {0x12, 0x34, 0x56});
      break;
    }
  }
  const std::string junk = (dir / "m57_junk.jpg").string();
  ASSERT_TRUE(WriteFileBytes(junk, jpeg).Ok());
  jpeg.resize(jpeg.size() / 2);
  const std::string cut = (dir / "m57_cut.jpg").string();
  ASSERT_TRUE(WriteFileBytes(cut, jpeg).Ok());

  dialogs.QueueFiles({junk});
  program.Files().SPDB_Ouvrir.Click();
  EXPECT_TRUE(alv.State.fileMode);
  EXPECT_EQ(alv.Camera(1).width, 48);
  const Bgr p = alv.Slot(1, 0).Pixel(20, 20);
  EXPECT_NEAR(p.r, 30, 3);
  EXPECT_NEAR(p.g, 160, 3);
  EXPECT_NEAR(p.b, 90, 3);
  EXPECT_EQ(program.Message().MEMO_Message.Text().find("m57_junk.jpg"), std::string::npos);

  dialogs.QueueFiles({cut});
  program.Files().SPDB_Ouvrir.Click();
  EXPECT_NE(program.Message().MEMO_Message.Text().find("m57_cut.jpg"), std::string::npos);
  EXPECT_EQ(alv.Slot(1, 0).Pixel(20, 20), p);  // the frame stays
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace orniva
