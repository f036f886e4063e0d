#pragma once

#include <functional>
#include <string>
#include <vector>

#include "automation/script_interpreter.h"
#include "core/sound_player.h"
#include "ui/controls.h"

namespace orniva {

class TFRM_Progress;

// The script window: the editor whose lines the interpreter executes, the
// run timer TMR_Script (one line per tick) and the run, pause and stop menu
// items with their enable rules. It owns the interpreter and is its host.
class TFRM_Script : public Window, private ScriptHost {
 public:
  explicit TFRM_Script(Application& app);
  ~TFRM_Script() override;

  Memo Memo_Script{*this, "Memo_Script"};
  Timer TMR_Script{*this, "TMR_Script", 50, false};
  MenuItem MNU_Fichier{*this, "MNU_Fichier", "&Fichier"};
  MenuItem MNU_Enregistrer{MNU_Fichier, "MNU_Enregistrer", "&Enregistrer"};
  MenuItem MNU_Executer{*this, "MNU_Executer", "E&xecuter"};
  MenuItem MNU_Du_Debut{MNU_Executer, "MNU_Du_Debut", "Du début"};
  MenuItem MNU_Depuis_Curseur{MNU_Executer, "MNU_Depuis_Curseur", "Depuis le curseur..."};
  MenuItem MNU_Arreter{*this, "MNU_Arreter", "A&rrêter"};
  MenuItem MNU_Pause{*this, "MNU_Pause", "&Pause"};

  ScriptInterpreter& Interpreter() { return interpreter_; }

  // "Du début": run from the first line (fromMenu copies the editor text
  // into the level first), or resume when paused.
  void RunFromFirstLine(bool fromMenu);
  // "Depuis le curseur...": run from the line holding the caret, or resume
  // when paused.
  void RunFromCaret();
  void MNU_Du_DebutClick() { RunFromFirstLine(true); }
  void MNU_Depuis_CurseurClick() { RunFromCaret(); }
  void MNU_ArreterClick() { interpreter_.StopScript(); }
  void MNU_PauseClick() { interpreter_.PauseScript(); }
  void TMR_ScriptTimer() { interpreter_.RunTimerTick(); }
  // Loads a script file on the current level, as "&Ouvrir" does once the
  // file is chosen; false when it cannot be read.
  bool OpenScript(const std::string& path);
  // Runs a script file of the scripts directory ("%scriptdir"; a full path
  // is taken as it is) on a new level from its first line, as the function
  // buttons and the end of a GOTO do; false when the file does not exist.
  bool RunScriptFile(const std::string& name);
  // "Poursuivre" of the message window: a running script goes on.
  void ContinueFromMessage();

  // The editor's selection (the caret is its start), as character offsets
  // counting two characters per line end.
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetCaret(int offset);

  SoundPlayer& Sound() { return *sound_; }
  void SetSoundPlayer(SoundPlayer& sound) { sound_ = &sound; }
  void SetProgressWindow(TFRM_Progress* progress) { progress_ = progress; }
  const std::string& SaveFileName() const { return saveFileName_; }

  // Message text (replaced by the language file).
  std::string MSG_Script_not_found = "Script introuvable";

  // The run menus changed (the main window's tool bar mirrors them).
  std::function<void(RunMenus)> OnRunMenus;
  // Stops a recording sequence when the script stops.
  std::function<void()> OnStopSequencer;

 private:
  const std::vector<std::string>& EditorLines() const override { return Memo_Script.Lines(); }
  void SetEditorLines(const std::vector<std::string>& lines) override;
  void ArmRunTimer(int delayMs) override;
  void DisarmRunTimer() override { TMR_Script.SetEnabled(false); }
  bool RunTimerArmed() const override { return TMR_Script.Enabled(); }
  void ShowErrorBox(const std::string& text) override;
  void BringToFront() override;
  void ShowProgress(const std::string& caption, int percent) override;
  int SelectLine(int line) override;
  void SetRunMenus(RunMenus state) override;
  void ShowLevelFile(const std::string& fileName, bool enableSave) override;
  std::string DialogFileName() const override { return saveFileName_; }
  void StopSequencer() override {
    if (OnStopSequencer) OnStopSequencer();
  }
  int LineOffset(int line);

  ScriptInterpreter interpreter_;
  RecordingSoundPlayer defaultSound_;
  SoundPlayer* sound_ = &defaultSound_;
  TFRM_Progress* progress_ = nullptr;
  std::string saveFileName_;
  int selStart_ = 0;
  int selLength_ = 0;
  std::vector<int> lineOffsets_;  // start of each line, rebuilt after edits
  bool offsetsStale_ = true;
  bool selecting_ = false;  // our own selection change, not an edit
};

}  // namespace orniva
