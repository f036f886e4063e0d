#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include "acquisition/tfrm_fullscreen.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "core/virtual_event_loop.h"
#include "offscreen_app.h"
#include "program/program.h"
#include "qt/picture_widget.h"
#include "qt/program_palette.h"
#include "qt/window_view.h"
#include "ui/controls.h"
#include "ui/night_mode.h"

namespace orniva {
namespace {

// A page window with one camera of 320 x 240 that the display windows
// work on, as the main window does.
class TFRM_Page : public Window, public DisplayHost {
 public:
  explicit TFRM_Page(Application& app) : Window(app, "TFRM_Page", "Page") {
    SetBounds({0, 0, 420, 480});
  }
  Picture Image1{*this, "Image1", 320, 240};
  Picture Image3{*this, "Image3", 160, 120};
  Image zoneOverlay{1024, 768}, reticle{800, 600};
  int processed = 0;

  Image* ZoneOverlay() override { return &zoneOverlay; }
  Image* ReticleOverlay() override { return &reticle; }
  int FrameWidth(int) const override { return 320; }
  int FrameHeight(int) const override { return 240; }
  bool CameraRunning(int) const override { return true; }
  bool SourcePageVisible(int camera) const override { return camera == 1; }
  double ZoneAspect() const override { return 4.0 / 3.0; }
  void ProcessFrame(bool, int) override { ++processed; }
  void ResizeResultPage(int w, int h) override { Image3.Bitmap().Resize(w, h); }
  double Sampling() const override { return 2; }  // 60" graduations, 30 pixels apart
};

struct DisplayViewFixture : ::testing::Test {
  static void SetUpTestSuite() { EnsureOffscreenApplication(); }
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Page page{app};
  TFRM_Tool_Affichage tool{app};
  DisplayController& display = tool.Display();

  DisplayViewFixture() {
    tool.Connect(page);
    display.SourceStarted(1);
    tool.SCB_Taille_ZAffich.SetPosition(160);
    page.Image1.OnMouseUp = [this](MouseButton b, unsigned shift, int x, int y) {
      display.SourceMouseUp(1, b, shift, x, y);
    };
    page.processed = 0;
  }

