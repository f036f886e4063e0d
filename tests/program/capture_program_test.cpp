// The whole program with its frame sources: a camera started from the menu
// on the test pattern runs through the pipeline, in image and stream mode,
// and the message window hears what goes wrong.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orniva
