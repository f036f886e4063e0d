#pragma once

#include "ui/window.h"

namespace orniva {

// The motion-detection window "Detection de mouvement". Until detection is
// built it is never armed: every frame passes.
class TFRM_Detect_Mvt : public Window {
 public:
  explicit TFRM_Detect_Mvt(Application& app)
      : Window(app, "TFRM_Detect_Mvt", "Detection de mouvement") {}
  // Switched on, with a reference image and no action pending.
  bool Armed() const { return false; }
  int LevelThreshold() const { return 0; }
  int CountThreshold() const { return 0; }
};

}  // namespace orniva
