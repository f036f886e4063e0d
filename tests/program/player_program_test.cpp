// AVI files and image lists played through the program: "Ouvrir", the
// play-control window's buttons and keys on the image camera's refresh tick,
// "Ajouter" into the integration, and a camera start ending the playback.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "acquisition/avi_file.h"
#include "acquisition/tfrm_play_control.h"
#include "automation/tfrm_message.h"
#include "core/virtual_event_loop.h"
#include "processing/tfrm_tool_images.h"
#include "program/program.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;

constexpr int kFrames = 4;
// Frame i is filled with one grey level, so the slot tells which frame is on.
uint8_t Level(int i) {
  return static_cast<uint8_t>(40 + 50 * i);
}

struct PlayerProgram : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program{loop, dialogs};
  TFRM_Alv& alv = program.Main();
  TFRM_PlayControl& play = program.Get<TFRM_PlayControl>();
  TFRM_Tool_Images& tools = program.Get<TFRM_Tool_Images>();
  fs::path dir;
  std::string avi;

  void SetUp() override {
    program.Activate();
    dir = fs::temp_directory_path() /
          ("orniva_player_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    avi = (dir / "m42.avi").string();
    AviWriter writer;
    ASSERT_TRUE(writer.Create(avi, 64, 48, 200));
    for (int i = 0; i < kFrames; ++i) {
      Image frame(64, 48);
      frame.Fill(Bgr{Level(i), Level(i), Level(i)});
      ASSERT_TRUE(writer.AddFrame(frame));
    }
    ASSERT_TRUE(writer.Close());
  }
  void TearDown() override { fs::remove_all(dir); }

  void Open(const std::string& path) {
    dialogs.QueueFiles({path});
    program.Files().MNU_Ouvrir_Image.Click();
  }
  // The frame on display, by its grey level; -1 for none of them.
  int Shown() {
    const uint8_t v = alv.Slot(1, 0).Pixel(10, 10).g;
    for (int i = 0; i < kFrames; ++i) {
      if (v == Level(i)) return i;
    }
    return -1;
  }
  void Tick() { loop.RunFor(alv.Timer_Cam1.Interval()); }
  std::string Messages() { return program.Message().MEMO_Message.Text(); }
};

TEST_F(PlayerProgram, OpeningAnAviShowsItsFirstFrameAndThePlayer) {
  Open(avi);
  EXPECT_TRUE(alv.State.fileMode);
  EXPECT_EQ(alv.Camera(1).width, 64);
  EXPECT_EQ(Shown(), 0);
  EXPECT_TRUE(play.Visible());
  EXPECT_EQ(play.GetBounds().left, alv.GetBounds().left);
  EXPECT_EQ(play.TNI_NbFrames.Value(), kFrames);
  EXPECT_EQ(play.EDT_Fichier.Text(), "Frame 0");
  EXPECT_FALSE(play.SPDB_REW.Enabled());
  EXPECT_FALSE(play.SPDB_PlayBackwards.Enabled());
  EXPECT_TRUE(play.SPDB_PlayForward.Enabled());
  EXPECT_TRUE(play.SPDB_Loop.Enabled());
  EXPECT_FALSE(play.Close());  // the operator cannot close it
  EXPECT_TRUE(play.Visible());
}

TEST_F(PlayerProgram, PlayingForwardStopsOnTheLastFrameWithoutLoop) {
  Open(avi);
  play.SPDB_PlayForward.Click();
  EXPECT_EQ(Shown(), 0);  // the press acts at the next tick
  for (int i = 1; i < kFrames; ++i) {
    Tick();
    EXPECT_EQ(Shown(), i);
    EXPECT_EQ(play.EDT_Fichier.Text(), "Frame " + std::to_string(i));
    EXPECT_EQ(play.SCB_PlayControl.Position(), i);
  }
  Tick();
  EXPECT_EQ(Shown(), kFrames - 1);
  EXPECT_FALSE(play.SPDB_PlayForward.Down());
  EXPECT_FALSE(play.SPDB_PlayForward.Enabled());
  EXPECT_FALSE(play.SPDB_FF.Enabled());
  EXPECT_TRUE(play.SPDB_REW.Enabled());
  play.SPDB_REW.Click();
  Tick();
  EXPECT_EQ(Shown(), 0);
}

// The Part's wrap-around cases, one row each: where playback stands, what is
// pressed (with loop on), and the frame shown after the next tick.
struct WrapCase {
  const char* name;
  bool loop;
  int from;
  int key;  // a key of the play-control window
  int expected;
};
void PrintTo(const WrapCase& c, std::ostream* os) {
  *os << c.name;
}
struct PlayerWrap : PlayerProgram, ::testing::WithParamInterface<WrapCase> {};

