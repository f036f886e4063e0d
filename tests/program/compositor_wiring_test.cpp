#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "acquisition/image_load.h"
#include "acquisition/tfrm_play_control.h"
#include "acquisition/tfrm_ressources.h"
#include "core/virtual_event_loop.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "program/program.h"

namespace orniva {
namespace {

// Frames of the image camera through the real pipeline into the compositor
// and back onto the result page.
struct CompositorWiring : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  std::unique_ptr<Program> program = std::make_unique<Program>(loop, dialogs);
  TFRM_Alv& alv = program->Main();
  TFRM_Tool_Images& tools = program->Get<TFRM_Tool_Images>();
  TFRM_Info& info = program->Get<TFRM_Info>();

  CompositorWiring() {
    alv.FormActivate();
    alv.SetCameraFormat(1, 64, 48, 24, true);
    alv.State.processing = true;
  }
  void Deliver(uint8_t value) {
    Image frame(64, 48);
    frame.Fill(Rgb(value, value, value));
    alv.StoreFrame(1, frame);
    alv.ProcessFrame(true, 1);
  }
  Bgr Result(int x, int y) { return alv.Image3.Bitmap().Pixel(x, y); }
  // Records one frame of the given level as the dark or the flat, then goes
  // back to single pictures without integration.
  void Record(RadioButton& mode, uint8_t level) {
    tools.CKB_Integration.SetChecked(true);
    mode.SetChecked(true);
    tools.BTN_Demarrer_Add.Click();
    Deliver(level);
    tools.BTN_Arreter_Add.Click();
    tools.RDB_Unique.SetChecked(true);
    tools.CKB_Integration.SetChecked(false);
  }
  // A grey frame of 20 with one star of 200 at (10, 10).
  void DeliverStar() {
    Image frame(64, 48);
    frame.Fill(Rgb(20, 20, 20));
    frame.SetPixel(10, 10, Rgb(200, 200, 200));
    alv.StoreFrame(1, frame);
    alv.ProcessFrame(true, 1);
  }
};

TEST_F(CompositorWiring, IntegrationBuildsTheResultPageFromThePipeline) {
  tools.SCB_Maximum.SetPosition(256);  // levels equal the sums
  tools.CKB_Integration.SetChecked(true);
  tools.SPED_Nb_Bitmap.SetValue(3);
  tools.BTN_Demarrer_Add.Click();
  for (int k = 0; k < 3; ++k) Deliver(20);
  EXPECT_FALSE(tools.IntegrationRunning());  // the third frame reached the limit
  EXPECT_EQ(tools.EDT_Decompte.Text(), "3");
  EXPECT_EQ(Result(5, 5), Rgb(60, 60, 60));
  Deliver(20);  // stopped: the page keeps the composite
  EXPECT_EQ(Result(5, 5), Rgb(60, 60, 60));
  EXPECT_EQ(tools.Images.state.cells[0].Cell(5, 5), (CellRgb{60, 60, 60}));
  alv.SetCameraFormat(1, 64, 48, 24, true);  // a camera start empties the sums
  EXPECT_EQ(tools.Images.state.cells[0].Cell(5, 5), (CellRgb{0, 0, 0}));
  // The resources window shows how long the passes took, in milliseconds.
  auto& resources = program->Get<TFRM_Ressources>();
  for (const Edit* e : {&resources.EDT_Temps_addition, &resources.EDT_Temps_Dark_Flat}) {
    ASSERT_FALSE(e->Text().empty()) << e->Name();
    EXPECT_GE(std::stod(e->Text()), 0.0) << e->Name();
  }
}

TEST_F(CompositorWiring, ForcedLevelsSendEachFrameAloneThroughTheLevels) {
  tools.CKB_utiliser_seuils.SetChecked(true);
  tools.SCB_Maximum.SetPosition(100);
  Deliver(50);
  EXPECT_EQ(Result(5, 5), Rgb(128, 128, 128));
  Deliver(25);  // not added to the previous frame
  EXPECT_EQ(Result(5, 5), Rgb(64, 64, 64));
  tools.CKB_utiliser_seuils.SetChecked(false);
  Deliver(25);  // plain copy
  EXPECT_EQ(Result(5, 5), Rgb(25, 25, 25));
}

TEST_F(CompositorWiring, InformationWindowShowsTheImageCameraHistogram) {
  info.Show();
  Deliver(77);
  EXPECT_EQ(info.Counts().counts[0][77], 64 * 48);
  EXPECT_EQ(info.LBL_YMax.Caption(), std::to_string(64 * 48));
  alv.Image3.OnMouseMove(0, 3, 3);
  EXPECT_EQ(info.EDT_R.Text(), "77");
}

// The image tool's modes reach the other windows: the zone covers the whole
// frame for a dark, the binning menus are locked while integrating, tracking
// is off while a dark is recorded, Reset gives back "&Operations".
TEST_F(CompositorWiring, ModesReachTheZoneBinningTrackingAndOperations) {
  auto& app = alv.App();
  auto find = [&app]<typename T>(T*, const char* name) -> T* {
    for (Window* w : app.Windows())
      if (T* c = w->FindAs<T>(name)) return c;
    return nullptr;
  };
  MenuItem* binning = find((MenuItem*)nullptr, "MNU_Cam1_Binning");
  CheckBox* tracking = find((CheckBox*)nullptr, "CKB_Suivi");
  ASSERT_TRUE(binning && tracking);

  tools.CKB_Integration.SetChecked(true);
  EXPECT_FALSE(binning->Enabled());
  tools.RDB_Dark.SetChecked(true);
  Deliver(10);
  EXPECT_EQ(alv.Zones.zone, (Rect{0, 0, 64, 48}));
  EXPECT_EQ(alv.Zones.Centre(), (Point{31, 23}));

  tracking->SetChecked(true);
  tools.BTN_Demarrer_Add.Click();
  EXPECT_FALSE(tracking->Checked());
  EXPECT_FALSE(tracking->Enabled());
  Deliver(10);
  tools.BTN_Arreter_Add.Click();
  EXPECT_TRUE(tracking->Enabled());
  EXPECT_EQ(tools.Images.state.cells[1].Cell(3, 3), (CellRgb{10, 10, 10}));

  alv.MNU_Operations.SetEnabled(false);
  tools.BTN_Reset_Add.Click();
  EXPECT_TRUE(alv.MNU_Operations.Enabled());
  tools.CKB_Integration.SetChecked(false);
  EXPECT_TRUE(binning->Enabled());

  // A camera binning 2 x 2 makes the levels usable without "Forcer".
  EXPECT_FALSE(tools.SCB_Maximum.Enabled());
  find((MenuItem*)nullptr, "MNU_Cam1_Binning_2x2")->Click();
  Deliver(10);
  EXPECT_TRUE(tools.SCB_Maximum.Enabled());
}

// The loop ring is sized from the display zone as it is when "Demarrer" is
// clicked.
TEST_F(CompositorWiring, LoopRingFollowsTheDisplayZoneSizeAtStart) {
  double size = 60;
  alv.Inputs.DisplayZoneSize = [&size] { return size; };
  tools.CKB_Integration.SetChecked(true);
  tools.RDB_Boucle.Click();
  tools.SPED_Nb_Bitmap.SetValue(2);
  size = 40;  // the operator makes the zone smaller, no frame in between
  tools.BTN_Demarrer_Add.Click();
  ASSERT_EQ(tools.Images.state.ring.size(), 3u);
  EXPECT_EQ(tools.Images.state.ring[0].Width(), 40);
}

// "Ouvrir" > "Flat" from a real bitmap file: the flat buffer holds its first
// image, its means are computed, "Actif" can be checked and the page names
// the file.
TEST_F(CompositorWiring, FlatOpenedFromAFileFillsTheFlatBuffer) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "orniva_flat_test.bmp").string();
  Image flat(64, 48);
  flat.Fill(Rgb(200, 100, 50));
  ASSERT_TRUE(SavePageImage(path, flat, 80).Ok());
  dialogs.QueueFiles({path});
  tools.SPDB_Ouvrir_Flat.Click();
  std::filesystem::remove(path);

  EXPECT_TRUE(tools.RDB_Flat.Checked());
  EXPECT_EQ(tools.Images.state.count[2], 1);
  EXPECT_EQ(tools.Images.state.cells[2].Cell(10, 10), (CellRgb{200, 100, 50}));
  EXPECT_DOUBLE_EQ(tools.Images.state.flatMean[0], 200.0);
  EXPECT_DOUBLE_EQ(tools.Images.state.flatMean[2], 50.0);
  EXPECT_TRUE(tools.CKB_Active_Flat.Enabled());
  EXPECT_EQ(tools.EDT_Fichier_Flat.Text(), path);
}

