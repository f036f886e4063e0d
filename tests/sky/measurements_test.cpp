#include <gtest/gtest.h>

#include <cmath>

#include "core/virtual_event_loop.h"
#include "processing/measurements.h"
#include "processing/tfrm_tool_mesures.h"
#include "program/program.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

// Worked by hand: sampling = atan(p × 0.001 / Feff) × 648000/π with
// p = 5.6 µm × 640 / frame width; the field of a 640 × 480 frame.
TEST(Measurements, SamplingAndFieldFromOpticsAndCamera) {
  struct Case {
    const char* what;
    OpticsSettings optics;
    double frameWidth;
    double effectiveFocal, sampling, fieldX, fieldY;
    FieldUnit unit;
  };
  const Case cases[] = {
      {"2000 mm", {}, 640, 2000, 0.577541, 6.160442, 4.620332, FieldUnit::Minutes},
      {"Barlow 2",
       {2000, true, 2.0, false, 0.63},
       640,
       4000,
       0.288771,
       3.080221,
       2.310166,
       FieldUnit::Minutes},
      {"reducer 0.63",
       {2000, false, 2.0, true, 0.63},
       640,
       1260,
       0.916732,
       9.778480,
       7.333860,
       FieldUnit::Minutes},
      {"both",
       {2000, true, 2.0, true, 0.63},
       640,
       2520,
       0.458366,
       4.889240,
       3.666930,
       FieldUnit::Minutes},
      {"frame 320 wide", {}, 320, 2000, 1.155083, 12.320884, 9.240663, FieldUnit::Minutes},
      {"100 mm",
       {100, false, 2.0, false, 0.63},
       640,
       100,
       11.550829,
       2.053481,
       1.540111,
       FieldUnit::Degrees},
  };
  for (const Case& c : cases) {
    const OpticsSettings& o = c.optics;
    double feff = EffectiveFocal(o.Focal, o.BarlowChecked, o.Barlow, o.ReducerChecked, o.Reducer);
    EXPECT_NEAR(feff, c.effectiveFocal, 1e-9) << c.what;
    double s = SamplingArcsecPerPixel(5.6, 640, c.frameWidth, feff);
    EXPECT_NEAR(s, c.sampling, 1e-6) << c.what;
    FieldOfView f = FieldOfFrame(640, 480, s);
    EXPECT_NEAR(f.X, c.fieldX, 1e-4) << c.what;
    EXPECT_NEAR(f.Y, c.fieldY, 1e-4) << c.what;
    EXPECT_EQ(f.Unit, c.unit) << c.what;
  }
}

TEST(Measurements, FieldUnitChosenFromTheWidthAlone) {
  struct Case {
    double width, height, sampling, x, y;
    FieldUnit unit;
  };
  const Case cases[] = {
      {720, 480, 10, 120, 80, FieldUnit::Minutes},  // exactly 7200"
      {721, 480, 10, 7210.0 / 3600, 4800.0 / 3600, FieldUnit::Degrees},
      {12, 8, 10, 120, 80, FieldUnit::Seconds},  // exactly 120"
      {13, 2000, 10, 130.0 / 60, 20000.0 / 60, FieldUnit::Minutes},
  };
  for (const Case& c : cases) {
    FieldOfView f = FieldOfFrame(c.width, c.height, c.sampling);
    EXPECT_DOUBLE_EQ(f.X, c.x);
    EXPECT_DOUBLE_EQ(f.Y, c.y);
    EXPECT_EQ(f.Unit, c.unit);
  }
  EXPECT_STREQ(FieldUnitCaption(FieldUnit::Seconds), "(Secondes)");
  EXPECT_STREQ(FieldUnitCaption(FieldUnit::Minutes), "(Minutes)");
  EXPECT_STREQ(FieldUnitCaption(FieldUnit::Degrees), "(Degrés)");
}

TEST(Measurements, AnglesDistancesAndDeclination) {
  EXPECT_NEAR(MeasuredAngle(100, 0, 0.5775), 57.75, 1e-9);
  EXPECT_NEAR(MeasuredAngle(-30, 40, 2), 100, 1e-9);
  EXPECT_EQ(FormatGeneral(DistanceAtRange(1000, 3600), 3), "17.5");

  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {17.4524, "17.5"},
      {100, "100"},
      {999.4, "999"},
      {999.6, "1E003"},
      {17452.4, "1.75E004"},
      {0.0123456, "0.0123"},
      {0.00001, "0.00001"},
      {0.0000099, "9.9E-006"},
      {0, "0"},
      {1.5, "1.5"},
      {-2.346, "-2.35"},
      {1e120, "1E120"},
      {0.28, "0.28"},
      {-17452.4, "-1.75E004"},
      {1.234e-300, "1.23E-300"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatGeneral(c.value, 3), c.text) << c.value;

  EXPECT_NEAR(DeclinationFromDrift(0), 324000, 1e-6);
  EXPECT_NEAR(DeclinationFromDrift(kSiderealRate / 2), 216000, 1e-6);  // cos 60° = 1/2
  EXPECT_EQ(DeclinationFromDrift(kSiderealRate), 0);
  EXPECT_EQ(DeclinationFromDrift(20), 0);
}

