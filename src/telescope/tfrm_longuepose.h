#pragma once

#include "ui/buttons.h"
#include "ui/window.h"

namespace orniva {

// The long-exposure window "Longue Pose". Until its exposures are built the
// other windows read its switches at their defaults: long exposure off,
// self-guiding as checked (unchecked at start), "Lumistay" off.
class TFRM_Longuepose : public Window {
 public:
  explicit TFRM_Longuepose(Application& app) : Window(app, "TFRM_Longuepose", "Longue Pose") {}
  // Enabled only while a mount interface is chosen.
  CheckBox CKB_Selfguide_Active{*this, "CKB_Selfguide_Active", "Self-Guidage"};
  bool LongExposureActive() const { return false; }
  bool SelfGuiding() const { return CKB_Selfguide_Active.Checked(); }
  bool Lumistay() const { return false; }
};

}  // namespace orniva
