#include "program/program.h"

#include <gtest/gtest.h>

#include "acquisition/tfrm_ressources.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "core/virtual_event_loop.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "telescope/tfrm_pref.h"

namespace orniva {
namespace {

using Steps = std::vector<std::string>;

// The windows in the order the program creates them at start-up.
const Steps kWindowOrder = {
    "TFRM_Alv",           "TFRM_Small",         "TFRM_Pref",           "TFRM_ObjectAction",
    "TFRM_Raquette",      "TFRM_MiseEnStation", "TFRM_Tool_Mesures",   "TFRM_FullScreen",
    "TFRM_Tool_Suivi",    "TFRM_Tool_Images",   "TFRM_Tool_Affichage", "TFRM_ErrPeriod",
    "TFRM_Ressources",    "TFRM_FWHM",          "TFRM_PlayControl",    "TFRM_Prg_Action",
    "TFRM_PRG_Action_LS", "TFRM_ImgRef",        "TFRM_Info",           "TFRM_Prg_Suivi",
    "TFRM_Longuepose",    "TFRM_Sky",           "TFRM_DDEServer",      "TFRM_Network",
    "TFRM_Recherche",     "TFRM_Planificateur", "TFRM_ComTrafic",      "TFRM_Detect_Mvt",
    "TFRM_Script",        "TFRM_ScrCmd",        "TFRM_Message",        "TFRM_Input",
    "TFRM_Progress",      "TFRM_BTNPref"};

struct ProgramFixture : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Steps steps;
  std::unique_ptr<Program> program = std::make_unique<Program>(
      loop, dialogs, [this](const std::string& s) { steps.push_back(s); });
  TFRM_Alv& alv = program->Main();
};

TEST_F(ProgramFixture, EveryWindowIsCreatedHiddenInStartUpOrder) {
  Steps names;
  for (Window* w : program->App().Windows()) {
    names.push_back(w->Name());
    EXPECT_FALSE(w->Visible()) << w->Name();
  }
  EXPECT_EQ(names, kWindowOrder);
  program->Activate();
  EXPECT_TRUE(alv.Visible());
  EXPECT_EQ(alv.Caption(), "Orniva 2.0c");
}

TEST_F(ProgramFixture, StartUpAndShutDownStepsFollowTheirOrder) {
  // Hooks of other windows, set after creation, are heard in their place.
  Steps hooks;
  alv.Lifecycle.LoadSettings = [&](const std::string& file) {
    hooks.push_back("settings " + file);
  };
  alv.Lifecycle.SaveSettings = [&] { hooks.push_back("save"); };
  alv.Lifecycle.RestoreNightColours = [&] { hooks.push_back("night"); };
  program->Activate();
  loop.RunFor(100);
  program->Shutdown();
  program.reset();
  Steps expected = {"splash"};
  for (const auto& name : kWindowOrder) expected.push_back("create " + name);
  const Steps rest = {
      // The main window's creation.
      "opaque pictures", "install key hook", "reset pipeline state", "reset compositor",
      "reset selection ring", "create custom function list", "reset guided operation",
      "register DDE service",
      // First activation.
      "key preview", "reset selection qualities", "load settings", "apply language",
      "open port driver", "load script collection", "save system colours", "blacken source page 1",
      "create player file list", "create working images", "main window shown: Orniva 2.0c",
      // Closing.
      "set chart closing", "stop processing", "stop cameras", "close avi", "reset guided operation",
      "save settings", "release port driver", "close debug log", "destroy sky chart",
      // Destruction.
      "free loop ring", "free decoding buffers 1", "free frame slots 1", "free decoding buffers 2",
      "free frame slots 2", "free auxiliary images", "free player file list",
      "restore night colours", "free script collection", "windows freed"};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(steps, expected);
  ASSERT_EQ(hooks.size(), 3u);
  EXPECT_TRUE(hooks[0].starts_with("settings ") && hooks[0].ends_with("/Orniva.ini")) << hooks[0];
  EXPECT_EQ(hooks[1], "save");
  EXPECT_EQ(hooks[2], "night");
}

TEST_F(ProgramFixture, ClosingStopsStreamsAndTimersAndProcessing) {
  program->Activate();
  std::vector<int> stopped;
  alv.Lifecycle.StopStream = [&](int camera) { stopped.push_back(camera); };
  alv.Camera(1).streaming = 1;
  alv.Timer_Cam2.Start();
  alv.State.processing = true;
  EXPECT_TRUE(program->Shutdown());
  EXPECT_EQ(stopped, std::vector<int>{1});
  EXPECT_FALSE(alv.Timer_Cam2.Running());
  EXPECT_FALSE(alv.State.processing);
  EXPECT_FALSE(alv.MNU_Operations.Enabled());  // disabled since creation
}

TEST_F(ProgramFixture, RefreshPageDrivesTheTimersAndShowsTheFrameRate) {
  program->Activate();
  RefreshControls& refresh = program->Get<TFRM_Tool_Affichage>().Rafraichissement;
  refresh.CBX_Cam1_IPS.SelectFromUser(refresh.CBX_Cam1_IPS.IndexOf("30"));
  EXPECT_EQ(alv.Timer_Cam1.Interval(), 32);
  refresh.CBX_Cam2_IPS.SelectFromUser(refresh.CBX_Cam2_IPS.IndexOf("Custom"));
  refresh.SCB_Cam2_Tps_Rafraichissement.SetPosition(33);
  EXPECT_EQ(alv.Timer_Cam2.Interval(), 33);
  for (int i = 0; i < 10; ++i) {
    loop.AdvanceClock(100);
    alv.MeasureFrameRate(2, true);
  }
  EXPECT_EQ(refresh.EDT_Cam2_FPS.Text(), "10");
  EXPECT_EQ(refresh.EDT_Cam1_FPS.Text(), "");
}

TEST_F(ProgramFixture, RefusedFormatsAndMemoryFiguresReachTheirWindows) {
  program->Activate();
  EXPECT_FALSE(alv.AcceptVideoFormat(1024, 769));
  const auto& lines = program->Message().MEMO_Message.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("1024x769"), std::string::npos);
  EXPECT_TRUE(program->Message().Visible());
  alv.ResizeResultPage();
  auto& resources = program->Get<TFRM_Ressources>();
  EXPECT_FALSE(resources.EDT_TotalPhys.Text().empty());
  EXPECT_NE(resources.EDT_TotalPhys.Text(), "0");
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// The pipeline reads its settings from the windows that show them.
TEST(PipelineControls, SettingsAreReadFromTheControlsThatHoldThem) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  TFRM_Alv& alv = program.Main();
  TFRM_Info& info = program.Get<TFRM_Info>();
  TFRM_Pref& pref = program.Get<TFRM_Pref>();
  TFRM_Tool_Affichage& display = program.Get<TFRM_Tool_Affichage>();
  const PipelineInputs& in = alv.Inputs;
  EXPECT_FALSE(in.SaturationView());
  info.CKB_Satur.SetChecked(true);
  EXPECT_TRUE(in.SaturationView());
  EXPECT_EQ(in.SaturationThreshold(), 255);
  pref.Camera.CKB_Raw.SetChecked(true);
  EXPECT_TRUE(in.RawMode());
  EXPECT_EQ(in.RawPattern(), 1);
  pref.Camera.RDB_RAWMode_3.Click();
  EXPECT_EQ(in.RawPattern(), 3);
  display.CKB_MAP.SetChecked(true);
  EXPECT_FALSE(in.FocusContrast());
  display.RDB_Methode_DCT.Click();
  EXPECT_TRUE(in.FocusContrast());
  // The detection-zone size is the display tool window's.
  display.TNI_Taille_ZDetect.SetValue(64);
  EXPECT_EQ(in.DetectionZoneSize(), 64);
  pref.Mire.CKB_DateHeure.SetChecked(true);
  EXPECT_TRUE(in.DateTime());
  alv.ResizeResultPage();
  EXPECT_EQ(program.Get<TFRM_Tool_Images>().EDT_Taille_Fichier.Text(),
            std::to_string(alv.Image3.Bitmap().Width() * alv.Image3.Bitmap().Height() * 3 + 368));
}

}  // namespace
}  // namespace orniva
