#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "automation/system_variables.h"
#include "core/event_loop.h"

namespace orniva {

// A script variable, owned by its level.
struct TVariable {
  std::string Name;  // as declared (trimmed)
  uint8_t Kind = 0;  // 0 integer, 1 string
  std::string StrValue;
  int32_t IntValue = 0;
};

// A label ":name", owned by its level.
struct TEtiquette {
  std::string Name;  // as written after the colon
  int32_t Line = 0;  // zero-based index of the label's own line
};

// One nesting level of the interpreter: level 1 is the script in the editor,
// each script file started from a script (or a function button) runs one
// level higher.
struct TScript {
  static constexpr int kStackSize = 25;
  static constexpr int kMaxVariables = 128;
  static constexpr int kMaxLabels = 128;

  std::string FileName;
  std::vector<std::string> Lines;
  uint8_t WaitState = 0;  // 0 stopped, 1 running, 2 waiting, 3 paused
  std::array<int32_t, kStackSize> ReturnStack{};
  int32_t StackCount = 1;
  std::vector<TVariable> Variables;
  std::vector<TEtiquette> Labels;
  int32_t Phase = 0;  // 1 pre-analysis, 2 running
  int32_t CurrentLine = -1;
  int32_t LineCount = 0;
  int32_t CaretOffset = 0;

  int32_t VariableCount() const { return static_cast<int32_t>(Variables.size()); }
  int32_t LabelCount() const { return static_cast<int32_t>(Labels.size()); }
};

// One flag per kind of long operation a script can wait for; set by the
// command that waits, cleared by the operation's owner when it continues the
// script.
struct WaitFlags {
  bool WaitSequence = false;
  bool WaitLongExposure = false;
  bool WaitIntegration = false;
  bool WaitPlayer = false;
  bool WaitGoto = false;
  bool WaitMove = false;
};

// The states of the run menus and their tool-bar mirrors.
enum class RunMenus { Stopped, Running, Paused };

// What the interpreter needs from the script window around it: the editor
// lines it executes, the run timer, the error box, the progress display and
// the run menus. The window implements it; benchmarks and fuzzers use small
// stand-ins.
class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  virtual const std::vector<std::string>& EditorLines() const = 0;
  virtual void SetEditorLines(const std::vector<std::string>& lines) = 0;
  // Arms the run timer to tick once after delayMs.
  virtual void ArmRunTimer(int delayMs) = 0;
  virtual void DisarmRunTimer() = 0;
  virtual bool RunTimerArmed() const = 0;
  // A modal message box with an error of the script.
  virtual void ShowErrorBox(const std::string& text) {}
  virtual void BringToFront() {}
  virtual void ShowProgress(const std::string& caption, int percent) {}
  // Selects a line in the editor; returns the character offset of its start
  // (the sum of length + 2 over the lines before it).
  virtual int SelectLine(int line) { return 0; }
  virtual void SetRunMenus(RunMenus state) {}
  // The editor now shows the level of this file: caption and save dialog
  // follow; enableSave also enables "&Enregistrer".
  virtual void ShowLevelFile(const std::string& fileName, bool enableSave) {}
  // The file name held by the save dialog.
  virtual std::string DialogFileName() const { return {}; }
  // A stopped script also stops a recording sequence.
  virtual void StopSequencer() {}
};

// The script language interpreter: levels, pre-analysis, line reading,
// operands, expressions, conditions, labels, calls, nested script files and
// the continue step driven by the run timer. Commands of the command table
// register with their lower-case word and a handler taking the argument text;
// every handler ends by ContinueScript, by waiting (WaitState 2 and no
// continue), or by ScriptError.
class ScriptInterpreter {
 public:
  static constexpr int kMaxLevels = 8;
  using Command = std::function<void(std::string_view args)>;

  ScriptInterpreter(ScriptHost& host, EventLoop& loop);

  // The command table.
  void Register(std::string word, Command handler);
  // Runs the command of that (lower-case) word; false when it is not in the
  // table.
  bool ExecuteCommand(std::string_view word, std::string_view args);

