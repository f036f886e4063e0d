#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/tfrm_fullscreen.h"
#include "acquisition/tfrm_small.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "core/virtual_event_loop.h"
#include "ui/night_mode.h"

namespace orniva {
namespace {

// Two cameras with 640 x 480 frames and pictures of that size; records what
// the display windows ask of the rest of the program.
struct TestHost : DisplayHost {
  int width[3] = {0, 640, 640}, height[3] = {0, 480, 480};
  bool running[3] = {false, true, true};
  bool visible[3] = {false, true, false};
  bool darkOrFlat = false, mount = false, mini = false;
  double aspect = 4.0 / 3.0, sampling = 2;
  Window* owner = nullptr;
  std::vector<std::string> calls;
  Picture* result = nullptr;
  Image zoneOverlay{1024, 768}, miniOverlay{1024, 768}, reticle{800, 600};

  Image* ZoneOverlay() override { return &zoneOverlay; }
  Image* MiniZoneOverlay() override { return &miniOverlay; }
  Image* ReticleOverlay() override { return &reticle; }
  int roles = 0;
  void RolesChanged(int image, int guide) override { roles = image * 10 + guide; }
  int FrameWidth(int c) const override { return width[c]; }
  int FrameHeight(int c) const override { return height[c]; }
  bool CameraRunning(int c) const override { return running[c]; }
  bool SourcePageVisible(int c) const override { return visible[c]; }
  double ZoneAspect() const override { return aspect; }
  void ProcessFrame(bool force, int c) override {
    calls.push_back("ProcessFrame " + std::to_string(c));
  }
  void SetProcessingSwitch() override { calls.push_back("switch"); }
  bool BuildingDarkOrFlat() const override { return darkOrFlat; }
  void ResizeResultPage(int w, int h) override {
    calls.push_back("Resize " + std::to_string(w) + "x" + std::to_string(h));
    result->Bitmap().Resize(w, h);
  }
  void ZoneCentreClicked(int c, int x, int y) override {
    calls.push_back("ZoneCentreClicked " + std::to_string(x) + "," + std::to_string(y));
  }
  bool MountConfigured() const override { return mount; }
  void MoveMountBy(int dx, int dy) override {
    calls.push_back("MoveMountBy " + std::to_string(dx) + "," + std::to_string(dy));
  }
  double Sampling() const override { return sampling; }
  void NewMeasurementPoint(int x, int y) override {
    calls.push_back("Measure " + std::to_string(x) + "," + std::to_string(y));
  }
  bool MiniSourceVisible() const override { return mini; }
  void FocusAidReset(double best, double worst) override {
    calls.push_back("FocusReset " + std::to_string(int(best)) + "/" + std::to_string(int(worst)));
  }
  void FocusAidSetBestWorst(double best, double worst) override {
    calls.push_back("FocusBestWorst " + std::to_string(int(best)) + "/" +
                    std::to_string(int(worst)));
  }
  void FocusAidFwhmStarted() override { calls.push_back("TrackingOn"); }
  void SetSelectionBoxEnabled(bool e) override {
    calls.push_back(e ? "Selection on" : "Selection off");
  }
  void SetFullScreenChecked(bool checked) override {
    calls.push_back(checked ? "FullScreen on" : "FullScreen off");
  }
  bool Has(const std::string& call) const {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
};

// The display windows over the test host, after camera 1's first start.
struct Rig {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TestHost host;
  Window pages{app, "TFRM_Pages"};
  Picture Image1{pages, "Image1", 640, 480};
  Picture Image2{pages, "Image2", 640, 480};
  Picture Image3{pages, "Image3", 320, 240};
  TFRM_Tool_Affichage tool{app};
  DisplayController& display = tool.Display();

