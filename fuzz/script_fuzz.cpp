// Fuzz entry for the script interpreter: the input is a script; it runs on
// the virtual clock for a bounded number of lines, with every command the
// interpreter knows so far, nested script files included. It must not
// crash, must never leave a running script without an armed run timer, and
// must leave no level, variable or label behind once stopped.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "automation/script_commands.h"
#include "automation/tfrm_message.h"
#include "automation/tfrm_progress.h"
#include "automation/tfrm_script.h"
#include "core/virtual_event_loop.h"

namespace {

using namespace orniva;

constexpr int kMaxLines = 400;

// Script files the fuzzed scripts may call: one that calls itself (nine
// levels are refused), one that returns, one that is empty.
const std::string& ScriptDirectory() {
  static const std::string dir = [] {
    const auto path = std::filesystem::temp_directory_path() /
                      ("orniva_script_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    std::ofstream(path / "self.txt") << "var(k,integer)\nk := k + 1\ncallfar(\"self.txt\")\n";
    std::ofstream(path / "sub.txt") << "var(s,string)\n:a\ns := s + \"x\"\njumpif(s<\"xxx\",a)\n";
    std::ofstream(path / "empty.txt") << "";
    return path.string() + "/";
  }();
  return dir;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app(loop, dialogs);
  TFRM_Script script(app);
  TFRM_Message message(app);
  TFRM_Progress progress(app);
  RecordingSoundPlayer sound;
  script.SetProgressWindow(&progress);
  script.SetSoundPlayer(sound);
  RegisterControlCommands(script, message);
  ScriptInterpreter& s = script.Interpreter();
  const std::string dir = ScriptDirectory();
  s.SystemValues().Set("%scriptdir", [dir] { return dir; });
  s.SystemValues().Set("%appdir", [dir] { return dir; });
  message.OnWait = [&] { loop.Post([&] { message.BTN_Poursuivre.Click(); }); };
  int lines = 0;
  s.OnExecute = [&](int) { ++lines; };

  script.Memo_Script.SetText(std::string(reinterpret_cast<const char*>(data), size));
  script.MNU_Du_Debut.Click();
  const auto stopped = [&] { return !s.ScriptRunning() && !s.ScriptPaused(); };
  // Thirty virtual days: longer than any wait a script can ask for.
  loop.RunUntil(
      [&] {
        // A running script always has its next line armed, or waits for
        // "Poursuivre" (pressed at once here).
        Check(!s.ScriptRunning() || script.TMR_Script.Enabled() || s.Current().WaitState == 2);
        return stopped() || lines >= kMaxLines;
      },
      30LL * 24 * 3600 * 1000);
  // The operator stops what is still running, level after level.
  for (int i = 0; i <= ScriptInterpreter::kMaxLevels && !stopped(); ++i) {
    script.MNU_Arreter.Click();
  }
  if (std::getenv("SCRIPT_FUZZ_VERBOSE"))
    std::fprintf(stderr, "%d lines, %s\n", lines, s.LastError().c_str());
  Check(stopped());
  Check(s.ScriptLevel() == 1);
  Check(!script.TMR_Script.Enabled());
  for (int level = 1; level <= ScriptInterpreter::kMaxLevels; ++level) {
    Check(s.Level(level).VariableCount() <= TScript::kMaxVariables);
    Check(s.Level(level).LabelCount() <= TScript::kMaxLabels);
    Check(s.Level(level).StackCount >= 1 && s.Level(level).StackCount <= TScript::kStackSize);
  }
  Check(s.Level(1).VariableCount() == 0 && s.Level(1).LabelCount() == 0);
  return 0;
}
