#include <gtest/gtest.h>

#include "core/virtual_event_loop.h"
#include "ui/controls.h"

namespace orniva {
namespace {

class TFRM_Test : public Window {
 public:
  explicit TFRM_Test(Application& app) : Window(app, "TFRM_Test", "Test") {}
  GroupBox GRB_A{*this, "GRB_A", "A"};
  RadioButton RDB_A1{GRB_A, "RDB_A1", "a1", true};
  RadioButton RDB_A2{GRB_A, "RDB_A2", "a2"};
  GroupBox GRB_B{*this, "GRB_B", "B"};
  RadioButton RDB_B1{GRB_B, "RDB_B1", "b1", true};
  CheckBox CKB_Satur{*this, "CKB_Satur", "Seuil de saturation"};
  SpeedButton SPDB_Image{*this, "SPDB_Image", "Image", 1};
  SpeedButton SPDB_Flux{*this, "SPDB_Flux", "Flux", 1};
  SpeedButton SPDB_Free{*this, "SPDB_Free", "Libre", 2, true};
  NumEdit TNI_Seuil{*this, "TNI_Seuil", 10, 1, 0, 255};
  SpinEdit SPED_N{*this, "SPED_N", 5, 1, 10};
  SpinEdit SPED_Free{*this, "SPED_Free", 5};
  ScrollBar SCB_Level{*this, "SCB_Level", 0, 255, 100};
  TrackBar TRKB_Zoom{*this, "TRKB_Zoom", 1, 4, 1};
  ComboBox CBX_Type{*this, "CBX_Type", {"Image", "Dark", "Flat"}, 0};
  Edit EDT_Name{*this, "EDT_Name", "m31"};
  Memo Memo_Script{*this, "Memo_Script"};
  PageControl PGC_Pages{*this, "PGC_Pages"};
  TabSheet TBS_One{PGC_Pages, "TBS_One", "One"};
  TabSheet TBS_Two{PGC_Pages, "TBS_Two", "Two"};
  MenuItem MNU_Bin{*this, "MNU_Bin", "Binning"};
  MenuItem MNU_Bin1{MNU_Bin, "MNU_Bin1", "1x1"};
  MenuItem MNU_Bin2{MNU_Bin, "MNU_Bin2", "2x2"};
  Timer TMR_Tick{*this, "TMR_Tick", 100};
};

struct Fixture : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Test w{app};
  // Counts handler calls per control name.
  std::map<std::string, int> calls;
  void Count(std::function<void()>& handler, const std::string& name) {
    handler = [this, name] { ++calls[name]; };
  }
};

TEST_F(Fixture, SettingValuesFromCodeCallsHandlersAsTheOriginalToolkitDid) {
  Count(w.CKB_Satur.OnClick, "ckb");
  Count(w.RDB_A2.OnClick, "rdb");
  Count(w.SPDB_Flux.OnClick, "spdb");
  Count(w.TNI_Seuil.OnChange, "tni");
  Count(w.SPED_N.OnChange, "sped");
  Count(w.SCB_Level.OnChange, "scb");
  Count(w.CBX_Type.OnChange, "cbx");
  Count(w.EDT_Name.OnChange, "edt");
  Count(w.Memo_Script.OnChange, "memo");
  Count(w.PGC_Pages.OnChange, "pgc");
  Count(w.MNU_Bin1.OnClick, "mnu");

  struct Step {
    std::function<void()> act;
    std::string handler;
    int expected;  // calls of that handler after the step
  };
  const Step steps[] = {
      {[&] { w.CKB_Satur.SetChecked(true); }, "ckb", 1},
      {[&] { w.CKB_Satur.SetChecked(true); }, "ckb", 1},  // unchanged: no call
      {[&] { w.RDB_A2.SetChecked(true); }, "rdb", 1},
      {[&] { w.RDB_A2.SetChecked(false); }, "rdb", 1},  // unchecking calls nothing
      {[&] { w.SPDB_Flux.SetDown(true); }, "spdb", 0},  // Down from code: no click
      {[&] { w.SPDB_Flux.Click(); }, "spdb", 1},
      {[&] { w.TNI_Seuil.SetValue(300); }, "tni", 1},  // code is not clamped
      {[&] { w.SPED_N.SetValue(50); }, "sped", 1},     // clamped to 10, changed
      {[&] { w.SPED_N.SetValue(11); }, "sped", 1},     // clamped to 10 again: unchanged
      {[&] { w.SCB_Level.SetPosition(300); }, "scb", 1},
      {[&] { w.SCB_Level.SetPosition(255); }, "scb", 1},
      {[&] { w.CBX_Type.SetItemIndex(2); }, "cbx", 0},  // index from code: no call
      {[&] { w.CBX_Type.SelectFromUser(1); }, "cbx", 1},
      {[&] { w.EDT_Name.SetText("m42"); }, "edt", 1},
      {[&] { w.Memo_Script.AddLine("wait(1)"); }, "memo", 1},
      {[&] { w.PGC_Pages.SetActivePageIndex(1); }, "pgc", 0},
      {[&] { w.PGC_Pages.SelectFromUser(0); }, "pgc", 1},
      {[&] { w.MNU_Bin1.SetChecked(true); }, "mnu", 0},
      {[&] { w.MNU_Bin1.Click(); }, "mnu", 1},
  };
  int i = 0;
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(calls[s.handler], s.expected) << "step " << i;
    ++i;
  }
  EXPECT_EQ(w.TNI_Seuil.Value(), 300);
  EXPECT_EQ(w.SPED_N.Value(), 10);
  EXPECT_EQ(w.SCB_Level.Position(), 255);
  EXPECT_EQ(w.CBX_Type.Text(), "Dark");
}