// Hot-pixel dark from a recorded dark, through "Seuil (%)" and "Moyenne
// pixels environnants": the threshold 255 x (100 - T) / 100 is exceeded,
// never merely reached.
struct HotPixelCase {
  const char* name;
  uint8_t dark;
  int position;  // of "Seuil (%)": T = 100 - position
  bool hot;
};
void PrintTo(const HotPixelCase& c, std::ostream* os) {
  *os << c.name;
}

struct HotPixelDark : CompositorWiring, ::testing::WithParamInterface<HotPixelCase> {};

TEST_P(HotPixelDark, RecordedDarkReplacesOnlyCellsAboveTheThreshold) {
  const HotPixelCase& k = GetParam();
  tools.SCB_Maximum.SetPosition(256);  // levels equal the sums
  Record(tools.RDB_Dark, k.dark);
  ASSERT_EQ(tools.Images.state.cells[1].Cell(3, 3), (CellRgb{k.dark, k.dark, k.dark}));
  tools.RDB_Dark_Smart.Click();
  tools.SCB_Seuil_dark.SetPosition(k.position);
  EXPECT_EQ(tools.TNI_MaxDark.Value(), 100 - k.position);
  DeliverStar();
  if (k.hot) {
    EXPECT_EQ(Result(10, 10), Rgb(20, 20, 20));  // the star's neighbours
    EXPECT_EQ(Result(0, 0), Rgb(8, 8, 8));       // 4 of the 10 border cells
  } else {
    EXPECT_EQ(Result(10, 10), Rgb(200, 200, 200));
    EXPECT_EQ(Result(0, 0), Rgb(20, 20, 20));
    EXPECT_EQ(Result(63, 47), Rgb(20, 20, 20));
  }
}

