#pragma once

#include <functional>

#include "ui/controls.h"

namespace orniva {

// The refresh interval of one camera from the "Vitesse (images/sec)" choice:
// Round(Trunc(1000 / n) - 0.5) for a number n; nothing for "Custom" or an
// unreadable choice.
int IntervalForSpeed(const std::string& choice, bool& custom, double& value);

// The "Rafraichissement" page of the display tool window: the refresh speed
// of each camera's timer and its measured frame rate. The controls are
// created on the page given; the window that holds the page connects
// OnInterval to the main window's timers.
class RefreshControls {
 public:
  explicit RefreshControls(Parent page);

  Label LBL_Rafraichissement_Vitesse;
  Label LBL_Rafraichissement_Cam1;
  ComboBox CBX_Cam1_IPS;
  ScrollBar SCB_Cam1_Tps_Rafraichissement;
  NumEdit TNI_Cam1_Tps_Rafraichissement;
  Edit EDT_Cam1_FPS;
  Label LBL_Rafraichissement_Cam2;
  ComboBox CBX_Cam2_IPS;
  ScrollBar SCB_Cam2_Tps_Rafraichissement;
  NumEdit TNI_Cam2_Tps_Rafraichissement;
  Edit EDT_Cam2_FPS;
  Label LBL_FPS;

  void CBX_Cam1_IPSChange() { SpeedChange(1); }
  void CBX_Cam2_IPSChange() { SpeedChange(2); }
  void SCB_Cam1_Tps_RafraichissementChange() { ScrollChange(1); }
  void SCB_Cam2_Tps_RafraichissementChange() { ScrollChange(2); }
  void TNI_Cam1_Tps_RafraichissementKeyUp() { FieldKeyUp(1); }
  void TNI_Cam2_Tps_RafraichissementKeyUp() { FieldKeyUp(2); }

  // Shows a measured frame rate in the camera's field.
  void ShowFrameRate(int camera, const std::string& rate);
  // The refresh value in ms of a camera; times 1000 it is the frame period
  // in microseconds asked of a stream.
  double Value(int camera) { return Field(camera).Value(); }

  // A camera's timer interval changed (ms).
  std::function<void(int camera, int intervalMs)> OnInterval;

 private:
  ComboBox& Speed(int c) { return c == 1 ? CBX_Cam1_IPS : CBX_Cam2_IPS; }
  ScrollBar& Scroll(int c) {
    return c == 1 ? SCB_Cam1_Tps_Rafraichissement : SCB_Cam2_Tps_Rafraichissement;
  }
  NumEdit& Field(int c) {
    return c == 1 ? TNI_Cam1_Tps_Rafraichissement : TNI_Cam2_Tps_Rafraichissement;
  }
  void SetValue(int camera, double value);
  void SetInterval(int camera, int64_t interval);
  void SpeedChange(int camera);
  void ScrollChange(int camera);
  void FieldKeyUp(int camera);
  bool settingValue_ = false;
};

}  // namespace orniva
