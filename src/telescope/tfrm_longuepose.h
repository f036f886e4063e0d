#pragma once

#include "ui/window.h"

namespace orniva {

// The long-exposure window "Longue Pose". Until its exposures are built the
// other windows read its switches at their defaults: long exposure off,
// self-guiding off, "Lumistay" off.
class TFRM_Longuepose : public Window {
 public:
  explicit TFRM_Longuepose(Application& app) : Window(app, "TFRM_Longuepose", "Longue Pose") {}
  bool LongExposureActive() const { return false; }
  bool SelfGuiding() const { return false; }
  bool Lumistay() const { return false; }
};

}  // namespace orniva
