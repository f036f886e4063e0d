#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/virtual_event_loop.h"
#include "synthetic_stars.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

using test::RenderStars;
using test::Star;

// The tracking window on the virtual loop, with a guide camera whose frame
// slot 0 the test renders and a frame timer standing for the pipeline.
struct ToolSuiviFixture : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Tool_Suivi w{app};
  Image slot0{320, 240};
  Image slot2{320, 240};
  int lost = 0;
  std::vector<bool> switched;
  std::vector<int> sizes;
  int reruns = 0;

  ToolSuiviFixture() {
    w.Links.GuideFrame = [this] { return &slot0; };
    w.Links.StarLost = [this] { ++lost; };
    w.Links.TrackingSwitched = [this](bool on) { switched.push_back(on); };
    w.Links.ZoneSizeChanged = [this](int s) { sizes.push_back(s); };
    w.Links.RerunPipeline = [this] { ++reruns; };
    w.Track.zoneCentre = {160, 120};
  }
  void Render(const Star& s, uint32_t seed) { RenderStars(slot0, {s}, 8, 2, seed); }
};

TEST_F(ToolSuiviFixture, ControlsCarryTheirCaptionsRangesAndDefaults) {
  EXPECT_EQ(w.Caption(), "Suivi/Autoguidage");
  struct Case {
    const char* name;
    const char* caption;
  };
  const Case captions[] = {
      {"CKB_Suivi", "Activé"},
      {"RDB_Suivi_logiciel", "Suivi logiciel"},
      {"RDB_Autoguidage", "Autoguidage"},
      {"RDB_Colimacon", "Pixel Brillant"},
      {"RDB_Somax", "Somme Axes"},
      {"RDB_Somax2", "Somme Axes 2"},
      {"RDB_Cadres", "Detect.Limites"},
      {"RDB_Correlation", "Correlation"},
      {"RDB_Derive", "Derive"},
      {"LBL_Corr_Precision", "Precision :"},
      {"LBL_Tolerance", "Tolerance.:"},
      {"LBL_Intervalle_Guidage", "Intervalle (Images) :"},
      {"LBL_Seuil_Detect_Min", "Seuil mini de detection"},
      {"CKB_Inversion_Video", "Sur objets sombres"},
      {"GRB_LostStar", "Alarme Perte Etoile"},
      {"CKB_Lost_Star_Alert", "Activé"},
      {"CKB_Guide_On_Result", "Guider sur l'image resultat"},
      {"LBL_Taille_ZDetect", "Zone (Pixels) :"},
  };
  for (const Case& c : captions) {
    Control* control = w.Find(c.name);
    ASSERT_NE(control, nullptr) << c.name;
    EXPECT_EQ(control->Caption(), c.caption) << c.name;
  }
  struct Spin {
    SpinEdit* spin;
    int min, max, value;
  };
  const Spin spins[] = {{&w.SPED_Correl_Precision, 1, 10, 2},
                        {&w.SPED_Sensibilite, 0, 255, 0},
                        {&w.SPED_Intervalle_Guidage, 1, 1500, 10},
                        {&w.SPED_Seuil_Detect_Min, 0, 255, 50}};
  for (const Spin& s : spins) {
    EXPECT_EQ(s.spin->MinValue(), s.min) << s.spin->Name();
    EXPECT_EQ(s.spin->MaxValue(), s.max) << s.spin->Name();
    EXPECT_EQ(s.spin->Value(), s.value) << s.spin->Name();
  }
  EXPECT_EQ(w.SCB_Taille_ZDetect.Min(), 3);
  EXPECT_EQ(w.SCB_Taille_ZDetect.Max(), 480);
  EXPECT_EQ(w.TNI_Taille_ZDetect.Value(), 40);
  EXPECT_TRUE(w.RDB_Somax.Checked());
  EXPECT_TRUE(w.RDB_Suivi_logiciel.Checked());
  EXPECT_FALSE(w.CKB_Suivi.Checked());
  EXPECT_FALSE(w.RDB_Somax2.Visible());
  EXPECT_FALSE(w.CKB_Guide_On_Result.Visible());
  EXPECT_FALSE(w.CKB_Guide_On_Result.Enabled());
  // The hidden "Somme Axes 2" selects no method.
  w.RDB_Somax2.SetChecked(true);
  EXPECT_EQ(w.ReadSettings().method, TrackMethod::None);
}