TEST_P(PlayerWrap, NextTickShowsTheExpectedFrame) {
  const WrapCase& c = GetParam();
  Open(avi);
  if (c.loop) play.SPDB_Loop.Click();
  play.SCB_PlayControl.SetPosition(c.from);  // the operator drags the bar
  Tick();
  ASSERT_EQ(Shown(), c.from);
  play.OnKeyDown(c.key, 0);
  Tick();
  EXPECT_EQ(Shown(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlayerWrap,
    ::testing::Values(WrapCase{"LoopForwardFromLastShowsFirst", true, kFrames - 1, kKeyRight, 0},
                      WrapCase{"LoopStepBackFromFirstShowsLast", true, 0, kKeyDown, kFrames - 1},
                      WrapCase{"LoopReverseFromFirstShowsLast", true, 0, kKeyLeft, kFrames - 1},
                      WrapCase{"NoLoopForwardFromLastStays", false, kFrames - 1, kKeyRight,
                               kFrames - 1},
                      WrapCase{"UpStepsOneForward", false, 1, kKeyUp, 2},
                      WrapCase{"EndGoesToLast", false, 0, kKeyEnd, kFrames - 1},
                      WrapCase{"HomeRewinds", false, 2, kKeyHome, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayerProgram, AjouterAddsTheFrameOnDisplayToTheIntegration) {
  Open(avi);
  tools.CKB_Integration.SetChecked(true);
  ASSERT_TRUE(play.BTN_Ajouter.Enabled());
  const int before = tools.Images.state.count[0];
  play.BTN_Ajouter.Click();
  play.SPDB_Forw1.Click();
  Tick();
  ASSERT_EQ(Shown(), 1);
  play.BTN_Ajouter.Click();
  EXPECT_EQ(tools.Images.state.count[0], before + 2);
  const int32_t sum = Level(0) + Level(1);
  EXPECT_EQ(tools.Images.state.cells[0].Cell(5, 5), (CellRgb{sum, sum, sum}));
}

TEST_F(PlayerProgram, AviOpenedAsDarkFillsTheDarkBufferFromItsFirstFrame) {
  dialogs.QueueFiles({avi});
  program.Files().MNU_Ouvrir_Dark.Click();
  EXPECT_TRUE(tools.RDB_Dark.Checked());
  EXPECT_EQ(tools.Images.state.count[1], 1);
  EXPECT_EQ(tools.Images.state.cells[1].Cell(5, 5), (CellRgb{Level(0), Level(0), Level(0)}));
}

TEST_F(PlayerProgram, StartingCameraOneEndsThePlaybackAndClosesTheAvi) {
  Open(avi);
  play.SPDB_PlayForward.Click();
  Tick();
  ASSERT_TRUE(program.Files().Avi().IsOpen());
  CameraCommands& cams = program.Cameras();
  dialogs.QueueChoice(static_cast<int>(cams.Source(1).ListDrivers().size()) - 2);
  cams.Cam1.MNU_Demarrer.Click();
  ASSERT_TRUE(alv.Online(1));
  EXPECT_FALSE(alv.State.fileMode);
  EXPECT_FALSE(play.Playing());
  EXPECT_FALSE(program.Files().Avi().IsOpen());
  EXPECT_EQ(Messages().find("m42.avi"), std::string::npos) << Messages();
}

TEST_F(PlayerProgram, AnImageListPlaysInNameOrder) {
  std::vector<std::string> names;
  for (int i : {2, 0, 1}) {
    Image frame(32, 24);
    frame.Fill(Bgr{Level(i), Level(i), Level(i)});
    names.push_back((dir / ("img" + std::to_string(i) + ".bmp")).string());
    ASSERT_TRUE(SavePageImage(names.back(), frame, 80).Ok());
  }
  dialogs.QueueFiles(names);
  program.Files().MNU_Ouvrir_Image.Click();
  EXPECT_EQ(play.TNI_NbFrames.Value(), 3);
  EXPECT_EQ(Shown(), 0);
  play.SPDB_PlayForward.Click();
  Tick();
  EXPECT_EQ(Shown(), 1);
  EXPECT_EQ(play.EDT_Fichier.Text(), (dir / "img1.bmp").string());
  Tick();
  EXPECT_EQ(Shown(), 2);
}

TEST_F(PlayerProgram, AnUnreadableAviIsNamedAndPlaysNothing) {
  const std::string bad = (dir / "broken.avi").string();
  ASSERT_TRUE(WriteFileBytes(bad, std::vector<uint8_t>(100, 7)).Ok());
  Open(bad);
  EXPECT_NE(Messages().find("broken.avi"), std::string::npos) << Messages();
  EXPECT_NE(Messages().find("The file couldn't be read, bad format"), std::string::npos);
  EXPECT_EQ(play.TNI_NbFrames.Value(), 0);
  play.SPDB_PlayForward.Click();
  Tick();  // nothing to step through, nothing breaks
}

}  // namespace
}  // namespace orniva
