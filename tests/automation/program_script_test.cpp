#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

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

// Script files saved by editors that start UTF-8 text with a byte-order
// mark: the mark is skipped, so the first line runs, whether the file is
// opened in the script window or called from a script.
TEST(ProgramScript, ByteOrderMarkBeforeTheFirstLineIsSkipped) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("orniva_bom_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "bom.txt").string();
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF"
                                           "beep(hand)\r\nbeep(question)\r\n";

  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  TFRM_Script& script = program.Script();
  ScriptInterpreter& interpreter = script.Interpreter();
  ASSERT_TRUE(script.OpenScript(path));
  EXPECT_EQ(script.Memo_Script.Lines().front(), "beep(hand)");
  script.MNU_Du_Debut.Click();
  EXPECT_TRUE(loop.RunUntil([&] { return !interpreter.ScriptRunning(); }, 1000));
  EXPECT_EQ(interpreter.LastError(), "");
  EXPECT_EQ(program.RecordingSound().Played(),
            (std::vector<std::string>{"beep hand", "beep question"}));

  interpreter.SystemValues().Set("%scriptdir", [&] { return dir.string() + "/"; });
  script.Memo_Script.SetText("callfar(\"bom.txt\")\nbeep(hand)\n");
  script.MNU_Du_Debut.Click();
  EXPECT_TRUE(loop.RunUntil([&] { return !interpreter.ScriptRunning(); }, 1000));
  EXPECT_EQ(interpreter.LastError(), "");
  EXPECT_EQ(program.RecordingSound().Played(),
            (std::vector<std::string>{"beep hand", "beep question", "beep hand", "beep question",
                                      "beep hand"}));
  std::filesystem::remove_all(dir);
}

}  // namespace orniva