TEST_F(ToolSuiviFixture, SwitchingOnWithCorrelationTakesAReferenceAndSkipsOneSearch) {
  Render({160.2, 120.4, 200, 2}, 1);
  w.RDB_Correlation.Click();
  w.CKB_Suivi.SetChecked(true);
  EXPECT_EQ(switched, std::vector<bool>{true});
  ASSERT_TRUE(w.Track.reference.taken);
  EXPECT_EQ(w.Track.reference.image.Width(), 40);
  EXPECT_TRUE(w.Track.reference.fresh);

  Render({166.2, 116.4, 200, 2}, 2);  // moved by (6, -4)
  w.TrackGuideFrame(slot0, slot2);
  EXPECT_EQ(w.Track.zoneCentre, (IntPoint{160, 120}));  // no search on the fresh reference
  w.TrackGuideFrame(slot0, slot2);
  EXPECT_NEAR(w.Track.zoneCentre.x, 166, 2);
  EXPECT_NEAR(w.Track.zoneCentre.y, 116, 2);

  w.CKB_Suivi.SetChecked(false);
  EXPECT_EQ(switched, (std::vector<bool>{true, false}));
}

TEST_F(ToolSuiviFixture, ZoneSizeControlsMirrorEachOtherAndRetakeTheReference) {
  w.SCB_Taille_ZDetect.SetPosition(60);
  EXPECT_EQ(w.TNI_Taille_ZDetect.Value(), 60);
  w.TNI_Taille_ZDetect.SetValue(50);
  EXPECT_EQ(w.SCB_Taille_ZDetect.Position(), 50);
  EXPECT_EQ(sizes, (std::vector<int>{60, 50}));
  EXPECT_EQ(reruns, 0);
  // While tracking with "Correlation" a scroll-bar move takes a new
  // reference of the new size and runs the pipeline once more.
  Render({160, 120, 200, 2}, 1);
  w.RDB_Correlation.Click();
  w.CKB_Suivi.SetChecked(true);
  w.SCB_Taille_ZDetect.SetPosition(80);
  EXPECT_EQ(w.Track.reference.image.Width(), 80);
  EXPECT_EQ(reruns, 1);
}

TEST_F(ToolSuiviFixture, ClickMovesTheZoneAndTracksAtOnceWhenOn) {
  Render({200.3, 90.6, 200, 2}, 1);
  w.RDB_Colimacon.Click();
  w.GuideImageClick(195, 95);
  EXPECT_EQ(w.Track.zoneCentre, (IntPoint{195, 95}));
  EXPECT_EQ(w.Track.previousCentre, (IntPoint{160, 120}));
  w.CKB_Suivi.SetChecked(true);
  w.GuideImageClick(195, 95);
  // The pass ran on the click: the zone is on the star (even pixels).
  EXPECT_EQ(w.Track.zoneCentre, (IntPoint{200, 90}));
  EXPECT_EQ(w.Track.previousCentre, (IntPoint{195, 95}));
}

TEST_F(ToolSuiviFixture, ZoneCentreKeptElsewhereIsReadBeforeAndToldAfterAPass) {
  IntPoint shared{150, 130};
  std::vector<IntPoint> told;
  w.Links.ZoneCentre = [&] { return shared; };
  w.Links.ZoneMoved = [&](IntPoint c, IntPoint) { told.push_back(shared = c); };
  Render({156.2, 126.3, 200, 2}, 4);
  w.RDB_Colimacon.Click();
  w.CKB_Suivi.SetChecked(true);
  w.TrackGuideFrame(slot0, slot2, 30);
  EXPECT_EQ(told, std::vector<IntPoint>{(IntPoint{156, 126})});
  w.TrackGuideFrame(slot0, slot2, 30);  // no move: nothing told
  EXPECT_EQ(told.size(), 1u);
}

