#include <gtest/gtest.h>

#include <algorithm>

#include "core/virtual_event_loop.h"
#include "program/program.h"

namespace orniva {

TEST(ProgramScript, WindowsInStartUpOrderAndPoursuivreContinues) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  std::vector<std::string> names;
  for (Window* w : program.App().Windows()) {
    names.push_back(w->Name());
    EXPECT_FALSE(w->Visible()) << w->Name();
  }
  const auto at = [&](const char* n) { return std::find(names.begin(), names.end(), n); };
  ASSERT_NE(at("TFRM_Progress"), names.end());
  EXPECT_LT(at("TFRM_Alv"), at("TFRM_Script"));
  EXPECT_LT(at("TFRM_Script"), at("TFRM_Message"));
  EXPECT_LT(at("TFRM_Message"), at("TFRM_Progress"));

  TFRM_Script& script = program.Script();
  script.Memo_Script.SetText("messagebox.showwait(\"pret ?\")\nbeep(question)\n");
  script.MNU_Du_Debut.Click();
  loop.RunFor(5000);
  EXPECT_TRUE(program.Message().BTN_Poursuivre.Visible());
  EXPECT_TRUE(program.RecordingSound().Played().empty());
  program.Message().BTN_Poursuivre.Click();
  EXPECT_TRUE(loop.RunUntil([&] { return !script.Interpreter().ScriptRunning(); }, 1000));
  EXPECT_EQ(program.RecordingSound().Played(), std::vector<std::string>{"beep question"});
}

}  // namespace orniva