struct MesuresWindow : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Tool_Mesures w{app};
  OpticsSettings optics;
  CameraSettings camera;
  int frameWidth[3] = {0, 640, 320};  // per camera, 0: no frame
  double shownFocal = 0;
  std::string redraws;  // "r" per reticle redraw, "c" per chart redraw
  void SetUp() override {
    w.Hooks.ReadOptics = [this] { return optics; };
    w.Hooks.ReadCamera = [this] { return camera; };
    w.Hooks.FrameWidth = [this](int c) { return frameWidth[c]; };
    w.Hooks.OnEffectiveFocal = [this](double f) { shownFocal = f; };
    w.Hooks.OnRedrawReticle = [this] { redraws += "r"; };
    w.Hooks.OnRedrawChart = [this] { redraws += "c"; };
  }
};

TEST_F(MesuresWindow, StartsEmptyWithTheSavedSamplingForTheChart) {
  EXPECT_EQ(w.Caption(), "Mesures");
  EXPECT_TRUE(w.StayOnTop());
  EXPECT_FALSE(w.Visible());
  w.SetSavedSampling(0.63);
  EXPECT_EQ(w.TNI_Echantillonnage.Value(), 0);
  EXPECT_EQ(w.Sampling(), 0.63);
  EXPECT_EQ(w.TNI_Lx.Value(), 640);
  EXPECT_EQ(w.TNI_Ly.Value(), 480);
  EXPECT_EQ(w.LBL_Unite_Champ.Caption(), "(Secondes)");
  EXPECT_FALSE(w.BTN_Def_Declinaison.Enabled());
  EXPECT_TRUE(w.TNI_Echantillonnage.ReadOnly());
  EXPECT_TRUE(w.EDT_Angle_Calcule.ReadOnly());
  EXPECT_EQ(w.TNI_DistObjet.Value(), 0.1);
  EXPECT_EQ(w.TNI_DistObjet.Hint(), "Saisir la distance qui vous sépare de l'objet");
}

TEST_F(MesuresWindow, OpticsChangeRecomputesBothCamerasAndCameraTwoStaysShown) {
  optics.BarlowChecked = true;
  w.OpticsChanged();
  EXPECT_EQ(shownFocal, 4000);
  EXPECT_EQ(w.EffectiveFocalLength(), 4000);
  // Camera 2's frame is 320 wide: twice the scale of camera 1's.
  EXPECT_NEAR(w.TNI_Echantillonnage.Value(), 0.577541, 1e-6);
  EXPECT_EQ(w.Sampling(), w.TNI_Echantillonnage.Value());
  EXPECT_EQ(w.TNI_Echantillonnage.Text(), "0.58");
  EXPECT_NEAR(w.TNI_ChampX.Value(), 6.160442, 1e-5);  // the shown 640 × 480 resolution
  EXPECT_NEAR(w.TNI_ChampY.Value(), 4.620332, 1e-5);
  EXPECT_EQ(w.LBL_Unite_Champ.Caption(), "(Minutes)");
  EXPECT_EQ(redraws, "rc");

  // Only the pixel width and the reference width enter the sampling.
  camera.PixelHeight = 99;
  camera.ReferenceHeight = 20;
  camera.ReferenceWidth = 1280;
  w.CameraSettingsChanged(false);  // camera 1 only: 640 wide at a 1280 reference
  EXPECT_NEAR(w.TNI_Echantillonnage.Value(), 0.577541, 1e-6);
  EXPECT_EQ(redraws, "rcr");      // the chart follows the optics only
  w.CameraSettingsChanged(true);  // another camera profile: camera 2 (320 wide) shown last
  EXPECT_NEAR(w.TNI_Echantillonnage.Value(), 1.155083, 1e-6);
}

TEST_F(MesuresWindow, CameraWithoutFrameUsesTheLastVideoWidth) {
  w.ComputeEffectiveFocal();
  frameWidth[1] = 0;
  w.SetLastVideoWidth(320);
  w.ComputeSampling(1);
  EXPECT_NEAR(w.TNI_Echantillonnage.Value(), 1.155083, 1e-6);
  // A saved width of 0 would divide by zero: the reference resolution stands in.
  w.SetLastVideoWidth(0);
  w.ComputeSampling(1);
  EXPECT_NEAR(w.TNI_Echantillonnage.Value(), 0.577541, 1e-6);
}

