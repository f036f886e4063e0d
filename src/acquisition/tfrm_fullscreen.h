#pragma once

#include "acquisition/display_controller.h"
#include "ui/controls.h"

namespace orniva {

// The full-screen window: borderless and maximised, showing the result page
// stretched over the whole screen. Escape, or "Fermer" in the picture's
// right-click menu, closes it.
class TFRM_FullScreen : public Window {
 public:
  explicit TFRM_FullScreen(Application& app);
  // Connects the window to the zones and overlays of the display tool window.
  void Connect(DisplayController& display) { display_ = &display; }

  Picture IMG_FullScreen{*this, "IMG_FullScreen", 1, 1};
  MenuItem PUM_FullScreen{*this, "PUM_FullScreen"};
  MenuItem MNU_Fermer{PUM_FullScreen, "MNU_Fermer", "Fermer"};

  // "Plein Ecran" / "Mode plein ecran": sizes the picture to the screen,
  // checks the menu item, shows the window and runs the pipeline.
  void Open();
  // What the pipeline does after each result update while "Plein Ecran" is
  // checked.
  void ShowResult(const Image& result);
  void CloseFullScreen();

 private:
  DisplayController* display_ = nullptr;
};

}  // namespace orniva
