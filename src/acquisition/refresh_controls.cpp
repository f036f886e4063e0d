#include "acquisition/refresh_controls.h"

#include <cstdlib>

#include "core/rounding.h"

namespace orniva {
namespace {

const std::vector<std::string> kSpeeds = {"1", "5", "10", "15", "20", "25", "30", "60", "Custom"};

void SetUpCamera(ComboBox& speed, ScrollBar& scroll, NumEdit& field, Edit& fps) {
  speed.SetText("5");
  scroll.SetSteps(1, 50);
  fps.SetReadOnly(true);
}

}  // namespace

int IntervalForSpeed(const std::string& choice, bool& custom, double& value) {
  custom = choice == "Custom";
  if (custom) return -1;
  char* end = nullptr;
  const long n = std::strtol(choice.c_str(), &end, 10);
  if (choice.empty() || *end != '\0' || n <= 0) return -1;
  value = static_cast<double>(Trunc(1000.0 / static_cast<double>(n)));
  return static_cast<int>(Round(value - 0.5));
}

RefreshControls::RefreshControls(Parent page)
    : LBL_Rafraichissement_Vitesse(page, "LBL_Rafraichissement_Vitesse", "Vitesse (images/sec)"),
      LBL_Rafraichissement_Cam1(page, "LBL_Rafraichissement_Cam1", "Camera 1"),
      CBX_Cam1_IPS(page, "CBX_Cam1_IPS", kSpeeds),
      SCB_Cam1_Tps_Rafraichissement(page, "SCB_Cam1_Tps_Rafraichissement", 1, 5000, 200),
      TNI_Cam1_Tps_Rafraichissement(page, "TNI_Cam1_Tps_Rafraichissement", 200, 0, 1, 10000),
      EDT_Cam1_FPS(page, "EDT_Cam1_FPS"),
      LBL_Rafraichissement_Cam2(page, "LBL_Rafraichissement_Cam2", "Camera 2"),
      CBX_Cam2_IPS(page, "CBX_Cam2_IPS", kSpeeds),
      SCB_Cam2_Tps_Rafraichissement(page, "SCB_Cam2_Tps_Rafraichissement", 1, 5000, 200),
      TNI_Cam2_Tps_Rafraichissement(page, "TNI_Cam2_Tps_Rafraichissement", 200, 0, 1, 10000),
      EDT_Cam2_FPS(page, "EDT_Cam2_FPS"),
      LBL_FPS(page, "LBL_FPS", "Vitesse actuelle (Images/sec):") {
  SetUpCamera(CBX_Cam1_IPS, SCB_Cam1_Tps_Rafraichissement, TNI_Cam1_Tps_Rafraichissement,
              EDT_Cam1_FPS);
  SetUpCamera(CBX_Cam2_IPS, SCB_Cam2_Tps_Rafraichissement, TNI_Cam2_Tps_Rafraichissement,
              EDT_Cam2_FPS);
  SCB_Cam1_Tps_Rafraichissement.SetHint("Rafraichissement (ms)");
  SCB_Cam2_Tps_Rafraichissement.SetHint("Rafraichissement (ms)");
  CBX_Cam1_IPS.OnChange = [this] { CBX_Cam1_IPSChange(); };
  CBX_Cam2_IPS.OnChange = [this] { CBX_Cam2_IPSChange(); };
  SCB_Cam1_Tps_Rafraichissement.OnChange = [this] { SCB_Cam1_Tps_RafraichissementChange(); };
  SCB_Cam2_Tps_Rafraichissement.OnChange = [this] { SCB_Cam2_Tps_RafraichissementChange(); };
  // The operator's entries in the numeric fields act when the key is
  // released; values set by the program do not.
  TNI_Cam1_Tps_Rafraichissement.OnChange = [this] {
    if (!settingValue_) TNI_Cam1_Tps_RafraichissementKeyUp();
  };
  TNI_Cam2_Tps_Rafraichissement.OnChange = [this] {
    if (!settingValue_) TNI_Cam2_Tps_RafraichissementKeyUp();
  };
}

void RefreshControls::SetValue(int camera, double value) {
  settingValue_ = true;
  Field(camera).SetValue(value);
  settingValue_ = false;
}

void RefreshControls::SetInterval(int camera, int64_t interval) {
  if (OnInterval) OnInterval(camera, static_cast<int>(interval));
}

void RefreshControls::SpeedChange(int camera) {
  bool custom = false;
  double value = 0;
  const int interval = IntervalForSpeed(Speed(camera).Text(), custom, value);
  if (custom) {
    Scroll(camera).SetEnabled(true);
    const int position = Scroll(camera).Position();
    SetValue(camera, position);
    SetInterval(camera, Round(position - 0.5));
  } else if (interval >= 0) {
    Scroll(camera).SetEnabled(false);
    SetValue(camera, value);
    SetInterval(camera, interval);
  }
}

void RefreshControls::ScrollChange(int camera) {
  SetValue(camera, Scroll(camera).Position());
  SetInterval(camera, Trunc(Field(camera).Value()));
}

void RefreshControls::FieldKeyUp(int camera) {
  const int64_t value = Trunc(Field(camera).Value());
  Scroll(camera).SetPosition(static_cast<int>(value));
  SetInterval(camera, Trunc(Field(camera).Value()));
}

void RefreshControls::ShowFrameRate(int camera, const std::string& rate) {
  Edit& field = camera == 1 ? EDT_Cam1_FPS : EDT_Cam2_FPS;
  field.SetText(rate);
}

}  // namespace orniva