  // The frame with its overlays, in the pipeline's order: the marker, the
  // zone frame, the reticle.
  void Refresh() {
    Image& img = page.Image1.Bitmap();
    for (int y = 0; y < img.Height(); ++y)
      for (int x = 0; x < img.Width(); ++x)
        img.SetPixel(x, y, Rgb(static_cast<uint8_t>(x / 4), 20, static_cast<uint8_t>(y / 3)));
    display.DrawDetectionMarker(img, false, MarkerStyle{1, 0});
    MergePaint(img, {0, 0, 320, 240}, page.zoneOverlay, {0, 0, 320, 240});
    MergePaint(img, {0, 0, 320, 240}, page.reticle, {0, 0, 320, 240});
    page.Image1.Invalidate();
  }
};

// The page with the reticle drawn at 2"/pixel, compared with the reference
// picture kept with the tests.
TEST_F(DisplayViewFixture, ReticlePageMatchesTheReference) {
  tool.CKB_Reticule.SetChecked(true);
  tool.TNI_Orient.SetValue(15);
  Refresh();
  WindowView view(page);
  page.Show();
  auto* widget = qobject_cast<PictureWidget*>(view.WidgetFor("Image1"));
  ASSERT_NE(widget, nullptr);
  ASSERT_GE(widget->height(), 240);
  QImage shot =
      widget->grab(QRect(0, 0, 320, 240)).toImage().convertToFormat(QImage::Format_RGB888);
  ASSERT_EQ(shot.size(), QSize(320, 240));

  QDir().mkpath(ORNIVA_SCREENSHOT_DIR);
  shot.save(QString(ORNIVA_SCREENSHOT_DIR) + "/display_reticle_page.png");
  QImage reference(QString(ORNIVA_SOURCE_DIR) + "/tests/data/display_reticle_page.png");
  ASSERT_FALSE(reference.isNull())
      << "reference picture missing; this run's is in " << ORNIVA_SCREENSHOT_DIR;
  reference = reference.convertToFormat(QImage::Format_RGB888);
  int different = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) different += shot.pixel(x, y) != reference.pixel(x, y);
  EXPECT_EQ(different, 0);
  // And the picture shows the model's bytes: a cyan cross pixel lightens red.
  const Bgr model = page.Image1.Bitmap().Pixel(160 + 100, 120 + 26);
  EXPECT_EQ(QColor(shot.pixel(260, 146)), QColor(model.r, model.g, model.b));
}

// Clicks on the widget reach the page's handler with their button and keys.
TEST_F(DisplayViewFixture, MouseClicksReachTheHandlersWithModifiers) {
  WindowView view(page);
  page.Show();
  QWidget* widget = view.WidgetFor("Image1");
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(40, 50));
  EXPECT_EQ(display.Zones().Centre(), (Point{40, 50}));
  QTest::mouseClick(widget, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
  EXPECT_EQ(display.Zones().Centre(), (Point{160, 120}));
  // The display zone stayed where it was (zones not linked).
  EXPECT_EQ(display.Zones().frameZone, (Rect{80, 60, 241, 181}));
  QTest::mouseClick(widget, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
  EXPECT_EQ(display.Zones().frameZone, (Rect{20, 40, 181, 161}));
  EXPECT_EQ(page.processed, 3);
}

// The same through the whole program: a click on the main window's page
// moves the detection zone and the page shows the marker there.
TEST_F(DisplayViewFixture, ProgramPageTakesClicks) {
  VirtualEventLoop programLoop;
  HeadlessDialogs programDialogs;
  Program program(programLoop, programDialogs);
  TFRM_Alv& alv = program.Main();
  WindowView view(alv);
  program.Activate();
  alv.SetCameraFormat(1, 320, 240, 24, true);
  alv.Timer_Cam1.Start();
  alv.State.processing = true;
  Image frame(320, 240);
  frame.Fill(Rgb(0, 0, 60));
  alv.StoreFrame(1, frame);
  auto* widget = qobject_cast<PictureWidget*>(view.WidgetFor("Image1"));
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(60, 70));
  EXPECT_EQ(alv.Zones.Centre(), (Point{60, 70}));
  EXPECT_EQ(QColor(widget->View().pixel(40, 50)), QColor(255, 0, 0));  // marker corner
  QTest::mouseClick(widget, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
  EXPECT_EQ(alv.Zones.Centre(), (Point{160, 120}));
}

TEST_F(DisplayViewFixture, FullScreenIsBorderlessAndEscapeClosesIt) {
  app.SetScreenSize(640, 480);
  TFRM_FullScreen full(app);
  full.Connect(display);
  WindowView view(full);
  full.Open();
  EXPECT_TRUE(view.isVisible());
  EXPECT_TRUE(view.windowFlags() & Qt::FramelessWindowHint);
  Image result(2, 2);
  result.Fill(Rgb(200, 0, 0));
  full.ShowResult(result);
  auto* widget = qobject_cast<PictureWidget*>(view.WidgetFor("IMG_FullScreen"));
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(QColor(widget->View().pixel(639, 479)), QColor(200, 0, 0));
  QTest::keyClick(&view, Qt::Key_Escape);
  EXPECT_FALSE(full.Visible());
  EXPECT_FALSE(view.isVisible());
}

TEST_F(DisplayViewFixture, NightModeColoursTheProgramAndComesBack) {
  const QColor before = QApplication::palette().color(QPalette::Window);
  {
    ProgramPaletteFollower follower;
    NightModeSwitch nite;
    nite.SetDown(true);
    const Bgr face = DefaultNightScheme()[15];
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(face.r, face.g, face.b));
    nite.SetDown(false);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), before);
    nite.SetDown(true);
  }  // the program ends in night mode
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), before);
}

}  // namespace
}  // namespace orniva