INSTANTIATE_TEST_SUITE_P(CompositorWiring, HotPixelDark,
                         ::testing::Values(HotPixelCase{"T100Dark0", 0, 0, false},
                                           HotPixelCase{"T100Dark2", 2, 0, true},
                                           HotPixelCase{"T60Dark102", 102, 40, false},
                                           HotPixelCase{"T60Dark104", 104, 40, true}),
                         [](const ::testing::TestParamInfo<HotPixelCase>& info) {
                           return std::string(info.param.name);
                         });

// Every reading 1.5 ms after the one before: each pass takes 1.5 ms.
double TickingClock() {
  static double now = 0;
  return now += 1.5;
}

// "Temps Dark+Flat (ms) :" shows the pass that applied the dark and flat in
// every mode (subtraction and flat are applied while accumulating, the
// hot-pixel dark in a pass of its own) and 0 when nothing was applied.
TEST_F(CompositorWiring, ResourcesWindowTimesTheDarkAndFlatInEveryMode) {
  auto& resources = program->Get<TFRM_Ressources>();
  tools.PassClock = &TickingClock;
  const Edit& addition = resources.EDT_Temps_addition;
  const Edit& darkFlat = resources.EDT_Temps_Dark_Flat;
  Record(tools.RDB_Dark, 10);
  Record(tools.RDB_Flat, 100);
  ASSERT_TRUE(tools.CKB_Active_Flat.Enabled());

  tools.CKB_utiliser_seuils.SetChecked(true);  // each frame through the compositor
  Deliver(50);
  EXPECT_EQ(addition.Text(), "1.50");
  EXPECT_EQ(darkFlat.Text(), "0.00") << "nothing applied";

  tools.SCB_Seuil_dark.SetPosition(50);  // subtraction
  Deliver(50);
  EXPECT_EQ(darkFlat.Text(), "1.50") << "subtraction";

  tools.RDB_Dark_Smart.Click();
  Deliver(50);
  EXPECT_EQ(darkFlat.Text(), "1.50") << "hot pixels";

  tools.SCB_Seuil_dark.SetPosition(100);
  tools.CKB_Active_Flat.SetChecked(true);
  Deliver(50);
  EXPECT_EQ(darkFlat.Text(), "1.50") << "flat";
}

}  // namespace
}  // namespace orniva
