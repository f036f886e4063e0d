#include "settings/window_placements.h"

#include <algorithm>
#include <string>

#include "ui/window.h"

namespace orniva {
namespace {

constexpr const char* kWindows = "Windows";

// The tool windows whose top, left and visibility are kept; the
// long-exposure and play-control windows keep their place only.
constexpr const char* kPlacedAndShown[] = {
    "TFRM_MiseEnStation", "TFRM_Pref",         "TFRM_Tool_Affichage", "TFRM_Tool_Images",
    "TFRM_Tool_Mesures",  "TFRM_ObjectAction", "TFRM_ImgRef",         "TFRM_ComTrafic",
    "TFRM_Prg_Suivi",     "TFRM_FWHM",         "TFRM_Raquette",       "TFRM_ScrCmd",
    "TFRM_Detect_Mvt"};
constexpr const char* kPlacedOnly[] = {"TFRM_Longuepose", "TFRM_PlayControl"};

// The key stem of a window: its name without the leading T.
std::string Stem(const Window& w) {
  return w.Name().substr(1);
}

void ReadPlace(const IniFile& file, Window& w, bool sized) {
  const std::string stem = Stem(w);
  Bounds b = w.GetBounds();
  b.top = file.ReadInteger(kWindows, stem + "_Top", b.top);
  b.left = file.ReadInteger(kWindows, stem + "_Left", b.left);
  if (sized) {
    b.width = std::max(50, file.ReadInteger(kWindows, stem + "_Width", b.width));
    b.height = std::max(50, file.ReadInteger(kWindows, stem + "_Height", b.height));
  }
  w.SetBounds(b);
}

void WritePlace(IniFile& file, const Window& w, bool sized, bool visible) {
  const std::string stem = Stem(w);
  const Bounds& b = w.GetBounds();
  file.WriteInteger(kWindows, stem + "_Top", b.top);
  file.WriteInteger(kWindows, stem + "_Left", b.left);
  if (sized) {
    file.WriteInteger(kWindows, stem + "_Width", b.width);
    file.WriteInteger(kWindows, stem + "_Height", b.height);
  }
  if (visible) file.WriteBool(kWindows, stem + "_visible", w.Visible());
}

}  // namespace

void ReadWindowPlacements(const IniFile& file, Application& app) {
  if (Window* main = app.FindWindow("TFRM_Alv")) {
    Bounds b = main->GetBounds();
    b.height = std::max(100, file.ReadInteger(kWindows, "FRM_AlV_Height", 600));
    b.width = std::max(100, file.ReadInteger(kWindows, "FRM_AlV_Width", 800));
    b.top = file.ReadInteger(kWindows, "FRM_AlV_Top", std::max(0, (app.ScreenHeight() - 600) / 2));
    b.left = file.ReadInteger(kWindows, "FRM_AlV_Left", std::max(0, (app.ScreenWidth() - 800) / 2));
    main->SetBounds(b);
    const int state = file.ReadInteger(kWindows, "FRM_AlV_WindowState", 0);
    main->SetState(state == 1   ? WindowState::Minimized
                   : state == 2 ? WindowState::Maximized
                                : WindowState::Normal);
    main->ShowOnScreen();
  }
  for (const char* name : kPlacedAndShown) {
    Window* w = app.FindWindow(name);
    if (!w) continue;
    ReadPlace(file, *w, false);
    // The motion-detection window's visibility is written, never read.
    if (std::string(name) != "TFRM_Detect_Mvt" &&
        file.ReadBool(kWindows, Stem(*w) + "_visible", false))
      w->ShowOnScreen();
  }
  for (const char* name : kPlacedOnly) {
    if (Window* w = app.FindWindow(name)) ReadPlace(file, *w, false);
  }
  // The message window's place is read, never written: centred by default.
  if (Window* message = app.FindWindow("TFRM_Message")) {
    Bounds b = message->GetBounds();
    b.width = 250;
    b.height = 350;
    b.top = std::max(0, (app.ScreenHeight() - 350) / 2);
    b.left = std::max(0, (app.ScreenWidth() - 250) / 2);
    message->SetBounds(b);
    ReadPlace(file, *message, true);
  }
  if (Window* script = app.FindWindow("TFRM_Script")) {
    Bounds b = script->GetBounds();
    b.width = 400;
    b.height = 300;
    b.top = std::max(0, (app.ScreenHeight() - 300) / 2);
    b.left = std::max(0, (app.ScreenWidth() - 400) / 2);
    script->SetBounds(b);
    ReadPlace(file, *script, true);
    if (file.ReadBool(kWindows, "FRM_Script_visible", false)) script->ShowOnScreen();
  }
}

void WriteWindowPlacements(IniFile& file, const Application& app) {
  if (const Window* main = app.FindWindow("TFRM_Alv")) {
    const Bounds& b = main->GetBounds();
    file.WriteInteger(kWindows, "FRM_AlV_Top", b.top);
    file.WriteInteger(kWindows, "FRM_AlV_Left", b.left);
    file.WriteInteger(kWindows, "FRM_AlV_Height", b.height);
    file.WriteInteger(kWindows, "FRM_AlV_Width", b.width);
    const WindowState s = main->State();
    file.WriteInteger(kWindows, "FRM_AlV_WindowState",
                      s == WindowState::Minimized   ? 1
                      : s == WindowState::Maximized ? 2
                                                    : 0);
  }
  for (const char* name : kPlacedAndShown) {
    if (const Window* w = app.FindWindow(name)) WritePlace(file, *w, false, true);
  }
  for (const char* name : kPlacedOnly) {
    if (const Window* w = app.FindWindow(name)) WritePlace(file, *w, false, false);
  }
  if (const Window* script = app.FindWindow("TFRM_Script")) WritePlace(file, *script, true, true);
}

}  // namespace orniva
