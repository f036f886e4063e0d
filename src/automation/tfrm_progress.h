#pragma once

#include <string>

#include "ui/controls.h"

namespace orniva {

// The progress window: a tool window holding one bar from 0 to 100.
class TFRM_Progress : public Window {
 public:
  explicit TFRM_Progress(Application& app);

  TrackBar PGB_Progress{*this, "PGB_Progress", 0, 100, 0};

  // Sets the caption and the bar; the window is shown while percent is below
  // 99 and closed from 99 on.
  void ShowProgress(const std::string& caption, int percent);
};

}  // namespace orniva
