#include "acquisition/refresh_controls.h"

#include <gtest/gtest.h>

#include "core/virtual_event_loop.h"

namespace orniva {
namespace {

class TFRM_Page : public Window {
 public:
  explicit TFRM_Page(Application& app) : Window(app, "TFRM_Page") {}
  RefreshControls Refresh{*this};
};

struct RefreshFixture : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Page w{app};
  int intervals[3] = {0, 0, 0};
  RefreshFixture() {
    w.Refresh.OnInterval = [this](int camera, int ms) { intervals[camera] = ms; };
  }
};

TEST_F(RefreshFixture, SpeedChoicesGiveTheirIntervals) {
  struct Case {
    const char* speed;
    int value, interval;
  };
  // Round(Trunc(1000 / n) - 0.5), half to even.
  const Case cases[] = {{"1", 1000, 1000}, {"5", 200, 200}, {"10", 100, 100}, {"15", 66, 66},
                        {"20", 50, 50},    {"25", 40, 40},  {"30", 33, 32},   {"60", 16, 16}};
  for (const Case& c : cases) {
    w.Refresh.CBX_Cam2_IPS.SelectFromUser(w.Refresh.CBX_Cam2_IPS.IndexOf(c.speed));
    EXPECT_EQ(intervals[2], c.interval) << c.speed;
    EXPECT_EQ(w.Refresh.TNI_Cam2_Tps_Rafraichissement.Value(), c.value) << c.speed;
    EXPECT_FALSE(w.Refresh.SCB_Cam2_Tps_Rafraichissement.Enabled());
  }
  EXPECT_EQ(intervals[1], 0);  // the other camera is left alone
}

TEST_F(RefreshFixture, CustomUsesTheScrollBarAndTypedValuesAreTakenWhole) {
  RefreshControls& r = w.Refresh;
  r.SCB_Cam1_Tps_Rafraichissement.SetPosition(33);
  EXPECT_EQ(intervals[1], 33);  // the scroll bar's own change: Trunc(value)
  r.CBX_Cam1_IPS.SelectFromUser(r.CBX_Cam1_IPS.IndexOf("Custom"));
  EXPECT_TRUE(r.SCB_Cam1_Tps_Rafraichissement.Enabled());
  EXPECT_EQ(intervals[1], 32);  // Round(33 - 0.5)
  r.SCB_Cam1_Tps_Rafraichissement.SetPosition(120);
  EXPECT_EQ(intervals[1], 120);
  r.TNI_Cam1_Tps_Rafraichissement.SetValueFromUser(33);
  EXPECT_EQ(intervals[1], 33);
  EXPECT_EQ(r.SCB_Cam1_Tps_Rafraichissement.Position(), 33);
  // Beyond the scroll bar's range the bar stops at 5000 and takes the value with it.
  r.TNI_Cam1_Tps_Rafraichissement.SetValueFromUser(8000);
  EXPECT_EQ(r.SCB_Cam1_Tps_Rafraichissement.Position(), 5000);
  EXPECT_EQ(intervals[1], 5000);
}

}  // namespace
}  // namespace orniva
