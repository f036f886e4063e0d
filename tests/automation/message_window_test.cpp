#include <gtest/gtest.h>

#include "automation/tfrm_message.h"
#include "core/virtual_event_loop.h"

namespace orniva {

TEST(MessageWindow, LinesAppendClearAndWait) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app(loop, dialogs);
  TFRM_Message w(app);
  w.SetBounds({5000, 100, 360, 160});
  int continued = 0;
  w.OnContinue = [&] { ++continued; };
  w.ShowMessageLine(false, "a");
  w.ShowMessageLine(false, "b");
  EXPECT_TRUE(w.Visible());
  EXPECT_LT(w.GetBounds().left, app.ScreenWidth());  // brought back on screen
  EXPECT_EQ(w.MEMO_Message.Lines(), (std::vector<std::string>{"a", "b"}));
  w.ShowMessageWait(true, "Poursuivre ?");
  EXPECT_EQ(w.MEMO_Message.Lines(), (std::vector<std::string>{"Poursuivre ?"}));
  EXPECT_TRUE(w.BTN_Poursuivre.Visible());
  w.BTN_Poursuivre.Click();
  EXPECT_EQ(continued, 1);
  EXPECT_FALSE(w.BTN_Poursuivre.Visible());
  w.FormKeyUp();
  EXPECT_FALSE(w.Visible());
}

}  // namespace orniva
