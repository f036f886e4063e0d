// The program's settings file: the sections of the windows that keep their
// state in it, read at the first activation and written at the close.
#include <filesystem>

#include "acquisition/tfrm_tool_affichage.h"
#include "core/log.h"
#include "core/paths.h"
#include "processing/tfrm_tool_images.h"
#include "program/mount_settings.h"
#include "program/preference_settings.h"
#include "program/program.h"
#include "settings/ini_file.h"
#include "settings/window_placements.h"
#include "sim/simulator_settings.h"

namespace orniva {

void Program::UseSettingsFile() {
  main_->Lifecycle.LoadSettings = [this](const std::string& path) { LoadSettings(path); };
  main_->Lifecycle.SaveSettings = [this] { SaveSettings(); };
}

void Program::LoadSettings(const std::string& path) {
  // A first start may be given its settings as "orniva.one" in the start
  // directory: copied to the settings file when that one does not exist.
  std::error_code ec;
  const std::string seed = JoinPath(main_->ProgramDirectory(), "orniva.one");
  if (!std::filesystem::exists(path, ec) && std::filesystem::is_regular_file(seed, ec)) {
    std::filesystem::copy_file(seed, path, std::filesystem::copy_options::skip_existing, ec);
    if (ec) {
      const std::string error =
          "Impossible de copier " + seed + " vers " + path + " (" + ec.message() + ")";
      Log("settings", LogLevel::Warning, error);
      message_->ShowMessageLine(false, error);
    }
  }
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
  ReadPreferenceSettings(file, main_->ProgramDirectory(), Get<TFRM_Pref>(),
                         Get<TFRM_Tool_Affichage>(), Get<TFRM_Tool_Images>());
  ReadTrackingSettings(file, Get<TFRM_Tool_Suivi>(), Measures());
  ReadMountSettings(file, Get<TFRM_Pref>());
  languageSetting_ = file.ReadString("Prefs", "Langue", "0");
  // The total focal length follows the optics read; the sampling keeps its
  // saved value until a camera starts or the optics change.
  Measures().ComputeEffectiveFocal();
  simulatorSettings_ = ReadSimulatorSettings(file);
}

void Program::ReadPlacements() {
  const std::string& path = main_->SettingsFile();
  if (path.empty()) return;
  IniFile file(path);
  if (!file.Load().empty()) return;  // reported at the first step
  ReadWindowPlacements(file, app_);
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
    WritePreferenceSettings(file, Get<TFRM_Pref>(), Get<TFRM_Tool_Affichage>(),
                            Get<TFRM_Tool_Images>());
    WriteTrackingSettings(file, Get<TFRM_Tool_Suivi>(), Measures());
    WriteWindowPlacements(file, app_);
    // The language by its name: the list's order changes with the files.
    const ComboBox& language = Get<TFRM_Pref>().Langue.CBX_Langue;
    if (language.ItemIndex() >= 0) file.WriteString("Prefs", "Langue", language.Text());
    WriteMountSettings(file, Get<TFRM_Pref>());
    WriteSimulatorSettings(file, simulator_ ? simulator_->Settings() : simulatorSettings_);
    error = file.Save();
  }
  if (!error.empty()) {
    Log("settings", LogLevel::Error, error);
    message_->ShowMessageLine(false, error);
  }
}

}  // namespace orniva
