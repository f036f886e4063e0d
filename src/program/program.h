#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "acquisition/camera_commands.h"
#include "acquisition/combined_frame_source.h"
#include "acquisition/display_host.h"
#include "acquisition/file_commands.h"
#include "acquisition/tfrm_alv.h"
#include "automation/tfrm_message.h"
#include "automation/tfrm_progress.h"
#include "automation/tfrm_script.h"
#include "core/sound_player.h"
#include "platform/port_io.h"
#include "platform/serial_port.h"
#include "processing/tfrm_tool_mesures.h"
#include "program/port_switch.h"
#include "settings/language_texts.h"
#include "sim/simulated_observatory.h"
#include "telescope/mount.h"
#include "ui/controls.h"

namespace orniva {

// The whole program without its view: the application object and every
// window, created hidden in start-up order, with start-up and shut-down.
// The headless run, the Qt view and the tests all drive this one object.
class Program {
 public:
  // onStep hears every start-up and shut-down step from the first one on.
  Program(EventLoop& loop, Dialogs& dialogs, std::function<void(const std::string&)> onStep = {});
  ~Program();

  Application& App() { return app_; }
  TFRM_Alv& Main() { return *main_; }
  TFRM_Message& Message() { return *message_; }
  // The texts of the language applied last.
  const LanguageTexts& Language() const { return language_; }
  TFRM_Tool_Mesures& Measures() { return Get<TFRM_Tool_Mesures>(); }
  TFRM_Script& Script() { return Get<TFRM_Script>(); }
  TFRM_Progress& Progress() { return Get<TFRM_Progress>(); }
  // Sounds go to the recording player until a real one is installed.
  RecordingSoundPlayer& RecordingSound() { return recordingSound_; }
  void SetSoundPlayer(SoundPlayer& sound) {
    sound_ = &sound;
    Script().SetSoundPlayer(sound);
  }
  // The mount command layer with its serial ports and port I/O.
  Mount& Telescope() { return *mount_; }
  CameraCommands& Cameras() { return *cameras_; }
  FileCommands& Files() { return *files_; }
  // The simulated sky and mount behind the cameras' "Simulateur" driver,
  // made at the first call from the catalogues of catalogueDirectory (the
  // program directory when none is given) with the given settings, or else
  // those of the settings file; later calls return it as made.
  SimulatedObservatory& Simulator(const std::string& catalogueDirectory = {},
                                  const std::optional<SimulatorSettings>& settings = {});
  // The settings file "Orniva.ini" of the start directory: read at the first
  // activation, written back when the main window closes. The desktop and
  // headless runs turn it on before the activation; without it nothing is
  // read or written.
  void UseSettingsFile();
  // From now on the mount layer's port lines go to the simulated
  // observatory's relay boxes and camera lines, the relay boxes wired as the
  // preferences say (a run on the simulator).
  void UseSimulatedPorts();
  // The window of class W.
  template <typename W>
  W& Get() {
    for (auto& w : windows_) {
      if (auto* found = dynamic_cast<W*>(w.get())) return *found;
    }
    throw std::logic_error("window not created");
  }

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
  void CreateWindows();
  void Connect();
  void ConnectTelescope();
  void ConnectCapture();
  void ShutdownSteps();
  void LoadSettings(const std::string& path);
  // Lists the language files beside the program in "Langue" and applies
  // the chosen one (the French texts when there is none).
  void ApplyLanguage();
  void SaveSettings();
  // The second step of the settings read, once the main window is shown:
  // where the windows were and which were open.
  void ReadPlacements();
  Application app_;
  RecordingSoundPlayer recordingSound_;
  std::vector<std::unique_ptr<Window>> windows_;
  TFRM_Alv* main_ = nullptr;
  TFRM_Message* message_ = nullptr;
  std::unique_ptr<DisplayHost> display_;  // the display windows' view of the main window
  SoundPlayer* sound_ = &recordingSound_;
  std::unique_ptr<SerialPorts> serial_;
  std::unique_ptr<LinuxPortIo> portIo_;
  std::unique_ptr<PortSwitch> portSwitch_;  // what the mount layer writes through
  std::unique_ptr<Mount> mount_;
  // Declared before the cameras: their simulated sources look through it.
  std::unique_ptr<SimulatedObservatory> simulator_;
  // Each camera's frame sources: the capture devices, the test pattern, then
  // the simulated camera.
  std::unique_ptr<CombinedFrameSource> camera1_, camera2_;
  std::unique_ptr<CameraCommands> cameras_;
  std::unique_ptr<FileCommands> files_;
  bool activated_ = false;
  bool shutDown_ = false;
  // What the settings file gave the simulator.
  SimulatorSettings simulatorSettings_;
  // False when the settings file exists but could not be read: it is then
  // not overwritten at the close.
  bool settingsWritable_ = true;
  // The language the settings file names (a name, or an index in the list).
  std::string languageSetting_;
  LanguageTexts language_;
};

}  // namespace orniva
