#pragma once

#include <deque>
#include <functional>
#include <string>

#include "program/program.h"
#include "ui/dialogs.h"

namespace orniva {

// A view's dialogs with choice answers given in advance: a queued answer
// answers the next choice dialog without showing it; every other question
// goes to the view's dialogs. The desktop session of the simulator uses it
// to pick the camera driver as the headless run does.
class PresetChoiceDialogs : public Dialogs {
 public:
  explicit PresetChoiceDialogs(Dialogs& view) : view_(view) {}
  void QueueChoice(int index) { choices_.push_back(index); }

  MessageResult MessageBox(const std::string& text, const std::string& caption, MessageKind kind,
                           MessageButtons buttons) override {
    return view_.MessageBox(text, caption, kind, buttons);
  }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& initial) override {
    return view_.InputBox(caption, prompt, initial);
  }
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                      const std::string& initialDir) override {
    return view_.OpenFile(title, filter, initialDir);
  }
  std::optional<std::vector<std::string>> OpenFiles(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& initialDir) override {
    return view_.OpenFiles(title, filter, initialDir);
  }
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& initialDir,
                                      const std::string& defaultName) override {
    return view_.SaveFile(title, filter, initialDir, defaultName);
  }
  std::optional<int> Choose(const std::string& title, const std::vector<std::string>& items,
                            int initialIndex) override;

 private:
  Dialogs& view_;
  std::deque<int> choices_;
};

// Starts camera `camera` of the program on its "Simulateur" driver the way
// an operator does: the camera's start menu, the driver dialog answered
// through queueDriverChoice (given the driver's index before the dialog
// opens), then, with stream, the stream-mode button. False (nothing
// started) when the driver is missing or the camera did not come online.
bool StartSimulatedCamera(Program& program, const std::function<void(int)>& queueDriverChoice,
                          int camera, bool stream);
bool StartSimulatedCamera(Program& program, HeadlessDialogs& dialogs, int camera, bool stream);

// The session of `orniva --simulate`, headless or in the desktop program:
// the simulated observatory is made (its catalogue errors reported), the
// program's mount is connected to the simulated LX200 mount, and camera 1
// starts on the "Simulateur" driver in stream mode. Every outcome is
// reported through report, problems (a catalogue missing, the mount or the
// camera not started) with problem set. False when the camera did not start.
bool StartSimulatedSession(
    Program& program, const std::function<void(int)>& queueDriverChoice,
    const std::function<void(const std::string& text, bool problem)>& report);

// Saves the main window's result page as a 24-bit bitmap file; returns the
// line to show: "result page saved: <path>" or the error naming the file.
std::string SaveResultPage(Program& program, const std::string& path);

}  // namespace orniva