  // Reads one line and executes it for phase 1 (pre-analysis) or 2 (run).
  void ExecuteLine(int phase, std::string_view text);
  // The continue step: arms the run timer for the next line, or ends the
  // level when its last line is done.
  void ContinueScript(int delayMs);
  // Prepares and starts a run of the current level at zero-based line F.
  void StartScript(int firstLine);
  // The "A&rrêter" action; also the end of level 1.
  void StopScript();
  void PauseScript();
  // Resume after a pause: the line that was due runs again.
  void ResumeScript();
  // With push, makes a new level above the current one; then loads the file
  // (an empty name copies the editor text) and shows it in the editor.
  // False, with nothing changed, when the file cannot be read or no level is
  // left.
  bool LoadScript(const std::string& fileName, bool push);
  // "Line " + n + " : " + text in a message box, then the script stops.
  void ScriptError(const std::string& text);
  // The run timer's tick: executes the current line of the editor.
  void RunTimerTick();
  // A script file started from a running script or a function button runs
  // on a new level from its first line; false when it cannot be loaded.
  bool RunScriptFile(const std::string& path);

  // Operand reading. Ok: value read, pos after it. Mismatch: the operand is
  // of the other kind or does not start like one of this kind. NotNumeric:
  // an integer was expected but the text (in numberText) is not one that
  // fits in 32 bits; nothing is reported. Failed: the error was reported.
  enum class Operand { Ok, Mismatch, NotNumeric, Failed };
  Operand ReadStringOperand(std::string_view text, size_t& pos, std::string& value);
  Operand ReadIntegerOperand(std::string_view text, size_t& pos, int32_t& value,
                             std::string* numberText = nullptr);
  // One operand of a command argument: a string operand, else an integer
  // operand written as text. Nothing when an error was reported.
  std::optional<std::string> ReadTextArgument(std::string_view field);
  // One integer operand; fallback when the text is not a number. Nothing
  // when an error was reported.
  std::optional<int32_t> ReadIntArgument(std::string_view field, int32_t fallback);
  // A condition of jumpif; nothing when an error was reported.
  std::optional<bool> EvaluateCondition(std::string_view condition);
  std::optional<std::string> SystemVariable(std::string_view name) const;

  SystemVariables& SystemValues() { return systemVariables_; }
  TScript& Level(int n) { return levels_[n - 1]; }
  TScript& Current() { return levels_[level_ - 1]; }
  int ScriptLevel() const { return level_; }
  bool ScriptRunning() const { return running_; }
  bool ScriptPaused() const { return paused_; }
  WaitFlags& Waits() { return waits_; }
  // A waiting command: the level waits (WaitState 2) with its flag set, and
  // the timer stays off.
  void BeginWait(bool& waitFlag);
  // The owner's completion hook: when the script is running and the flag is
  // set, the flag is cleared and the script goes on after 50 ms.
  void CompleteWait(bool& waitFlag);
  TVariable* FindVariable(std::string_view name);
  const std::string& LastError() const { return lastError_; }
  void ClearLastError() { lastError_.clear(); }

  // Called with every line index the run timer executes.
  std::function<void(int line)> OnExecute;
  // Called with every error message, before the script stops.
  std::function<void(const std::string& message)> OnError;
  // Called with a level just before its variables and labels are discarded.
  std::function<void(const TScript& level)> OnDiscard;
  // Called when level 1 stops (end of the script, error or "A&rrêter").
  std::function<void()> OnStopped;

 private:
  struct WordHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  void DeclareVariable(std::string_view args);
  void DeclareLabel(std::string_view line);
  const TEtiquette* FindLabel(std::string_view name) const;
  void JumpTo(std::string_view label);
  void Call(std::string_view label);
  void Return();
  void JumpIf(std::string_view args);
  void CallFar(std::string_view args);
  void Assign(TVariable& variable, std::string_view rest);
  void AssignInteger(TVariable& variable, std::string_view expression);
  void AssignString(TVariable& variable, std::string_view expression);
  std::string_view ReadName(std::string_view text, size_t& pos) const;
  void EndOfLevel();
  void Discard(TScript& level);
  void LeaveLevel();
  // Reports an error message as it stands and stops every level.
  void Fail(const std::string& message);
  void UnknownCommand();

  ScriptHost& host_;
  EventLoop& loop_;
  SystemVariables systemVariables_;
  std::unordered_map<std::string, Command, WordHash, std::equal_to<>> commands_;
  std::array<TScript, kMaxLevels> levels_;
  int level_ = 1;
  bool running_ = false;
  bool paused_ = false;
  WaitFlags waits_;
  uint64_t stops_ = 0;  // counts stops, so a pre-analysis notices one
  std::string lastError_;
};

// Reads a script file: lines separated by CR LF (or LF alone), a UTF-8
// byte-order mark at the start skipped; nothing when the file cannot be read.
std::optional<std::vector<std::string>> ReadScriptFile(const std::string& path);

}  // namespace orniva
