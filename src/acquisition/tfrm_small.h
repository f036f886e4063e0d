#pragma once

#include "acquisition/display_controller.h"
#include "ui/controls.h"

namespace orniva {

// The mini source: a small always-on-top window showing a source page
// reduced, with its display zone; clicks act as on the page itself.
class TFRM_Small : public Window {
 public:
  static constexpr int kPanelHeight = 25;

  explicit TFRM_Small(Application& app);
  // Connects the window to the zones and overlays of the display tool window.
  void Connect(DisplayController& display) { display_ = &display; }
  ~TFRM_Small() override;

  // The chosen source: 1 or 2.
  int Source() const { return RDB_Source1.Checked() ? 1 : 2; }

  Panel PNL_Small{*this, "PNL_Small"};
  RadioButton RDB_Source1{PNL_Small, "RDB_Source1", "Source 1", true};
  RadioButton RDB_Source2{PNL_Small, "RDB_Source2", "Source 2"};
  Picture Img_Small{*this, "Img_Small", 193, 145};

  // The picture takes the client height minus the panel and the width of
  // the zone aspect; the mini-source scale, the zone and its overlay follow.
  void FormResize();
  void Img_SmallMouseUp(MouseButton button, unsigned shift, int x, int y);

 private:
  DisplayController* display_ = nullptr;
  int token_ = 0;
  int lastWidth_ = 0, lastHeight_ = 0;
};

}  // namespace orniva