  Rig() {
    host.result = &Image3;
    tool.Connect(host);
    display.SourceStarted(1);
    tool.SCB_Taille_ZAffich.SetPosition(320);
    host.calls.clear();
  }
  const ZoneState& Z() const { return display.Zones(); }
};

struct DisplayFixture : Rig, ::testing::Test {};

TEST_F(DisplayFixture, FirstStartCentresEverythingAndSetsTheRanges) {
  EXPECT_EQ(Z().Centre(), (Point{320, 240}));
  EXPECT_EQ(Z().displayCentre, (Point{320, 240}));
  EXPECT_EQ(Z().reticleCentre, (Point{320, 240}));
  EXPECT_EQ(Z().reticleRect, (Rect{0, 0, 640, 480}));
  EXPECT_TRUE(tool.SCB_Taille_ZAffich.Enabled());
  EXPECT_EQ(tool.SCB_Taille_ZDetect.Max(), 480);
  EXPECT_EQ(tool.SCB_Taille_ZAffich.Max(), 640);
  EXPECT_EQ(Z().frameZone, (Rect{160, 120, 481, 361}));
  host.width[1] = 300;
  display.SourceStarted(1);
  EXPECT_EQ(tool.SCB_Taille_ZDetect.Max(), 250);
  EXPECT_EQ(tool.TNI_Taille_ZAffich.Value(), 300);
  EXPECT_EQ(Z().Centre(), (Point{320, 240}));  // only the first start centres
}

// Left clicks on the guide camera's page (camera 1 holds both roles here).
TEST_F(DisplayFixture, LeftClicksMoveTheDetectionZone) {
  struct Case {
    const char* what;
    unsigned shift;
    bool linked;
    Point centre;
    Rect frameZone;  // the display zone after the click
    const char* hook;
  };
  const Case cases[] = {
      // The zone goes to the click; the display zone stays where it was.
      {"plain", 0, false, {100, 90}, {160, 120, 481, 361}, "ZoneCentreClicked 100,90"},
      // Linked zones: the display zone follows.
      {"plain linked", 0, true, {100, 90}, {0, 0, 261, 211}, "ZoneCentreClicked 100,90"},
      // Shift: to the frame centre (from a zone moved to 50,60 first).
      {"shift", kShift, false, {320, 240}, {160, 120, 481, 361}, "ProcessFrame 1"},
      {"shift linked", kShift, true, {320, 240}, {160, 120, 481, 361}, "ProcessFrame 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig f;
    f.tool.CKB_Zones_Liees.SetChecked(c.linked);
    if (c.shift) {
      f.display.SourceMouseUp(1, MouseButton::Left, 0, 50, 60);
      f.host.calls.clear();
    }
    const ZoneState before = f.Z();
    f.display.SourceMouseUp(1, MouseButton::Left, c.shift | kLeft, 100, 90);
    EXPECT_EQ(f.Z().Centre(), c.centre);
    EXPECT_EQ(f.Z().previousCentre, before.Centre());
    EXPECT_EQ(f.Z().displayCentre, c.centre);
    EXPECT_EQ(f.Z().frameZone, c.frameZone);
    EXPECT_TRUE(f.host.Has(c.hook));
    EXPECT_EQ(f.host.calls.front(), "switch");
    EXPECT_EQ(f.host.calls.back(), "ProcessFrame 1");
  }
}

TEST_F(DisplayFixture, ShiftCtrlMovesTheMountOnlyWhenOneIsConfigured) {
  display.SourceMouseUp(1, MouseButton::Left, kShift | kCtrl, 330, 200);
  EXPECT_FALSE(host.Has("MoveMountBy 10,-40"));
  host.mount = true;
  display.SourceMouseUp(1, MouseButton::Left, kShift | kCtrl, 330, 200);
  EXPECT_TRUE(host.Has("MoveMountBy 10,-40"));
  EXPECT_EQ(Z().Centre(), (Point{320, 240}));
}

TEST_F(DisplayFixture, CtrlClickMovesTheShownReticleAltClickMeasures) {
  display.SourceMouseUp(1, MouseButton::Left, kCtrl, 200, 150);
  EXPECT_EQ(Z().reticleCentre, (Point{320, 240}));  // reticle not shown
  tool.CKB_Reticule.SetChecked(true);
  display.SourceMouseUp(1, MouseButton::Left, kCtrl, 200, 150);
  EXPECT_EQ(Z().reticleCentre, (Point{200, 150}));
  // The cross is drawn through the new centre (cyan in not-xor on white).
  EXPECT_EQ(host.reticle.Pixel(200 + 120, 150), Rgb(0, 255, 255));
  EXPECT_EQ(host.reticle.Pixel(320 + 120, 240), kWhite);
  display.SourceMouseUp(1, MouseButton::Left, kAlt, 17, 19);
  EXPECT_TRUE(host.Has("Measure 17,19"));
}

TEST_F(DisplayFixture, RightClicksMoveTheDisplayZoneOfTheImageCameraOnly) {
  struct Case {
    int camera;
    unsigned shift;
    Point offset;
    bool processed;
  };
  const Case cases[] = {
      {1, 0, {-220, -140}, true},  // click (100, 100) - display centre (320, 240)
      {1, kShift, {0, 0}, true},   // frame centre - display centre
      {1, kCtrl, {5, 5}, false},   // nothing
      {1, kAlt, {5, 5}, false},   {2, 0, {5, 5}, false},  // not the image camera's page: nothing
  };
  for (const Case& c : cases) {
    Rig f;
    f.display.Zones().SetOffset({5, 5});
    f.display.ComputeDisplayZone(1);
    const Rect before = f.Z().frameZone;
    f.display.SourceMouseUp(c.camera, MouseButton::Right, c.shift | kRight, 100, 100);
    EXPECT_EQ(f.Z().Offset(), c.offset) << c.camera << " " << c.shift;
    EXPECT_EQ(f.host.Has("ProcessFrame " + std::to_string(c.camera)), c.processed);
    if (!c.processed) {
      EXPECT_EQ(f.Z().frameZone, before);
      EXPECT_EQ(f.Z().Centre(), (Point{320, 240}));
    }
  }
}

TEST_F(DisplayFixture, ClicksWaitForARunningCameraAndNoDarkOrFlat) {
  host.running[1] = false;
  display.SourceMouseUp(1, MouseButton::Left, 0, 10, 10);
  EXPECT_TRUE(host.calls.empty());
  host.running[1] = true;
  host.darkOrFlat = true;
  display.SourceMouseUp(1, MouseButton::Left, 0, 10, 10);
  EXPECT_EQ(host.calls, std::vector<std::string>{"switch"});
  EXPECT_EQ(Z().Centre(), (Point{320, 240}));
}

TEST_F(DisplayFixture, DisplaySizeScrollBarResizesAndLightsXVid) {
  struct Case {
    int size;
    double aspect;
    const char* resize;
    int shown;
    bool lime;
  };
  const Case cases[] = {
      {320, 4.0 / 3, "Resize 320x240", 240, true},
      {322, 322.0 / 241, "Resize 322x241", 241, false},
      {400, 4.0 / 3, "Resize 400x300", 300, true},
  };
  for (const Case& c : cases) {
    host.aspect = c.aspect;
    host.calls.clear();
    tool.SCB_Taille_ZAffich.SetPosition(c.size + 1);
    tool.SCB_Taille_ZAffich.SetPosition(c.size);
    EXPECT_EQ(tool.TNI_Taille_ZAffich.Value(), c.size);
    EXPECT_EQ(tool.TNI_Taille_ZAffichV.Value(), c.shown);
    EXPECT_TRUE(host.Has(c.resize)) << c.size;
    EXPECT_EQ(host.calls.back(), "ProcessFrame 1");
    EXPECT_EQ(tool.PNL_DivXCompatible.Color(), c.lime ? Rgb(0, 255, 0) : kBlack) << c.size;
  }
}

TEST_F(DisplayFixture, CentringButtons) {
  display.SourceMouseUp(1, MouseButton::Left, 0, 100, 90);  // zone moved, display kept
  tool.BTN_Centrer_ZAffich_Mire.Click();                    // display zone on the zone
  EXPECT_EQ(Z().Offset(), (Point{0, 0}));
  EXPECT_EQ(Z().frameZone, (Rect{0, 0, 261, 211}));
  tool.BTN_Centrer_ZAffich_Ecran.Click();  // display zone on the frame centre
  EXPECT_EQ(Z().frameZone, (Rect{160, 120, 481, 361}));
  tool.BTN_Centrer_ZDetect_Ecran.Click();  // detection zone on the frame centre
  EXPECT_EQ(Z().Centre(), (Point{320, 240}));
  EXPECT_EQ(Z().frameZone, (Rect{160, 120, 481, 361}));
  tool.CKB_Reticule.SetChecked(true);
  display.SourceMouseUp(1, MouseButton::Left, 0, 30, 40);
  tool.BTN_Centrer_Mire.Click();
  EXPECT_EQ(Z().reticleCentre, (Point{30, 40}));
  tool.BTN_Centrer_Ecran.Click();
  EXPECT_EQ(Z().reticleCentre, (Point{320, 240}));
}

TEST_F(DisplayFixture, CameraRolesStayOpposite) {
  EXPECT_EQ(tool.ImageCamera(), 1);
  EXPECT_EQ(tool.GuideCamera(), 1);
  tool.CKB_Src2_Image.SetChecked(true);
  EXPECT_FALSE(tool.CKB_Src1_Image.Checked());
  EXPECT_EQ(tool.ImageCamera(), 2);
  EXPECT_EQ(tool.GuideCamera(), 1);
  EXPECT_EQ(host.roles, 21);  // the main window hears the new roles
  tool.CKB_Src2_Image.SetChecked(false);
  EXPECT_TRUE(tool.CKB_Src1_Image.Checked());
  tool.CKB_Src1_Autoguidage.SetChecked(false);
  EXPECT_TRUE(tool.CKB_Src2_Autoguidage.Checked());
  EXPECT_EQ(tool.GuideCamera(), 2);
  // As the settings restore them.
  tool.SetImageCamera(2);
  EXPECT_EQ(tool.ImageCamera(), 2);
  EXPECT_FALSE(tool.CKB_Src1_Image.Checked());
  tool.SetImageCamera(1);
  EXPECT_TRUE(tool.CKB_Src1_Image.Checked());
  EXPECT_FALSE(tool.CKB_Src2_Image.Checked());
  // Guide camera 2, image camera 1: a left click on page 1 does nothing.
  display.SourceMouseUp(1, MouseButton::Left, 0, 10, 10);
  EXPECT_EQ(Z().Centre(), (Point{320, 240}));
}

TEST_F(DisplayFixture, FocusPage) {
  tool.CKB_MAP.SetChecked(true);
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"FocusReset 99999/0", "TrackingOn", "Selection off"}));
  host.calls.clear();
  tool.RDB_Methode_DCT.Click();
  tool.BTN_Reset_MAP.Click();
  tool.CKB_MAP.SetChecked(false);
  tool.BTN_Reset_MAP.Click();  // the aid is off: nothing
  EXPECT_EQ(host.calls, (std::vector<std::string>{"FocusBestWorst 0/99999", "FocusReset 0/99999",
                                                  "Selection on"}));
  tool.CKB_FWHM_Auto.SetChecked(false);
  EXPECT_TRUE(tool.SPED_Seuil_MAP.Enabled());
  tool.CKB_FWHM_Auto.SetChecked(true);
  EXPECT_FALSE(tool.SPED_Seuil_MAP.Enabled());
  EXPECT_EQ(tool.SPED_Seuil_MAP.Value(), 500);
}

// What the pipeline lays on the page, each overlay merged at (0, 0): the
// dotted zone frame lightens the frame around the display zone, the red
// marker sits on the zone centre.
TEST_F(DisplayFixture, SourcePageOverlays) {
  display.SourceMouseUp(1, MouseButton::Left, 0, 320, 240);
  Image page(640, 480);
  const Rect all{0, 0, 640, 480};
  page.Fill(Rgb(10, 10, 10));
  display.DrawDetectionMarker(page, false, MarkerStyle{0, 0});
  MergePaint(page, all, host.zoneOverlay, all);
  EXPECT_EQ(page.Pixel(160, 120), Rgb(10 | 127, 10 | 127, 255));  // zone frame corner
  EXPECT_EQ(page.Pixel(480, 360), Rgb(10 | 127, 10 | 127, 255));
  EXPECT_EQ(page.Pixel(163, 120), Rgb(10, 10, 10));  // a gap of the dots
  EXPECT_EQ(page.Pixel(300, 220), Rgb(255, 0, 0));   // marker corner (half size 20)
  EXPECT_EQ(page.Pixel(310, 230), Rgb(255, 0, 0));   // its diagonal
  EXPECT_EQ(page.Pixel(100, 100), Rgb(10, 10, 10));
  // The green target of a guided operation: a circle with a centre point.
  page.Fill(Rgb(10, 10, 10));
  const Point target{100, 400};
  display.DrawDetectionMarker(page, false, MarkerStyle{0, 0}, &target);
  EXPECT_EQ(page.Pixel(100, 400), Rgb(0, 255, 0));
  EXPECT_EQ(page.Pixel(80, 400), Rgb(0, 255, 0));  // leftmost point of the circle
  EXPECT_EQ(page.Pixel(99, 399), Rgb(10, 10, 10));
  // On the mini source, at the mini scale (4): half size 5 around (80, 60).
  Image mini(160, 120);
  display.DrawDetectionMarker(mini, true, MarkerStyle{0, 1});
  EXPECT_EQ(mini.Pixel(75, 55), Rgb(255, 0, 0));
  EXPECT_EQ(mini.Pixel(80, 60), Rgb(255, 0, 0));
  EXPECT_EQ(mini.Pixel(78, 58), kBlack);
  // The reticle, drawn when shown, through the zone centre.
  tool.CKB_Reticule.SetChecked(true);
  page.Fill(Rgb(10, 10, 10));
  MergePaint(page, all, host.reticle, all);
  EXPECT_EQ(page.Pixel(320 + 200, 240), Rgb(10 | 255, 10, 10));  // cyan cross lightens red
}

TEST_F(DisplayFixture, MiniSourceScalesAndForwardsClicks) {
  TFRM_Small mini(app);
  mini.Connect(display);
  host.mini = true;
  mini.SetBounds({0, 0, 170, 170});
  mini.Show();
  const int h = 170 - TFRM_Small::kPanelHeight;
  EXPECT_EQ(mini.Img_Small.Bitmap().Height(), h);
  EXPECT_EQ(mini.Img_Small.Bitmap().Width(), static_cast<int>(h * 4.0 / 3.0));
  EXPECT_DOUBLE_EQ(display.MiniScale(), 640.0 / mini.Img_Small.Bitmap().Width());
  const double scale = display.MiniScale();
  EXPECT_EQ(Z().miniFrameZone.left, static_cast<int>(160 / scale));
  // A click on the mini picture lands on the frame at the mini scale.
  mini.Img_Small.OnMouseUp(MouseButton::Left, kLeft, 20, 30);
  EXPECT_EQ(Z().Centre(), (Point{static_cast<int>(20 * scale), static_cast<int>(30 * scale)}));
  // Back on a source page, its zone is recomputed and its overlay redrawn.
  display.Zones().SetOffset({-100, -50});
  host.zoneOverlay.Fill(kBlack);
  display.PageChanged(1);
  EXPECT_EQ(Z().frameZone.right, static_cast<int>(20 * scale) - 100 + 160 + 1);
  EXPECT_EQ(host.zoneOverlay.Pixel(5, 5), kWhite);
  // Source 2 chosen: clicks go to camera 2's page, where nothing is done.
  mini.RDB_Source2.Click();
  host.calls.clear();
  mini.Img_Small.OnMouseUp(MouseButton::Right, kRight, 20, 30);
  EXPECT_FALSE(host.Has("ProcessFrame 2"));
  // The mini zone overlay carries the display zone's frame at the mini scale.
  mini.RDB_Source1.Click();
  const Rect m = Z().miniFrameZone;
  EXPECT_EQ(host.miniOverlay.Pixel(m.left, m.top), Rgb(128, 128, 0));
  EXPECT_EQ(host.miniOverlay.Pixel(m.left + 1, m.top + 1), kWhite);
}

TEST_F(DisplayFixture, FullScreenOpensStretchesAndClosesOnEscape) {
  TFRM_FullScreen full(app);
  full.Connect(display);
  app.SetScreenSize(1280, 1024);
  full.Open();
  EXPECT_TRUE(full.Visible());
  EXPECT_TRUE(full.Borderless());
  EXPECT_EQ(full.State(), WindowState::Maximized);
  EXPECT_EQ(full.IMG_FullScreen.Bitmap().Width(), 1280);
  EXPECT_TRUE(host.Has("FullScreen on"));
  EXPECT_TRUE(host.Has("ProcessFrame 1"));
  Image result(4, 4);
  result.Fill(Rgb(9, 8, 7));
  full.ShowResult(result);
  EXPECT_EQ(full.IMG_FullScreen.Bitmap().Pixel(1279, 1023), Rgb(9, 8, 7));
  full.OnKeyDown(kKeyEscape, 0);
  EXPECT_FALSE(full.Visible());
  EXPECT_TRUE(host.Has("FullScreen off"));
  full.Open();
  full.MNU_Fermer.Click();
  EXPECT_FALSE(full.Visible());
}

// Before the program connects them, the windows answer their controls
// without a camera behind them.
TEST(DisplayWindows, UnconnectedWindowsStayQuiet) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Tool_Affichage tool(app);
  TFRM_Small mini(app);
  TFRM_FullScreen full(app);
  tool.SCB_Taille_ZAffich.SetPosition(400);
  tool.SCB_Taille_ZDetect.SetPosition(50);
  tool.CKB_Reticule.SetChecked(true);
  tool.BTN_Centrer_ZDetect_Ecran.Click();
  tool.BTN_Centrer_Ecran.Click();
  tool.Display().SourceMouseUp(1, MouseButton::Left, kShift, 5, 5);
  mini.Show();
  mini.Img_Small.OnMouseUp(MouseButton::Left, 0, 1, 1);
  full.Open();
  full.MNU_Fermer.Click();
  EXPECT_EQ(tool.Display().Zones().Centre(), (Point{0, 0}));
  EXPECT_EQ(mini.Img_Small.Bitmap().Height(), 170 - TFRM_Small::kPanelHeight);
  EXPECT_FALSE(full.Visible());
}

TEST(NightMode, AppliedWhilePressedRestoredOnReleaseAndAtExit) {
  SystemColours& colours = SystemColours::Program();
  const ColourScheme day = colours.Current();
  int changes = 0;
  int token = colours.Subscribe([&] { ++changes; });
  {
    NightModeSwitch nite;
    nite.SetDown(true);
    EXPECT_TRUE(colours.NightActive());
    EXPECT_EQ(colours.Current(), DefaultNightScheme());
    for (Bgr c : colours.Current()) EXPECT_LE(std::max(c.g, c.b), c.r);  // red hues only
    nite.SetDown(false);
    EXPECT_FALSE(colours.NightActive());
    EXPECT_EQ(colours.Current(), day);
    nite.SetDown(true);
  }  // the program ends while pressed
  EXPECT_FALSE(colours.NightActive());
  EXPECT_EQ(colours.Current(), day);
  EXPECT_EQ(changes, 4);
  colours.Unsubscribe(token);
}

}  // namespace
}  // namespace orniva
