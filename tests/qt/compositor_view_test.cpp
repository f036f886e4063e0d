#include <gtest/gtest.h>

#include <QDir>
#include <QScrollBar>
#include <QSlider>

#include "acquisition/tfrm_ressources.h"
#include "core/virtual_event_loop.h"
#include "offscreen_app.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "program/program.h"
#include "qt/picture_widget.h"
#include "qt/window_view.h"

namespace orniva {
namespace {

// The image tool, information and resources windows on screen over a real
// program fed with a frame: what the operator moves in a window reaches the
// result page at once.
struct CompositorView : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  std::unique_ptr<Program> program;
  std::unique_ptr<WindowView> mainView, toolView, infoView, resourcesView;

  CompositorView() {
    EnsureOffscreenApplication();
    program = std::make_unique<Program>(loop, dialogs);
    mainView = std::make_unique<WindowView>(program->Main());
    toolView = std::make_unique<WindowView>(program->Get<TFRM_Tool_Images>());
    infoView = std::make_unique<WindowView>(program->Get<TFRM_Info>());
    resourcesView = std::make_unique<WindowView>(program->Get<TFRM_Ressources>());
    program->Activate();
    program->Main().SetCameraFormat(1, 160, 120, 24, true);
    program->Main().State.processing = true;
  }
  // A horizontal ramp: red 0..159, green 100, blue 40.
  void DeliverRamp() {
    Image frame(160, 120);
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x) frame.SetPixel(x, y, Rgb(x, 100, 40));
    program->Main().FrameArrived(1, frame);
  }
  QImage ResultPage() const {
    auto* page = mainView->findChild<PictureWidget*>("Image3");
    return page ? page->View() : QImage();
  }
  void Save(QWidget& w, const char* name) {
    QDir().mkpath(ORNIVA_SCREENSHOT_DIR);
    EXPECT_TRUE(w.grab().toImage().save(QString(ORNIVA_SCREENSHOT_DIR) + "/" + name));
  }
};

TEST_F(CompositorView, LevelSliderReRendersTheResultPageAtOnce) {
  TFRM_Tool_Images& tools = program->Get<TFRM_Tool_Images>();
  tools.Show();
  tools.CKB_utiliser_seuils.SetChecked(true);
  tools.SCB_Maximum.SetPosition(200);
  DeliverRamp();
  ASSERT_FALSE(ResultPage().isNull());
  // Level = value * 256 div 200, capped at 255.
  EXPECT_EQ(ResultPage().pixelColor(50, 10), QColor(64, 128, 51));

  // The operator drags "Maximum" to 100: no new frame, the page follows.
  auto* maximum = qobject_cast<QScrollBar*>(toolView->WidgetFor("SCB_Maximum"));
  ASSERT_NE(maximum, nullptr);
  maximum->setValue(100);
  EXPECT_EQ(tools.SCB_Maximum.Position(), 100);
  EXPECT_EQ(ResultPage().pixelColor(50, 10), QColor(128, 255, 102));
  EXPECT_EQ(ResultPage().pixelColor(120, 10), QColor(255, 255, 102));
  tools.PGC_Images.SetActivePage(tools.TBS_Seuils);
  Save(*toolView, "tool_images_seuils.png");
}

// The curve's nine sliders stand upright side by side, +255 at the top.
TEST_F(CompositorView, CurveSlidersStandUprightWithTheirTopAtPlus255) {
  TFRM_Tool_Images& tools = program->Get<TFRM_Tool_Images>();
  tools.Show();
  tools.PGC_Images.SetActivePage(tools.TBS_Courbes);
  auto* first = qobject_cast<QSlider*>(toolView->WidgetFor("TRKB_EQ1"));
  auto* second = qobject_cast<QSlider*>(toolView->WidgetFor("TRKB_EQ2"));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->orientation(), Qt::Vertical);
  EXPECT_TRUE(first->invertedAppearance());  // position 0 (+255) at the top
  EXPECT_LT(first->mapTo(toolView.get(), QPoint(0, 0)).x(),
            second->mapTo(toolView.get(), QPoint(0, 0)).x());
  Save(*toolView, "tool_images_courbes.png");
}

TEST_F(CompositorView, InformationWindowDrawsTheHistogramOfTheFrame) {
  TFRM_Info& info = program->Get<TFRM_Info>();
  info.Show();
  DeliverRamp();
  // Every red level 0..159 occurs 120 times; green sits at 100 alone.
  EXPECT_EQ(info.Counts().counts[0][10], 120);
  EXPECT_EQ(info.Counts().counts[1][100], 160 * 120);
  auto* histogram = infoView->findChild<PictureWidget*>("Img_Histogramme");
  ASSERT_NE(histogram, nullptr);
  const QImage drawn = histogram->View();
  ASSERT_EQ(drawn.width(), 256);
  // One dot per level and channel at the level's height: green's single
  // level at the top, the red levels (under one percent each) on the bottom
  // row.
  EXPECT_EQ(drawn.pixelColor(100, 0).green(), 255);
  EXPECT_EQ(drawn.pixelColor(10, 100).red(), 255);
  EXPECT_EQ(drawn.pixelColor(100, 50).green(), 0);
  // Shown whole even though the window is too small for all its controls.
  EXPECT_EQ(histogram->height(), 101);
  Save(*infoView, "info_histogram.png");
}

TEST_F(CompositorView, ResourcesWindowShowsThePassDurations) {
  TFRM_Tool_Images& tools = program->Get<TFRM_Tool_Images>();
  tools.CKB_utiliser_seuils.SetChecked(true);
  DeliverRamp();
  program->Get<TFRM_Ressources>().Show();
  for (const char* name : {"EDT_Temps_addition", "EDT_Temps_Dark_Flat"}) {
    QWidget* field = resourcesView->WidgetFor(name);
    ASSERT_NE(field, nullptr) << name;
    EXPECT_FALSE(field->property("text").toString().isEmpty()) << name;
  }
  Save(*resourcesView, "resources.png");
}

}  // namespace
}  // namespace orniva
