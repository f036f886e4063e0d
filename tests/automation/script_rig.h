#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "automation/script_commands.h"
#include "automation/tfrm_message.h"
#include "automation/tfrm_progress.h"
#include "automation/tfrm_script.h"
#include "core/virtual_event_loop.h"

namespace orniva {

// A script window with its message and progress windows on the virtual
// clock, recording the line trace (time, line), the message boxes and the
// variables of level 1 as they were when the level ended.
struct ScriptRig {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Script script{app};
  TFRM_Message message{app};
  TFRM_Progress progress{app};
  RecordingSoundPlayer sound;
  ScriptInterpreter& s = script.Interpreter();
  std::vector<std::pair<int64_t, int>> trace;
  std::string finalVariables;
  std::filesystem::path dir;

  ScriptRig() {
    script.SetProgressWindow(&progress);
    script.SetSoundPlayer(sound);
    RegisterControlCommands(script, message);
    s.OnExecute = [this](int line) { trace.emplace_back(loop.NowMs(), line); };
    s.OnDiscard = [this](const TScript& level) {
      if (&level != &s.Level(1)) return;
      finalVariables.clear();
      for (const TVariable& v : level.Variables) {
        if (!finalVariables.empty()) finalVariables += ' ';
        finalVariables +=
            v.Name + '=' + (v.Kind == 0 ? std::to_string(v.IntValue) : "'" + v.StrValue + "'");
      }
    };
  }
  ~ScriptRig() {
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }

  // A folder for script files, used as the scripts directory.
  void WriteFile(const std::string& name, const std::string& text) {
    if (dir.empty()) {
      dir = std::filesystem::temp_directory_path() /
            ("orniva_script_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
      std::filesystem::create_directories(dir);
      const std::string d = dir.string() + "/";
      s.SystemValues().Set("%scriptdir", [d] { return d; });
    }
    std::ofstream(dir / name, std::ios::binary) << text;
  }

  void Start(const std::string& text) {
    script.Memo_Script.SetText(text);
    script.MNU_Du_Debut.Click();
  }
  bool Running() const { return s.ScriptRunning() || s.ScriptPaused(); }
  // Runs until the script stops (at most ten virtual hours).
  bool RunToEnd() {
    return loop.RunUntil([this] { return !Running(); }, 36'000'000);
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& a : dialogs.History()) {
      if (a.kind == "message") out.push_back(a.text);
    }
    return out;
  }
};

}  // namespace orniva
