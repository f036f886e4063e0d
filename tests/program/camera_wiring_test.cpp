// What a camera's start and stop, and a new format, do to the other windows,
// through the cameras' menus on the test pattern.
#include <gtest/gtest.h>

#include "acquisition/tfrm_tool_affichage.h"
#include "automation/tfrm_message.h"
#include "automation/tfrm_script.h"
#include "core/virtual_event_loop.h"
#include "processing/tfrm_tool_images.h"
#include "processing/tfrm_tool_mesures.h"
#include "program/program.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

struct CameraWiring : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program{loop, dialogs};
  TFRM_Alv& alv = program.Main();
  CameraCommands& cams = program.Cameras();
  TFRM_Tool_Images& tools = program.Get<TFRM_Tool_Images>();
  TFRM_Tool_Suivi& suivi = program.Get<TFRM_Tool_Suivi>();
  TFRM_Tool_Affichage& display = program.Get<TFRM_Tool_Affichage>();

  void SetUp() override { program.Activate(); }
  bool Start(int camera) {
    dialogs.QueueChoice(static_cast<int>(cams.Source(camera).ListDrivers().size()) - 2);
    cams.Controls(camera).MNU_Demarrer.Click();
    return alv.Online(camera);
  }
  void Format(int camera, const std::string& text) {
    const auto formats = cams.Source(camera).Formats();
    for (size_t i = 0; i < formats.size(); ++i) {
      if (formats[i].Text() == text) dialogs.QueueChoice(static_cast<int>(i));
    }
    cams.Controls(camera).MNU_Format.Click();
    ASSERT_EQ(alv.Camera(camera).width, std::stoi(text.substr(5)));
  }
};

TEST_F(CameraWiring, StopSwitchesOffWhatNeedsTheCamera) {
  ASSERT_TRUE(Start(1));
  tools.CKB_Integration.SetChecked(true);
  tools.SPED_Nb_Bitmap.SetValue(1000);
  tools.BTN_Demarrer_Add.Click();
  display.CKB_MAP.SetChecked(true);
  suivi.CKB_Suivi.SetChecked(true);
  loop.RunFor(500);
  ASSERT_TRUE(tools.IntegrationRunning());
  cams.Cam1.MNU_Arreter.Click();
  EXPECT_FALSE(tools.IntegrationRunning());
  EXPECT_FALSE(tools.CKB_Integration.Checked());
  EXPECT_FALSE(tools.CKB_Integration.Enabled());
  EXPECT_FALSE(suivi.CKB_Suivi.Enabled());
  EXPECT_FALSE(display.CKB_MAP.Checked());
  EXPECT_FALSE(display.CKB_MAP.Enabled());
  EXPECT_FALSE(display.CKB_Reticule.Enabled());
  EXPECT_FALSE(program.Measures().BTN_Def_Declinaison.Enabled());
  // A new start makes them usable again.
  ASSERT_TRUE(Start(1));
  EXPECT_TRUE(tools.CKB_Integration.Enabled());
  EXPECT_TRUE(suivi.CKB_Suivi.Enabled());
  EXPECT_TRUE(display.CKB_MAP.Enabled());
}

TEST_F(CameraWiring, ALaterStartScalesTheReticleOnlyWhenBothSidesChanged) {
  ASSERT_TRUE(Start(1));
  EXPECT_EQ(alv.Zones.reticleCentre, (Point{320, 240}));
  alv.Zones.reticleCentre = {100, 60};
  alv.Zones.SetCentre({200, 100});
  Format(1, "YUYV 320x240");
  cams.Cam1.MNU_Arreter.Click();
  ASSERT_TRUE(Start(1));
  // 640 x 480 then 320 x 240: halved on both axes; the zone stays.
  EXPECT_EQ(alv.Zones.reticleCentre, (Point{50, 30}));
  EXPECT_EQ(alv.Zones.Centre(), (Point{160, 120}));  // camera 1's new format centred it
  alv.Zones.SetCentre({40, 50});
  cams.Cam1.MNU_Arreter.Click();
  ASSERT_TRUE(Start(1));
  EXPECT_EQ(alv.Zones.reticleCentre, (Point{50, 30}));
  EXPECT_EQ(alv.Zones.Centre(), (Point{40, 50}));
}

TEST_F(CameraWiring, ANewFormatOnCameraTwoKeepsTheZonesAndOnCameraOneCentresThem) {
  ASSERT_TRUE(Start(1));
  ASSERT_TRUE(Start(2));
  alv.Zones.SetCentre({200, 100});
  const Rect frameZone = alv.Zones.frameZone;
  Format(2, "YUYV 320x240");
  EXPECT_EQ(alv.Zones.Centre(), (Point{200, 100}));
  EXPECT_EQ(alv.Zones.frameZone, frameZone);
  Format(1, "YUYV 320x240");
  EXPECT_EQ(alv.Zones.Centre(), (Point{160, 120}));
  EXPECT_EQ(display.SCB_Taille_ZAffich.Position(), 320);
  EXPECT_EQ(display.SCB_Taille_ZDetect.Max(), 270);
}

// The contrast focus aid has no measure yet: frames still reach the page.
TEST_F(CameraWiring, TheContrastFocusAidLetsFramesThrough) {
  ASSERT_TRUE(Start(1));
  display.CKB_MAP.SetChecked(true);
  display.RDB_Methode_DCT.Click();
  alv.Image3.Bitmap().Fill(kBlack);
  loop.RunFor(500);
  EXPECT_EQ(tools.PNL_Image_Selected.Color(), Rgb(0, 255, 0));
  const Image& page = alv.Image3.Bitmap();
  bool lit = false;
  for (int y = 0; y < page.Height() && !lit; y += 4) {
    for (int x = 0; x < page.Width() && !lit; x += 4) lit = page.Pixel(x, y) != kBlack;
  }
  EXPECT_TRUE(lit);
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// The script language's system variables read the program's state.
TEST_F(CameraWiring, SystemVariablesFollowTheCamerasAndTheZones) {
  TFRM_Script& script = program.Script();
  auto run = [&] {
    program.Message().MEMO_Message.SetLines({});
    script.Memo_Script.SetText(
        "messagebox.show(%cam1_online)\nmessagebox.show(%cam2_online)\n"
        "messagebox.show(%videowidth)\nmessagebox.show(%videoheight)\n"
        "messagebox.show(%trackx)\nmessagebox.show(%tracky)\n"
        "messagebox.show(%displayx)\nmessagebox.show(%displayy)\n");
    script.MNU_Du_Debut.Click();
    EXPECT_TRUE(loop.RunUntil([&] { return !script.Interpreter().ScriptRunning(); }, 5000));
    EXPECT_EQ(script.Interpreter().LastError(), "");
    return program.Message().MEMO_Message.Lines();
  };
  EXPECT_EQ(run(), (std::vector<std::string>{"0", "0", "640", "480", "0", "0", "160", "120"}));
  ASSERT_TRUE(Start(1));
  Format(1, "YUYV 320x240");
  alv.Zones.SetCentre({100, 90});
  EXPECT_EQ(run(), (std::vector<std::string>{"1", "0", "320", "240", "100", "90", "160", "120"}));
}

}  // namespace
}  // namespace orniva
