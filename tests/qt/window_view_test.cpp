#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenuBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "core/virtual_event_loop.h"
#include "offscreen_app.h"
#include "qt/picture_widget.h"
#include "qt/window_view.h"
#include "ui/controls.h"

namespace orniva {
namespace {

class TFRM_Demo : public Window {
 public:
  explicit TFRM_Demo(Application& app) : Window(app, "TFRM_Demo", "Demo") {
    SetBounds({0, 0, 420, 380});
    Image1.Bitmap().Fill(Rgb(200, 30, 30));
  }
  PageControl PGC_Main{*this, "PGC_Main"};
  TabSheet TBS_Reglages{PGC_Main, "TBS_Reglages", "Reglages"};
  GroupBox GRB_Satur{TBS_Reglages, "GRB_Satur", "Saturation"};
  CheckBox CKB_Satur{GRB_Satur, "CKB_Satur", "Seuil de saturation"};
  SpinEdit SPED_Seuil{GRB_Satur, "SPED_Seuil", 255, 0, 255};
  TabSheet TBS_Image{PGC_Main, "TBS_Image", "Image"};
  Picture Image1{TBS_Image, "Image1", 64, 48};
  MenuItem MNU_Fichier{*this, "MNU_Fichier", "Fichier"};
  MenuItem MNU_Quitter{MNU_Fichier, "MNU_Quitter", "Quitter"};
};

struct QtFixture : ::testing::Test {
  static void SetUpTestSuite() { EnsureOffscreenApplication(); }
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Demo model{app};
};

TEST_F(QtFixture, WidgetsAndModelFollowEachOther) {
  WindowView view(model);
  model.Show();
  ASSERT_TRUE(view.isVisible());
  EXPECT_EQ(view.windowTitle(), "Demo");

  int clicks = 0;
  model.CKB_Satur.OnClick = [&] { ++clicks; };
  auto* box = qobject_cast<QCheckBox*>(view.WidgetFor("CKB_Satur"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), "Seuil de saturation");
  // The operator clicks: the model changes and its handler runs once.
  box->click();
  EXPECT_TRUE(model.CKB_Satur.Checked());
  EXPECT_EQ(clicks, 1);
  // The model changes: the widget follows.
  model.CKB_Satur.SetChecked(false);
  EXPECT_FALSE(box->isChecked());
  model.CKB_Satur.SetEnabled(false);
  EXPECT_FALSE(box->isEnabled());

  auto* spin = qobject_cast<QSpinBox*>(view.WidgetFor("SPED_Seuil"));
  ASSERT_NE(spin, nullptr);
  spin->setValue(100);
  EXPECT_EQ(model.SPED_Seuil.Value(), 100);
  model.SPED_Seuil.SetValue(20);
  EXPECT_EQ(spin->value(), 20);

  auto* tabs = view.findChild<QTabWidget*>("PGC_Main");
  ASSERT_NE(tabs, nullptr);
  model.PGC_Main.SetActivePage(model.TBS_Image);
  EXPECT_EQ(tabs->currentIndex(), 1);
  tabs->setCurrentIndex(0);
  EXPECT_EQ(model.PGC_Main.ActivePageIndex(), 0);

  bool quit = false;
  model.MNU_Quitter.OnClick = [&] { quit = true; };
  QAction* action = view.findChild<QAction*>("MNU_Quitter");
  ASSERT_NE(action, nullptr);
  action->trigger();
  EXPECT_TRUE(quit);

  model.Hide();
  EXPECT_FALSE(view.isVisible());
}

TEST_F(QtFixture, PicturesShowTheModelBytesAndAScreenshotIsSaved) {
  WindowView view(model);
  model.Show();
  model.PGC_Main.SetActivePage(model.TBS_Image);
  auto* picture = view.findChild<PictureWidget*>("Image1");
  ASSERT_NE(picture, nullptr);
  QImage shared = picture->View();
  EXPECT_EQ(shared.constBits(), model.Image1.Bitmap().Bits());  // no copy
  EXPECT_EQ(shared.pixelColor(3, 3), QColor(200, 30, 30));
  model.Image1.Bitmap().SetPixel(3, 3, Rgb(0, 255, 0));
  EXPECT_EQ(picture->View().pixelColor(3, 3), QColor(0, 255, 0));

  int downX = -1, downY = -1;
  model.Image1.OnMouseDown = [&](MouseButton b, unsigned shift, int x, int y) {
    if (b == MouseButton::Right && (shift & kShift)) downX = x, downY = y;
  };
  QTest::mousePress(picture, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 12));
  EXPECT_EQ(downX, 10);
  EXPECT_EQ(downY, 12);

  QDir().mkpath(ORNIVA_SCREENSHOT_DIR);
  QString path = QString(ORNIVA_SCREENSHOT_DIR) + "/window_view.png";
  QImage shot = view.grab().toImage();
  EXPECT_TRUE(shot.save(path));
  EXPECT_GT(shot.width(), 100);
}

}  // namespace
}  // namespace orniva
