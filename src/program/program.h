#pragma once

#include <functional>
#include <memory>
#include <string>

#include "acquisition/tfrm_alv.h"
#include "automation/tfrm_message.h"
#include "automation/tfrm_progress.h"
#include "automation/tfrm_script.h"
#include "core/sound_player.h"
#include "ui/controls.h"

namespace orniva {

// The whole program without its view: the application object and every
// window, created hidden in start-up order, with start-up and shut-down.
// The headless run, the Qt view and the tests all drive this one object.
class Program {
 public:
  Program(EventLoop& loop, Dialogs& dialogs);
  ~Program();

  Application& App() { return app_; }
  TFRM_Alv& Main() { return *main_; }
  TFRM_Script& Script() { return *script_; }
  TFRM_Message& Message() { return *message_; }
  TFRM_Progress& Progress() { return *progress_; }
  // Sounds go to the recording player until a real one is installed.
  RecordingSoundPlayer& RecordingSound() { return recordingSound_; }
  void SetSoundPlayer(SoundPlayer& sound) { script_->SetSoundPlayer(sound); }

  // Start-up and shut-down steps report what they do through this (the
  // headless run prints them).
  std::function<void(const std::string&)> OnStep;

  // The main window's first activation.
  void Activate();
  // Closes the main window and runs the shut-down; returns false when the
  // close was refused.
  bool Shutdown();
  bool Activated() const { return activated_; }

 private:
  void Step(const std::string& what);
  void ShutdownSteps();
  Application app_;
  RecordingSoundPlayer recordingSound_;
  std::unique_ptr<TFRM_Alv> main_;
  std::unique_ptr<TFRM_Script> script_;
  std::unique_ptr<TFRM_Message> message_;
  std::unique_ptr<TFRM_Progress> progress_;
  bool activated_ = false;
  bool shutDown_ = false;
};

}  // namespace orniva