TEST_F(MesuresWindow, CameraStartShowsItsFrameSizeAndField) {
  w.ComputeEffectiveFocal();
  frameWidth[1] = 320;
  w.CameraStarted(1, 320, 240);
  EXPECT_EQ(w.TNI_Lx.Value(), 320);
  EXPECT_EQ(w.TNI_Ly.Value(), 240);
  EXPECT_NEAR(w.TNI_Echantillonnage.Value(), 1.155083, 1e-6);
  EXPECT_NEAR(w.TNI_ChampX.Value(), 6.160442, 1e-5);
  EXPECT_NEAR(w.TNI_ChampY.Value(), 4.620332, 1e-5);
  EXPECT_TRUE(w.BTN_Def_Declinaison.Enabled());
  int defined = 0;
  w.Hooks.OnDefineDeclination = [&] { ++defined; };
  w.BTN_Def_Declinaison.Click();
  EXPECT_EQ(defined, 1);
}

TEST_F(MesuresWindow, DistanceBetweenTheLastTwoPoints) {
  w.OpticsChanged();
  frameWidth[2] = 640;
  w.ComputeSampling(2);           // 0.5775"/pixel
  w.SetMeasurementPoint(100, 0);  // from (0, 0)
  EXPECT_EQ(w.EDT_Angle_Calcule.Text(), "  0°  0' 57.75\"");
  EXPECT_EQ(w.EDT_Distance_Calculee.Text(), "0.000028");  // at the default range 0.1
  w.TNI_DistObjet.SetValueFromUser(1000);                 // leaving the field recomputes
  EXPECT_EQ(w.EDT_Distance_Calculee.Text(), "0.28");
  w.SetMeasurementPoint(130, 40);  // 30, 40 from (100, 0): 50 pixels
  EXPECT_NEAR(w.LastAngle(), 50 * 0.5775415, 1e-5);
  EXPECT_EQ(w.EDT_Angle_Calcule.Text(), "  0°  0' 28.88\"");
  w.SetMeasurementPoint(130, 40);  // the same point again
  EXPECT_EQ(w.EDT_Angle_Calcule.Text(), "  0°  0'  0.00\"");
  EXPECT_EQ(w.EDT_Distance_Calculee.Text(), "0");
  w.TNI_DistObjet.SetValueFromUser(0);  // refused below 0.000001
  EXPECT_EQ(w.TNI_DistObjet.Value(), 0.000001);
}

TEST_F(MesuresWindow, StarDriftGivesSpeedAndDeclination) {
  w.OpticsChanged();
  frameWidth[2] = 640;
  w.ComputeSampling(2);
  double s = w.TNI_Echantillonnage.Value();
  w.ShowStarDrift(0, 10);
  EXPECT_EQ(w.TNI_Vitesse_Etoile.Value(), 0);
  EXPECT_EQ(w.EDT_Decl_Etoile.Text(), " 90°  0'  0.00\"");
  w.ShowStarDrift(30 / s * 10, 10);  // 30"/s: faster than the sidereal rate
  EXPECT_NEAR(w.TNI_Vitesse_Etoile.Value(), 30, 1e-9);
  EXPECT_EQ(w.EDT_Decl_Etoile.Text(), "  0°  0'  0.00\"");
  w.ShowStarDrift(kSiderealRate / 2 / s * 4, 4);
  EXPECT_EQ(w.EDT_Decl_Etoile.Text(), FormatDec(216000));
  w.ShowStarDrift(100, 0);  // no time elapsed: nothing to show
  EXPECT_EQ(w.EDT_Decl_Etoile.Text(), FormatDec(216000));
}

TEST_F(MesuresWindow, ShownOnARequestedPage) {
  w.SetBounds({9000, 9000, 300, 220});
  w.ShowPage(w.TBS_Distances);
  EXPECT_TRUE(w.Visible());
  EXPECT_TRUE(w.TBS_Distances.IsActive());
  EXPECT_LT(w.GetBounds().left, app.ScreenWidth());
}

TEST(ProgramWindows, MeasurementWindowCreatedHidden) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  EXPECT_FALSE(program.Measures().Visible());
  // The real window stands in the start-up order where its shell stood.
  EXPECT_EQ(program.App().FindWindow("TFRM_Tool_Mesures"), &program.Measures());
}

}  // namespace
}  // namespace orniva
