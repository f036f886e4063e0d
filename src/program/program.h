#pragma once

#include <functional>
#include <memory>
#include <string>

#include "acquisition/tfrm_alv.h"
#include "automation/tfrm_message.h"
#include "processing/tfrm_tool_mesures.h"
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
  TFRM_Message& Message() { return *message_; }
  TFRM_Tool_Mesures& Measures() { return *mesures_; }

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
  std::unique_ptr<TFRM_Alv> main_;
  std::unique_ptr<TFRM_Tool_Mesures> mesures_;
  std::unique_ptr<TFRM_Message> message_;
  bool activated_ = false;
  bool shutDown_ = false;
};

}  // namespace orniva
