#include "program/profile_wiring.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "program/preference_settings.h"
#include "settings/ini_file.h"

namespace orniva {
namespace {

struct ProfileKind {
  ComboBox& list;
  std::string prefix;
  std::function<void(const IniFile&, const std::string&)> read;
  std::function<void(IniFile&, const std::string&)> write;
  std::function<void()> loaded;  // what follows a choice in the list
};

bool UsableName(const std::string& name) {
  return !name.empty() && name.find_first_of("]=\r\n") == std::string::npos;
}

void Connect(Button& add, Button& erase, Button& save, std::shared_ptr<ProfileKind> kind,
             TFRM_Message& message, std::function<std::string()> settingsPath) {
  // Runs op on the settings file, then writes it back when asked.
  auto withFile = [&message, settingsPath](const std::function<bool(IniFile&)>& op) {
    const std::string path = settingsPath();
    if (path.empty()) return;
    IniFile file(path);
    std::string error = file.Load();
    if (error.empty() && op(file)) error = file.Save();
    if (!error.empty()) message.ShowMessageLine(false, error);
  };
  auto checkedName = [kind, &message]() -> std::string {
    const std::string name = kind->list.Text();
    if (!UsableName(name)) {
      message.ShowMessageLine(false, "Nom de profil refusé : \"" + name + "\"");
      return {};
    }
    return name;
  };
  kind->list.OnChange = [kind, withFile] {
    withFile([kind](IniFile& file) {
      kind->read(file, kind->prefix + kind->list.Text());
      return false;
    });
    if (kind->loaded) kind->loaded();
  };
  add.OnClick = [kind, withFile, checkedName] {
    const std::string name = checkedName();
    if (name.empty()) return;
    // A name already listed is saved again rather than listed twice.
    if (kind->list.IndexOf(name) < 0) {
      std::vector<std::string> items = kind->list.Items();
      items.push_back(name);
      std::sort(items.begin(), items.end());
      kind->list.SetItems(items);
    }
    kind->list.SetItemIndex(kind->list.IndexOf(name));
    withFile([kind, name](IniFile& file) {
      kind->write(file, kind->prefix + name);
      return true;
    });
  };
  erase.OnClick = [kind, withFile] {
    const std::string name = kind->list.Text();
    const int index = kind->list.IndexOf(name);
    if (index < 0) return;
    std::vector<std::string> items = kind->list.Items();
    items.erase(items.begin() + index);
    kind->list.SetItems(items);
    kind->list.SetItemIndex(-1);
    kind->list.SetText(name);
    withFile([kind, name](IniFile& file) {
      file.EraseSection(kind->prefix + name);
      return true;
    });
  };
  save.OnClick = [kind, withFile, checkedName] {
    const std::string name = checkedName();
    if (name.empty()) return;
    withFile([kind, name](IniFile& file) {
      kind->write(file, kind->prefix + name);
      return true;
    });
  };
}

}  // namespace

void ConnectProfiles(TFRM_Pref& pref, TFRM_Tool_Mesures& mesures, TFRM_Message& message,
                     std::function<std::string()> settingsPath) {
  PrefOpticsPage& optics = pref.Optique;
  auto opticsKind = std::make_shared<ProfileKind>(ProfileKind{
      optics.CBX_Optique, "Optique.",
      [&optics](const IniFile& f, const std::string& s) { ReadOpticsProfile(f, s, optics); },
      [&optics](IniFile& f, const std::string& s) { WriteOpticsProfile(f, s, optics); },
      [&mesures] { mesures.OpticsChanged(); }});
  Connect(optics.BTN_Nouveau_Optique, optics.BTN_Sup_Optique, optics.BTN_Enregistrer_Optique,
          opticsKind, message, settingsPath);
  PrefCameraPage& camera = pref.Camera;
  auto cameraKind = std::make_shared<ProfileKind>(ProfileKind{
      camera.CBX_Camera, "Camera.",
      [&camera](const IniFile& f, const std::string& s) { ReadCameraProfile(f, s, camera); },
      [&camera](IniFile& f, const std::string& s) { WriteCameraProfile(f, s, camera); },
      [&mesures] { mesures.CameraSettingsChanged(true); }});
  Connect(camera.BTN_Nouveau_Camera, camera.BTN_Sup_Camera, camera.BTN_Enregistrer_Camera,
          cameraKind, message, settingsPath);
}

}  // namespace orniva
