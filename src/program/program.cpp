#include "program/program.h"

#include "automation/script_commands.h"

namespace orniva {

Program::Program(EventLoop& loop, Dialogs& dialogs) : app_(loop, dialogs) {
  main_ = std::make_unique<TFRM_Alv>(app_);
  script_ = std::make_unique<TFRM_Script>(app_);
  message_ = std::make_unique<TFRM_Message>(app_);
  progress_ = std::make_unique<TFRM_Progress>(app_);
  script_->SetProgressWindow(progress_.get());
  script_->SetSoundPlayer(recordingSound_);
  RegisterControlCommands(*script_, *message_);
  main_->MNU_Quitter.OnClick = [this] { Shutdown(); };
  // Closing the main window ends the program.
  main_->OnClose = [this] { ShutdownSteps(); };
}

Program::~Program() {
  Shutdown();
}

void Program::Step(const std::string& what) {
  if (OnStep) OnStep(what);
}

void Program::Activate() {
  if (activated_) return;
  activated_ = true;
  Step("windows created: " + std::to_string(app_.Windows().size()));
  main_->Show();
  Step("main window shown: " + main_->Caption());
}

bool Program::Shutdown() {
  if (shutDown_) return true;
  return main_->Close();
}

void Program::ShutdownSteps() {
  if (shutDown_) return;
  shutDown_ = true;
  Step("shut-down complete");
  app_.Loop().Quit(0);
}

}  // namespace orniva
