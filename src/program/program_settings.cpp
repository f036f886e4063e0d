// The program's settings file: the sections of the windows that keep their
// state in it, read at the first activation and written at the close.
#include "core/log.h"
#include "processing/tfrm_tool_images.h"
#include "program/program.h"
#include "settings/ini_file.h"
#include "sim/simulator_settings.h"

namespace orniva {

void Program::UseSettingsFile() {
  main_->Lifecycle.LoadSettings = [this](const std::string& path) { LoadSettings(path); };
  main_->Lifecycle.SaveSettings = [this] { SaveSettings(); };
}

void Program::LoadSettings(const std::string& path) {
  IniFile file(path);
  const std::string error = file.Load();
  // A settings file that cannot be read is left as it is at the close:
  // everything starts from its defaults.
  settingsWritable_ = error.empty();
  if (!error.empty()) {
    Log("settings", LogLevel::Error, error);
    message_->ShowMessageLine(false, error);
  }
  Get<TFRM_Tool_Images>().ReadSettings(file);
  simulatorSettings_ = ReadSimulatorSettings(file);
}

void Program::SaveSettings() {
  const std::string& path = main_->SettingsFile();
  if (path.empty() || !settingsWritable_) return;
  // The file is read again so that every line this program does not write
  // (other sections, comments, keys of later versions) stays.
  IniFile file(path);
  std::string error = file.Load();
  if (error.empty()) {
    Get<TFRM_Tool_Images>().WriteSettings(file);
    WriteSimulatorSettings(file, simulator_ ? simulator_->Settings() : simulatorSettings_);
    error = file.Save();
  }
  if (!error.empty()) {
    Log("settings", LogLevel::Error, error);
    message_->ShowMessageLine(false, error);
  }
}

}  // namespace orniva
