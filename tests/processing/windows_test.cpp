#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/virtual_event_loop.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"

namespace orniva {
namespace {

struct ToolImages : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  std::unique_ptr<TFRM_Tool_Images> window = std::make_unique<TFRM_Tool_Images>(app);
  TFRM_Tool_Images& w = *window;
  CompositorImages* images = &w.Images;
  int rendered = 0, ended = 0;
  std::vector<bool> trackingBox;

  void SetUp() override {
    images->frameWidth = 8;
    images->frameHeight = 6;
    images->zoneRect = {0, 0, 8, 6};
    images->renderImage->Resize(8, 6);
    images->displayZoneSize = 8;
    w.Hooks.ResultRendered = [this] { ++rendered; };
    w.Hooks.IntegrationEnded = [this] { ++ended; };
    w.Hooks.TrackingBox = [this](bool on) { trackingBox.push_back(on); };
  }
  void Frame(uint8_t value) {
    images->zoneImage->Fill(Rgb(value, value, value));
    w.ComposeAcceptedFrame(true);
  }
  Bgr Shown() const { return images->renderImage->Pixel(3, 3); }
};

TEST_F(ToolImages, FrameLimitStopsAndTheResultShowsAllFrames) {
  w.CKB_Integration.SetChecked(true);
  w.SPED_Nb_Bitmap.SetValue(5);
  w.CKB_Visu_Permanente.SetChecked(false);
  w.SCB_Maximum.SetPosition(256);  // levels equal the sums
  w.BTN_Demarrer_Add.Click();
  ASSERT_TRUE(w.IntegrationRunning());
  for (int k = 0; k < 4; ++k) Frame(10);
  EXPECT_TRUE(w.IntegrationRunning());
  EXPECT_EQ(w.EDT_Decompte.Text(), "4");
  EXPECT_EQ(Shown(), kBlack);  // no permanent view: nothing rendered yet
  Frame(10);
  EXPECT_FALSE(w.IntegrationRunning());
  EXPECT_TRUE(w.BTN_Demarrer_Add.Enabled());
  EXPECT_FALSE(w.BTN_Arreter_Add.Enabled());
  EXPECT_EQ(Shown(), Rgb(50, 50, 50));
  EXPECT_EQ(ended, 1);
  // "Demarrer" again continues the same composite.
  w.SPED_Nb_Bitmap.SetValue(0);
  w.BTN_Demarrer_Add.Click();
  Frame(10);
  EXPECT_EQ(w.EDT_Decompte.Text(), "6");
}

TEST_F(ToolImages, LoopStartedWithZeroRunsWithOneFrame) {
  w.CKB_Integration.SetChecked(true);
  w.RDB_Boucle.Click();
  w.SPED_Nb_Bitmap.SetValue(0);
  w.SCB_Maximum.SetPosition(256);
  w.BTN_Demarrer_Add.Click();
  EXPECT_EQ(w.SPED_Nb_Bitmap.Value(), 1);
  EXPECT_EQ(images->state.ring.size(), 2u);
  Frame(30);
  Frame(7);
  EXPECT_EQ(Shown(), Rgb(7, 7, 7));
  w.BTN_Arreter_Add.Click();
  EXPECT_TRUE(images->state.ring.empty());
}

TEST_F(ToolImages, RecordedDarkIsAppliedOnceItsPowerIsRaised) {
  w.CKB_Integration.SetChecked(true);
  w.RDB_Dark.Click();
  w.SPED_Nb_Bitmap.SetValue(0);  // no frame limit (1 by default)
  w.BTN_Demarrer_Add.Click();
  EXPECT_EQ(trackingBox, std::vector<bool>{false});
  for (int k = 0; k < 4; ++k) Frame(10);
  w.SCB_Seuil_dark.SetPosition(0);  // raised during the recording...
  w.BTN_Arreter_Add.Click();
  EXPECT_EQ(w.SCB_Seuil_dark.Position(), 100);  // ...and back to 0 at the end
  EXPECT_EQ(w.TNI_MaxDark.Value(), 0);
  EXPECT_EQ(trackingBox.back(), true);
  EXPECT_EQ(images->state.count[1], 4);

  w.RDB_Unique.Click();
  w.BTN_Reset_Add.Click();
  w.BTN_Demarrer_Add.Click();
  for (int k = 0; k < 10; ++k) Frame(50);
  EXPECT_EQ(w.TNI_Max.Value(), 500);
  w.SCB_Seuil_dark.SetPosition(0);  // T = 100: s = Round(40 x 1 x 2.5 - 0.5) = 100
  EXPECT_EQ(w.TNI_MaxDark.Value(), 100);
  EXPECT_EQ(w.TNI_Max.Value(), 400);
  EXPECT_EQ(images->state.cells[1].Cell(0, 0).r, 40);  // the dark is kept
}

// Reset in flat mode empties the flat and takes it out of use, leaving the
// page black.
TEST_F(ToolImages, ResetOfAFlatLeavesItUnusedAndThePageBlack) {
  int black = 0;
  w.Hooks.ResultBlack = [&black] { ++black; };
  w.CKB_Integration.SetChecked(true);
  w.RDB_Flat.Click();
  w.BTN_Demarrer_Add.Click();
  Frame(90);  // the frame limit (1) stops the recording
  ASSERT_TRUE(w.CKB_Active_Flat.Enabled());
  w.CKB_Active_Flat.SetChecked(true);
  const int renderedBefore = rendered;
  w.BTN_Reset_Add.Click();
  EXPECT_EQ(black, 1);
  EXPECT_EQ(rendered, renderedBefore);  // nothing painted over the black page
  EXPECT_FALSE(w.CKB_Active_Flat.Checked());
  EXPECT_FALSE(w.CKB_Active_Flat.Enabled());
  EXPECT_EQ(images->state.cells[2].Cell(3, 3), (CellRgb{0, 0, 0}));
}

TEST_F(ToolImages, AutomaticLevelsFollowTheCompositeExtremes) {
  w.CKB_utiliser_seuils.SetChecked(true);
  ASSERT_TRUE(w.SCB_Maximum.Enabled());
  ComposeState& st = images->state;
  st.count[0] = 200;
  for (int j = 0; j < 6; ++j)
    for (int i = 0; i < 8; ++i) st.cells[0].SetCell(i, j, {120, 120, 120});
  st.cells[0].SetCell(1, 1, {40000, 300, 120});
  w.CKB_Seuils_Evol.SetChecked(true);
  EXPECT_EQ(w.SCB_Maximum.Position(), 40000);
  EXPECT_EQ(w.SCB_Minimum.Position(), 120);
  EXPECT_EQ(w.TNI_Seuil_Max.Value(), 40000);

  st.cells[0].SetCell(1, 1, {60000, 300, 120});
  w.TNI_Seuil_MaxMax.SetValue(50000);
  EXPECT_EQ(w.SCB_Maximum.Max(), 50000);
  w.RDB_NB.Click();  // any level edit renders again
  EXPECT_EQ(w.SCB_Maximum.Position(), 60000);
  EXPECT_EQ(w.TNI_Seuil_MaxMax.Value(), 65535);

  // Moving the high level by hand keeps its ratio to the maximum.
  w.SCB_Maximum.SetPosition(30000);
  EXPECT_DOUBLE_EQ(w.KHigh(), 0.5);
  EXPECT_EQ(w.SCB_Maximum.Position(), 30000);
}

TEST_F(ToolImages, TypedLevelsMoveTheSlidersAndRenderAtOnce) {
  w.CKB_utiliser_seuils.SetChecked(true);
  images->zoneImage->Fill(Rgb(100, 100, 100));
  w.ComposeAcceptedFrame(true);         // "Forcer": the integer path, a single frame
  EXPECT_EQ(Shown(), Rgb(10, 10, 10));  // (100 x 256) div 2500
  const int before = rendered;
  int fullScreen = 0;
  w.Hooks.FullScreenRefresh = [&fullScreen] { ++fullScreen; };
  w.TNI_Seuil_Max.SetValueFromUser(200.5);  // Round(200) -> 200
  EXPECT_EQ(w.SCB_Maximum.Position(), 200);
  EXPECT_GT(rendered, before);
  EXPECT_GT(fullScreen, 0);  // the full-screen view follows without a new frame
  EXPECT_EQ(Shown(), Rgb(128, 128, 128));
  w.CKB_Green.SetChecked(false);
  EXPECT_EQ(Shown(), Rgb(128, 0, 128));
}

TEST_F(ToolImages, CurveFilesAreReadAndForeignFilesRefused) {
  const auto dir = std::filesystem::temp_directory_path() / "orniva_tool_images_test";
  std::filesystem::create_directories(dir);
  const std::string bad = (dir / "bad.crv").string(), good = (dir / "good.crv").string();
  std::ofstream(bad, std::ios::binary) << std::string(60, 'z');
  dialogs.QueueText(bad);
  w.BTN_Lire_Courbe.Click();
  ASSERT_FALSE(dialogs.History().empty());
  EXPECT_EQ(dialogs.History().back().text, "Ce n'est pas un fichier de courbes");
  EXPECT_EQ(w.TRKB_EQ5.Position(), 255);

  w.TRKB_EQ5.SetPosition(155);
  dialogs.QueueText(good);
  w.BTN_Ecrire_Courbe.Click();
  w.BTN_Reset_equal.Click();
  EXPECT_EQ(w.TRKB_EQ5.Position(), 255);
  EXPECT_EQ(w.Curve()[128], 0);
  dialogs.QueueText(good);
  w.BTN_Lire_Courbe.Click();
  EXPECT_EQ(w.TRKB_EQ5.Position(), 155);
  EXPECT_NEAR(w.Curve()[128], 100, 1);
  std::filesystem::remove_all(dir);
}

TEST(Info, HistogramScaleAndPointer) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Info info{app};
  Image frame(10, 100);  // 1000 pixels
  frame.Fill(Rgb(0, 0, 0));
  frame.FillRect({0, 0, 10, 10}, Rgb(200, 0, 0));  // a tenth of the pixels at red 200
  info.UpdateHistogram(frame);
  const Image& plot = info.Img_Histogramme.Bitmap();
  EXPECT_EQ(plot.Pixel(0, 0), Rgb(0, 255, 255));  // every pixel has green and blue 0
  EXPECT_EQ(plot.Pixel(200, 100 - 10), Rgb(255, 0, 0));
  EXPECT_EQ(info.LBL_YMax.Caption(), "1000");
  info.SCB_Scale_Histo.SetPosition(1000);
  EXPECT_EQ(plot.Pixel(200, 0), Rgb(255, 0, 0));
  EXPECT_EQ(info.LBL_YMax.Caption(), "100");

