#pragma once

#include "ui/controls.h"

namespace orniva {

// The play-control window "Contrôle de lecture" of video files. Its
// "Ajouter" button follows the image tool's modes already; the player's
// other controls come with the video files.
class TFRM_PlayControl : public Window {
 public:
  explicit TFRM_PlayControl(Application& app)
      : Window(app, "TFRM_PlayControl", "Contrôle de lecture") {}
  Button BTN_Ajouter{*this, "BTN_Ajouter", "Ajouter"};
};

}  // namespace orniva
