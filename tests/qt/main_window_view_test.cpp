#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "core/virtual_event_loop.h"
#include "offscreen_app.h"
#include "program/program.h"
#include "qt/picture_widget.h"
#include "qt/window_view.h"

namespace orniva {
namespace {

TEST(MainWindowView, PagesShowTheFramesOfTheCamerasAndTheResult) {
  EnsureOffscreenApplication();
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  TFRM_Alv& alv = program.Main();
  WindowView view(alv);
  program.Activate();
  ASSERT_TRUE(view.isVisible());

  // A 320 x 240 camera delivers a gradient frame.
  alv.SetCameraFormat(1, 320, 240, 24, true);
  alv.State.processing = true;
  Image frame(320, 240);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) frame.SetPixel(x, y, Rgb(x * 255 / 319, y * 255 / 239, 96));
  alv.FrameArrived(1, frame);

  auto* tabs = view.findChild<QTabWidget*>("PGC_Main");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(0), "Source 1");
  EXPECT_EQ(tabs->tabText(1), "Source 2");
  EXPECT_EQ(tabs->tabText(2), "Resultat");
  auto* source = view.findChild<PictureWidget*>("Image1");
  auto* result = view.findChild<PictureWidget*>("Image3");
  ASSERT_TRUE(source && result);
  EXPECT_EQ(source->View().width(), 320);
  // Inside the display zone's dotted frame, which runs along the border.
  EXPECT_EQ(source->View().pixelColor(318, 1), QColor(254, 1, 96));
  EXPECT_EQ(source->View().pixelColor(319, 0), QColor(255, 127, 255));
  EXPECT_EQ(result->View().pixelColor(0, 239), QColor(0, 255, 96));

  QDir().mkpath(ORNIVA_SCREENSHOT_DIR);
  EXPECT_TRUE(view.grab().toImage().save(QString(ORNIVA_SCREENSHOT_DIR) + "/main_source1.png"));
  tabs->setCurrentIndex(2);
  EXPECT_TRUE(view.grab().toImage().save(QString(ORNIVA_SCREENSHOT_DIR) + "/main_result.png"));
}

}  // namespace
}  // namespace orniva

namespace orniva {
namespace {

// "&Preferences" has no sub-menu: it is a command of the menu bar itself.
TEST(MainWindowView, MenuBarCommandShowsThePreferences) {
  EnsureOffscreenApplication();
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  WindowView view(program.Main());
  program.Activate();
  QAction* preferences = nullptr;
  for (QAction* a : view.menuBar()->actions()) {
    if (a->objectName() == "MNU_Options") preferences = a;
  }
  ASSERT_NE(preferences, nullptr);
  EXPECT_EQ(preferences->menu(), nullptr);
  preferences->trigger();
  EXPECT_TRUE(program.App().FindWindow("TFRM_Pref")->Visible());
}

}  // namespace
}  // namespace orniva
