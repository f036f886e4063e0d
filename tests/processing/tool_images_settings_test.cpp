#include <gtest/gtest.h>

#include "core/virtual_event_loop.h"
#include "processing/tfrm_tool_images.h"

namespace orniva {
namespace {

struct Levels {
  int lowMin, lowMax, highMin, highMax, low, high;
  friend bool operator==(const Levels&, const Levels&) = default;
};

std::ostream& operator<<(std::ostream& o, const Levels& l) {
  return o << "low " << l.low << " in " << l.lowMin << ".." << l.lowMax << ", high " << l.high
           << " in " << l.highMin << ".." << l.highMax;
}

struct ToolImagesSettings : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Tool_Images w{app};

  // What the sliders show, after checking that the fields agree with them.
  static Levels Shown(const TFRM_Tool_Images& w) {
    EXPECT_EQ(w.TNI_Seuil_MinMin.Value(), w.SCB_Minimum.Min());
    EXPECT_EQ(w.TNI_Seuil_MinMax.Value(), w.SCB_Minimum.Max());
    EXPECT_EQ(w.TNI_Seuil_MaxMin.Value(), w.SCB_Maximum.Min());
    EXPECT_EQ(w.TNI_Seuil_MaxMax.Value(), w.SCB_Maximum.Max());
    EXPECT_EQ(w.TNI_Seuil_Min.Value(), w.SCB_Minimum.Position());
    EXPECT_EQ(w.TNI_Seuil_Max.Value(), w.SCB_Maximum.Position());
    return {w.SCB_Minimum.Min(), w.SCB_Minimum.Max(),      w.SCB_Maximum.Min(),
            w.SCB_Maximum.Max(), w.SCB_Minimum.Position(), w.SCB_Maximum.Position()};
  }
};

TEST_F(ToolImagesSettings, BoundsAreAppliedBeforeTheLevels) {
  struct Case {
    const char* file;
    Levels expected;
  } cases[] = {
      // No section: the levels start at 0 and 2500 in 0..65535.
      {"[Prefs]\nLangue=1\n", {0, 65535, 0, 65535, 0, 2500}},
      {"[Seuils]\nSeuil_MinMin=100\nSeuil_MinMax=1000\nSeuil_MaxMin=2000\nSeuil_MaxMax=30000\n"
       "Seuil_Min=500\nSeuil_Max=20000\n",
       {100, 1000, 2000, 30000, 500, 20000}},
      // A level beyond 65535 fits only because its bound came first.
      {"[seuils]\nseuil_maxmax=100000\nSEUIL_MAX=80000\n", {0, 65535, 0, 100000, 0, 80000}},
      // Levels outside their bounds stop at them.
      {"[Seuils]\nSeuil_MinMin=100\nSeuil_Min=50\nSeuil_MaxMax=4000\nSeuil_Max=9000\n",
       {100, 65535, 0, 4000, 100, 4000}},
  };
  for (const Case& c : cases) {
    // Away from every default first, so that each value read shows.
    w.TNI_Seuil_MinMin.SetValue(7);
    w.TNI_Seuil_MaxMax.SetValue(9999);
    w.SCB_Minimum.SetPosition(33);
    w.SCB_Maximum.SetPosition(4444);
    IniFile file;
    file.Parse(c.file);
    w.ReadSettings(file);
    EXPECT_EQ(Shown(w), c.expected) << c.file;
  }
}

TEST_F(ToolImagesSettings, WrittenLevelsReadBackInAnotherWindow) {
  w.TNI_Seuil_MaxMin.SetValue(1000);
  w.TNI_Seuil_MaxMax.SetValue(40000);
  w.TNI_Seuil_MinMax.SetValue(900);
  w.SCB_Minimum.SetPosition(120);
  w.SCB_Maximum.SetPosition(31000);
  w.CKB_Visu_Permanente.SetChecked(false);
  IniFile file;
  file.Parse("; mes reglages\n[Seuils]\nSeuil_Max=1\n[Prefs]\nLangue=1\n");
  w.WriteSettings(file);
  EXPECT_EQ(file.Text(),
            "; mes reglages\n[Seuils]\nSeuil_Max=31000\nSeuil_MinMin=0\nSeuil_MaxMin=1000\n"
            "Seuil_MinMax=900\nSeuil_MaxMax=40000\nSeuil_Min=120\n[Prefs]\nLangue=1\n"
            "[Integration]\nCKB_Visu_Permanente.Checked=0\n");
  TFRM_Tool_Images other{app};
  ASSERT_TRUE(other.CKB_Visu_Permanente.Checked());  // its default
  other.ReadSettings(file);
  EXPECT_EQ(Shown(other), (Levels{0, 900, 1000, 40000, 120, 31000}));
  EXPECT_FALSE(other.CKB_Visu_Permanente.Checked());
}

}  // namespace
}  // namespace orniva
