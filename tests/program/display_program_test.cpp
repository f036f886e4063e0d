#include <gtest/gtest.h>

#include "acquisition/tfrm_fullscreen.h"
#include "acquisition/tfrm_small.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "core/virtual_event_loop.h"
#include "processing/tfrm_tool_mesures.h"
#include "program/program.h"
#include "ui/night_mode.h"

namespace orniva {
namespace {

// The display windows inside the whole program: frames through the real
// pipeline, clicks on the real pages, the commands of the main window.
struct DisplayProgramFixture : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  std::unique_ptr<Program> program = std::make_unique<Program>(loop, dialogs);
  TFRM_Alv& alv = program->Main();
  TFRM_Tool_Affichage& tool = program->Get<TFRM_Tool_Affichage>();

  DisplayProgramFixture() {
    program->Activate();
    alv.SetCameraFormat(1, 320, 240, 24, true);
    alv.Timer_Cam1.Start();  // camera 1 runs in image mode
    alv.State.processing = true;
  }
  void Deliver() {
    Image frame(320, 240);
    frame.Fill(Rgb(20, 20, 20));
    alv.StoreFrame(1, frame);
    alv.ProcessFrame(true, 1);
  }
  Bgr At(int x, int y) { return alv.Image1.Bitmap().Pixel(x, y); }
};

TEST_F(DisplayProgramFixture, TheStartCentresTheZonesAndThePipelineDrawsThem) {
  EXPECT_EQ(alv.Zones.Centre(), (Point{160, 120}));
  EXPECT_EQ(tool.TNI_Taille_ZAffich.Value(), 320);
  EXPECT_EQ(tool.SCB_Taille_ZDetect.Max(), 270);
  tool.SCB_Taille_ZAffich.SetPosition(160);
  EXPECT_EQ(alv.Image3.Bitmap().Width(), 160);
  EXPECT_EQ(alv.Image3.Bitmap().Height(), 120);
  Deliver();
  EXPECT_EQ(alv.Zones.frameZone, (Rect{80, 60, 241, 181}));
  EXPECT_EQ(At(80, 60), Rgb(20 | 127, 20 | 127, 255));  // the dotted zone frame
  EXPECT_EQ(At(140, 100), Rgb(255, 0, 0));              // the marker (half size 20)
  EXPECT_EQ(At(10, 10), Rgb(20, 20, 20));
}

TEST_F(DisplayProgramFixture, ClicksOnThePageMoveTheZones) {
  tool.SCB_Taille_ZAffich.SetPosition(160);
  alv.Image1.OnMouseUp(MouseButton::Left, kLeft, 40, 50);
  EXPECT_EQ(alv.Zones.Centre(), (Point{40, 50}));
  EXPECT_EQ(alv.Zones.frameZone, (Rect{80, 60, 241, 181}));  // the display zone stayed
  alv.Image1.OnMouseUp(MouseButton::Right, kRight | kShift, 0, 0);
  EXPECT_EQ(alv.Zones.Offset(), (Point{120, 70}));
  // The page was redrawn by the click: the marker is at the new centre.
  EXPECT_EQ(At(20, 30), Rgb(255, 0, 0));
  // Camera 2 does not run: its page takes no click.
  alv.Image2.OnMouseUp(MouseButton::Left, kLeft, 3, 3);
  EXPECT_EQ(alv.Zones.Centre(), (Point{40, 50}));
}

// The reticle takes the measurement window's sampling; Alt-clicks give it
// its measurement points.
TEST_F(DisplayProgramFixture, ReticleAndMeasurementsMeetTheMeasurementWindow) {
  auto& mesures = program->Get<TFRM_Tool_Mesures>();
  const double sampling = mesures.TNI_Echantillonnage.Value();
  ASSERT_GT(sampling, 0);
  tool.CKB_Reticule.SetChecked(true);
  Deliver();
  // The first circle of the graduation, on the thin north-south axis above
  // the centre, at Trunc(step / sampling) pixels.
  const ReticleScale scale = ComputeReticleScale(320, sampling);
  const int r = scale.graduations.front().radius;
  int lit = 0;
  for (int dx = -2; dx <= 2; ++dx)
    lit += alv.ReticleOverlay().Pixel(160 + dx, 120 - r - 3) != kWhite;
  EXPECT_GT(lit, 0);
  int axis = 0;  // the wide west-east axis, two pixels thick
  for (int dy = -2; dy <= 1; ++dy)
    axis += alv.ReticleOverlay().Pixel(160 + 97, 120 + dy) == Rgb(0, 255, 255);
  EXPECT_EQ(axis, 2);
  alv.Image1.OnMouseUp(MouseButton::Left, kLeft | kAlt, 100, 100);
  alv.Image1.OnMouseUp(MouseButton::Left, kLeft | kAlt, 130, 140);
  EXPECT_FALSE(mesures.EDT_Angle_Calcule.Text().empty());
}

// Two Alt-clicks 10 pixels apart at 1.1551"/pixel (the 320-pixel frame)
// measure 11.55", 5.6e-5 radians: the distance at a range of 0.1 or 10^12
// is written with a three-digit exponent.
TEST_F(DisplayProgramFixture, MeasuredDistanceIsWrittenWithAThreeDigitExponent) {
  auto& mesures = program->Get<TFRM_Tool_Mesures>();
  EXPECT_NEAR(mesures.TNI_Echantillonnage.Value(), 1.1551, 1e-4);
  alv.Image1.OnMouseUp(MouseButton::Left, kLeft | kAlt, 100, 100);
  alv.Image1.OnMouseUp(MouseButton::Left, kLeft | kAlt, 110, 100);
  EXPECT_EQ(mesures.EDT_Angle_Calcule.Text(), "  0°  0' 11.55\"");
  EXPECT_EQ(mesures.EDT_Distance_Calculee.Text(), "5.6E-006");
  mesures.TNI_DistObjet.SetValue(1e12);
  EXPECT_EQ(mesures.EDT_Distance_Calculee.Text(), "5.6E007");
}

TEST_F(DisplayProgramFixture, RolesReachTheMainWindow) {
  tool.CKB_Src2_Image.SetChecked(true);
  EXPECT_EQ(alv.ImageCamera(), 2);
  EXPECT_EQ(alv.GuideCamera(), 1);
  tool.CKB_Src1_Image.SetChecked(true);
  EXPECT_EQ(alv.ImageCamera(), 1);
}

TEST_F(DisplayProgramFixture, MiniSourceAndFullScreenCommands) {
  auto& small = program->Get<TFRM_Small>();
  auto& full = program->Get<TFRM_FullScreen>();
  alv.MNU_Mini_Source.Click();
  EXPECT_TRUE(small.Visible());
  EXPECT_DOUBLE_EQ(alv.MiniSourceScale, 320.0 / small.Img_Small.Bitmap().Width());
  Deliver();  // the mini source shows the frame with the zone frame
  EXPECT_EQ(small.Img_Small.Bitmap().Pixel(0, 0), Rgb(20 | 127, 20 | 127, 255));

  program->App().SetScreenSize(800, 600);
  alv.SPDB_Plein_Ecran.Click();
  EXPECT_TRUE(full.Visible());
  EXPECT_TRUE(alv.MNU_Plein_Ecran.Checked());
  EXPECT_TRUE(alv.SPDB_Plein_Ecran.Down());
  EXPECT_EQ(full.IMG_FullScreen.Bitmap().Width(), 800);
  full.OnKeyDown(kKeyEscape, 0);
  EXPECT_FALSE(full.Visible());
  EXPECT_FALSE(alv.MNU_Plein_Ecran.Checked());
  EXPECT_FALSE(alv.SPDB_Plein_Ecran.Down());
}

TEST_F(DisplayProgramFixture, NightModeUntilReleasedOrTheEnd) {
  SystemColours& colours = SystemColours::Program();
  alv.SPDB_Nite.Click();
  EXPECT_TRUE(colours.NightActive());
  alv.SPDB_Nite.Click();
  EXPECT_FALSE(colours.NightActive());
  alv.SPDB_Nite.Click();
  EXPECT_TRUE(colours.NightActive());
  program.reset();  // the program ends with the button down
  EXPECT_FALSE(colours.NightActive());
  EXPECT_EQ(colours.Current(), colours.Saved());
}

}  // namespace
}  // namespace orniva