  info.Img_HistogrammeMouseMove(200);
  EXPECT_EQ(info.EDT_Niveau.Text(), "200");
  EXPECT_EQ(info.EDT_Nbre_R.Text(), "100");
  EXPECT_EQ(info.EDT_Prc_R.Text(), "10.0000000");
  EXPECT_EQ(info.EDT_Prc_V.Text(), "0.0000000");

  info.ShowPointer(3, 4, frame);
  EXPECT_EQ(info.EDT_R.Text(), "200");
  info.ShowPointer(30, 4, frame);  // outside: colours unchanged
  EXPECT_EQ(info.EDT_X.Text(), "30");
  EXPECT_EQ(info.EDT_R.Text(), "200");
}

TEST(Info, SaturationViewMarksPixelsAtTheThreshold) {
  Image frame(3, 1);
  frame.SetPixel(0, 0, Rgb(10, 250, 3));
  frame.SetPixel(1, 0, Rgb(249, 0, 0));
  frame.SetPixel(2, 0, Rgb(0, 0, 255));
  Image out;
  SaturationView(frame, 250, out);
  EXPECT_EQ(out.Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(out.Pixel(1, 0), kBlack);
  EXPECT_EQ(out.Pixel(2, 0), Rgb(255, 0, 0));
}

}  // namespace
}  // namespace orniva
