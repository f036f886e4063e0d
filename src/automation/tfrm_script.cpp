#include "automation/tfrm_script.h"

#include <filesystem>

#include "automation/tfrm_progress.h"

namespace orniva {

TFRM_Script::TFRM_Script(Application& app)
    : Window(app, "TFRM_Script", "Scripts : Nouveau script"), interpreter_(*this, app.Loop()) {
  SetStayOnTop(true);
  SetBounds({150, 120, 520, 420});
  MNU_Enregistrer.SetShortCut("Ctrl+S");
  MNU_Enregistrer.SetEnabled(false);
  MNU_Du_Debut.SetShortCut("F9");
  MNU_Depuis_Curseur.SetShortCut("F8");
  MNU_Pause.SetShortCut("Ctrl+P");
  MNU_Du_Debut.OnClick = [this] { MNU_Du_DebutClick(); };
  MNU_Depuis_Curseur.OnClick = [this] { MNU_Depuis_CurseurClick(); };
  MNU_Arreter.OnClick = [this] { MNU_ArreterClick(); };
  MNU_Pause.OnClick = [this] { MNU_PauseClick(); };
  TMR_Script.OnTimer = [this] { TMR_ScriptTimer(); };
  Memo_Script.Subscribe([this] {
    if (!selecting_) offsetsStale_ = true;
  });
  SetRunMenus(RunMenus::Stopped);
  // Level 1 starts with the (empty) editor text.
  interpreter_.LoadScript({}, false);
}

TFRM_Script::~TFRM_Script() {
  TMR_Script.SetEnabled(false);
}

void TFRM_Script::RunFromFirstLine(bool fromMenu) {
  ScriptInterpreter& s = interpreter_;
  SetRunMenus(RunMenus::Running);
  if (s.ScriptPaused()) {
    s.ResumeScript();
    return;
  }
  if (fromMenu) s.LoadScript({}, false);
  s.Current().WaitState = 1;
  s.StartScript(0);
}

void TFRM_Script::RunFromCaret() {
  ScriptInterpreter& s = interpreter_;
  const std::vector<std::string>& lines = Memo_Script.Lines();
  int sum = 0;
  int found = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    sum += static_cast<int>(lines[i].size()) + 2;
    if (sum > selStart_) {
      found = i;
      break;
    }
  }
  if (found < 0) return;
  SetRunMenus(RunMenus::Running);
  if (s.ScriptPaused()) {
    s.ResumeScript();
    return;
  }
  s.LoadScript({}, false);
  s.Current().WaitState = 1;
  s.StartScript(found);
}

bool TFRM_Script::OpenScript(const std::string& path) {
  if (interpreter_.ScriptRunning() || interpreter_.ScriptPaused()) interpreter_.StopScript();
  if (!interpreter_.LoadScript(path, false)) return false;
  ShowLevelFile(path, true);
  return true;
}

bool TFRM_Script::RunScriptFile(const std::string& name) {
  if (name.empty()) return false;
  const std::string path =
      name.front() == '/' ? name : interpreter_.SystemVariable("%scriptdir").value_or("") + name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  return interpreter_.RunScriptFile(path);
}

void TFRM_Script::ContinueFromMessage() {
  if (!interpreter_.ScriptRunning()) return;
  interpreter_.Current().WaitState = 1;
  interpreter_.ContinueScript(50);
}

void TFRM_Script::SetCaret(int offset) {
  selStart_ = offset < 0 ? 0 : offset;
  selLength_ = 0;
  selecting_ = true;
  Memo_Script.NotifyChanged();
  selecting_ = false;
}

void TFRM_Script::SetEditorLines(const std::vector<std::string>& lines) {
  Memo_Script.SetLines(lines);
  offsetsStale_ = true;
}

void TFRM_Script::ArmRunTimer(int delayMs) {
  // A timer of interval 0 never ticks: the shortest delay is 1 ms.
  TMR_Script.SetInterval(delayMs < 1 ? 1 : delayMs);
  TMR_Script.SetEnabled(true);
}

void TFRM_Script::ShowErrorBox(const std::string& text) {
  App().Dlg().MessageBox(text, "Orniva", MessageKind::Error, MessageButtons::Ok);
}

void TFRM_Script::BringToFront() {
  // Brings a visible window to the front; a hidden one stays hidden.
  if (Visible()) Show();
}

void TFRM_Script::ShowProgress(const std::string& caption, int percent) {
  if (progress_) progress_->ShowProgress(caption, percent);
}

int TFRM_Script::LineOffset(int line) {
  const std::vector<std::string>& lines = Memo_Script.Lines();
  if (offsetsStale_) {
    lineOffsets_.resize(lines.size() + 1);
    int sum = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      lineOffsets_[i] = sum;
      sum += static_cast<int>(lines[i].size()) + 2;
    }
    lineOffsets_[lines.size()] = sum;
    offsetsStale_ = false;
  }
  if (line <= 0) return 0;
  if (line >= static_cast<int>(lines.size())) return lineOffsets_.back();
  return lineOffsets_[line];
}

int TFRM_Script::SelectLine(int line) {
  const std::vector<std::string>& lines = Memo_Script.Lines();
  selStart_ = LineOffset(line);
  selLength_ = line >= 0 && line < static_cast<int>(lines.size())
                   ? static_cast<int>(lines[line].size()) + 1
                   : 1;
  if (Visible()) {
    selecting_ = true;
    Memo_Script.NotifyChanged();
    selecting_ = false;
  }
  return selStart_;
}

void TFRM_Script::SetRunMenus(RunMenus state) {
  MNU_Executer.SetEnabled(state != RunMenus::Running);
  MNU_Du_Debut.SetEnabled(state != RunMenus::Paused);
  MNU_Depuis_Curseur.SetEnabled(true);
  MNU_Arreter.SetEnabled(state != RunMenus::Stopped);
  MNU_Pause.SetEnabled(state == RunMenus::Running);
  if (OnRunMenus) OnRunMenus(state);
}

void TFRM_Script::ShowLevelFile(const std::string& fileName, bool enableSave) {
  SetCaption("Scripts : " + fileName);
  saveFileName_ = fileName;
  if (enableSave) MNU_Enregistrer.SetEnabled(true);
}

}  // namespace orniva