// Frames arrive every 200 ms on the virtual loop; the star fades below the
// detection minimum: the loss action runs once, and the drift clock is the
// loop's.
TEST_F(ToolSuiviFixture, FramesOnTheLoopFireTheLossActionOnceAndDriveTheDrift) {
  Timer frames{w, "TMR_Frames", 200, false};
  Star star{160.4, 120.4, 200, 2};
  int n = 0;
  frames.OnTimer = [&] {
    star.peak = std::max(0.0, 200 - 10.0 * n);
    Render(star, 50 + n++);
    w.TrackGuideFrame(slot0, slot2);
  };
  w.CKB_Lost_Star_Alert.SetChecked(true);
  w.CKB_Suivi.SetChecked(true);
  frames.Start();
  loop.RunFor(2000);  // 10 frames: still bright enough
  EXPECT_EQ(lost, 0);
  EXPECT_TRUE(w.Track.starPresent);
  loop.RunFor(6000);  // fades to 0 and stays there
  EXPECT_FALSE(w.Track.starPresent);
  EXPECT_EQ(lost, 1);

  // "Derive" at 2 px/s along x with the dead band at its minimum of 1 px:
  // steps of one pixel, 20 px over 10 s of the loop's clock.
  frames.OnTimer = [&] { w.TrackGuideFrame(slot0, slot2); };
  slot0.Fill({90, 90, 90});  // bright enough everywhere: no loss, no re-acquisition
  w.Track.zoneCentre = {100, 100};
  w.Track.drift.rateX = 2.0;
  w.Track.drift.durationS = 10;
  w.RDB_Derive.Click();
  loop.RunFor(10000);
  EXPECT_NEAR(w.Track.zoneCentre.x, 120, 2);
  EXPECT_EQ(w.Track.zoneCentre.y, 100);
}

TEST_F(ToolSuiviFixture, ReadsOutsideTheFrameAreWrittenToTheDebugLog) {
  char dir[] = "/tmp/orniva_tracking_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/Debug.log";
  {
    FileTrackingLog log(path);
    bool debug = false;
    w.Links.DebugLog = [&]() -> TrackingLog* { return debug ? &log : nullptr; };
    // Collimation on a frame lower than the zone: the rays leave the frame.
    w.Links.ReadOutsideSettings = [](TrackingSettings& s) { s.collimation = true; };
    slot0.Resize(100, 30);
    slot0.Fill({200, 200, 200});
    w.RDB_Cadres.Click();
    w.CKB_Inversion_Video.SetChecked(true);
    w.SPED_Sensibilite.SetValue(100);
    w.Track.zoneCentre = {50, 15};
    w.CKB_Suivi.SetChecked(true);
    w.TrackGuideFrame(slot0, slot2);  // "Debug actif" off: nothing written
    debug = true;
    w.Track.zoneCentre = {50, 15};
    w.TrackGuideFrame(slot0, slot2);
    EXPECT_TRUE(log.Ok());
  }
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines.size() % 5, 0u);
  EXPECT_EQ(lines[0], "Erreur GetLum dans Cadres");
  // The pass's centre was pushed down to row 21 (the stored one is 15); the
  // first ray to leave the frame is the one at 36 degrees, at row 30.
  EXPECT_EQ(lines[1], "XY=50,21");
  EXPECT_EQ(lines[2], "XXYY=62,30");
  EXPECT_EQ(lines[3], "Position X,Y : 50,15");
  EXPECT_EQ(lines[4], "XLeft,Ytop,Xright,Ybot : 30,1,70,29");
  std::remove(path.c_str());
  rmdir(dir);
}

}  // namespace
}  // namespace orniva