TEST_F(Fixture, OperatorEntryIsClampedToTheRange) {
  w.TNI_Seuil.SetValueFromUser(-4);
  EXPECT_EQ(w.TNI_Seuil.Value(), 0);
  w.TNI_Seuil.SetValue(12.345);
  EXPECT_EQ(w.TNI_Seuil.Text(), "12.3");
  w.SPED_Free.SetValue(-1000);  // no range: anything goes
  EXPECT_EQ(w.SPED_Free.Value(), -1000);
  w.TRKB_Zoom.SetRange(2, 3);  // the position follows the range
  EXPECT_EQ(w.TRKB_Zoom.Position(), 2);
}

TEST_F(Fixture, RadioGroupsAreTheirContainers) {
  EXPECT_TRUE(w.RDB_A1.Checked());
  w.RDB_A2.Click();
  EXPECT_FALSE(w.RDB_A1.Checked());
  EXPECT_TRUE(w.RDB_A2.Checked());
  EXPECT_TRUE(w.RDB_B1.Checked());  // another group box
}

TEST_F(Fixture, SpeedButtonGroups) {
  w.SPDB_Image.Click();
  EXPECT_TRUE(w.SPDB_Image.Down());
  w.SPDB_Flux.Click();
  EXPECT_FALSE(w.SPDB_Image.Down());
  EXPECT_TRUE(w.SPDB_Flux.Down());
  w.SPDB_Flux.Click();  // all-up not allowed: stays down
  EXPECT_TRUE(w.SPDB_Flux.Down());
  w.SPDB_Free.Click();
  w.SPDB_Free.Click();  // all-up allowed: back up
  EXPECT_FALSE(w.SPDB_Free.Down());
}

TEST_F(Fixture, RadioMenuItemsUncheckTheirSiblings) {
  w.MNU_Bin1.SetRadioItem(true, 1);
  w.MNU_Bin2.SetRadioItem(true, 1);
  w.MNU_Bin1.SetChecked(true);
  w.MNU_Bin2.SetChecked(true);
  EXPECT_FALSE(w.MNU_Bin1.Checked());
  EXPECT_EQ(w.MNU_Bin.Items().size(), 2u);
  w.MNU_Bin1.SetEnabled(false);
  int clicks = 0;
  w.MNU_Bin1.OnClick = [&] { ++clicks; };
  w.MNU_Bin1.Click();
  EXPECT_EQ(clicks, 0);
}

TEST_F(Fixture, TimersRunOnTheLoopAndRestartWhenSet) {
  std::vector<int64_t> at;
  w.TMR_Tick.OnTimer = [&] { at.push_back(loop.NowMs()); };
  loop.RunFor(250);
  EXPECT_TRUE(at.empty());  // created disabled
  w.TMR_Tick.SetEnabled(true);
  loop.RunFor(250);             // fires at 350, 450
  w.TMR_Tick.SetInterval(100);  // same interval: still restarts from 500
  loop.RunFor(150);
  w.TMR_Tick.SetEnabled(false);
  loop.RunFor(500);
  EXPECT_EQ(at, (std::vector<int64_t>{350, 450, 600}));
  w.TMR_Tick.SetInterval(0);
  w.TMR_Tick.SetEnabled(true);
  EXPECT_FALSE(w.TMR_Tick.Running());  // interval 0 never fires
}

TEST_F(Fixture, ChangesReachSubscribersUntilTheyLeave) {
  int seen = 0;
  int token = w.CKB_Satur.Subscribe([&] { ++seen; });
  w.CKB_Satur.SetCaption("Saturation");
  w.CKB_Satur.SetChecked(true);
  w.CKB_Satur.SetEnabled(false);
  w.CKB_Satur.SetCaption("Saturation");  // unchanged
  EXPECT_EQ(seen, 3);
  w.CKB_Satur.Unsubscribe(token);
  w.CKB_Satur.SetChecked(false);
  EXPECT_EQ(seen, 3);
}

TEST(Memo, TextSplitsAndJoinsLines) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app(loop, dialogs);
  Window w(app, "TFRM_Memo");
  Memo m(w, "Memo");
  m.SetText("a\r\nb\n\nc");
  EXPECT_EQ(m.Lines(), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(m.Text(), "a\nb\n\nc");
  StringGrid g(w, "STG", 2, 2);
  g.SetCell(1, 1, "x");
  g.SetCell(5, 5, "ignored");
  g.SetSize(3, 3);
  EXPECT_EQ(g.Cell(1, 1), "x");
  EXPECT_EQ(g.Cell(9, 9), "");
}

}  // namespace
}  // namespace orniva
