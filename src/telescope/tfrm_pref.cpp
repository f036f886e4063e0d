#include "telescope/tfrm_pref.h"

#include "platform/serial_port.h"

namespace orniva {

TFRM_Pref::TFRM_Pref(Application& app) : Window(app, "TFRM_Pref", "Préférences") {
  MEMO_Ports_Serie.SetLines(ComDeviceTable::DefaultLines());
  for (NumEdit* e : {&TNI_Vitesse_Est, &TNI_Vitesse_Ouest, &TNI_Vitesse_Nord, &TNI_Vitesse_Sud})
    e->OnChange = [this] { ComputeSpeeds(); };
  CKB_Correct_Sid.OnClick = [this] { ComputeSpeeds(); };
  ComputeSpeeds();
}

void TFRM_Pref::ComputeSpeeds() {
  double east = TNI_Vitesse_Est.Value(), west = TNI_Vitesse_Ouest.Value();
  if (CKB_Correct_Sid.Checked()) {
    double sign = CKB_GOTO_InverseAD.Checked() ? -1 : 1;
    east += sign * kSiderealRate;
    west -= sign * kSiderealRate;
  }
  speeds_[kEast & 3] = east;
  speeds_[kWest & 3] = west;
  speeds_[kNorth & 3] = TNI_Vitesse_Nord.Value();
  speeds_[kSouth & 3] = TNI_Vitesse_Sud.Value();
}

MotionSettings TFRM_Pref::AxisSettings(int direction) const {
  MotionSettings s;
  s.speed = EffectiveSpeed(direction);
  if (IsRaAxis(direction)) {
    s.backlash = TNI_Jeu_AD.Value();
    s.inertiaPercent = RDB_Pourcent_Inertie_AD.Checked();
    s.inertiaMs = TNI_Tps_Inertie_AD.Value();
    s.inertiaPercentValue = SPED_Pourcent_Inertie_AD.Value();
  } else {
    s.backlash = TNI_Jeu_Dec.Value();
    s.inertiaPercent = RDB_Pourcent_Inertie_Dec.Checked();
    s.inertiaMs = TNI_Tps_Inertie_Dec.Value();
    s.inertiaPercentValue = SPED_Pourcent_Inertie_Dec.Value();
  }
  return s;
}

int TFRM_Pref::Pin(int direction) const {
  const NumEdit* e[] = {nullptr, &TNI_Bit_Est, &TNI_Bit_Ouest, &TNI_Bit_Nord, &TNI_Bit_Sud};
  return direction >= 1 && direction <= 4 ? static_cast<int>(e[direction]->Value()) : 2;
}

int TFRM_Pref::ActiveValue(int direction) const {
  const NumEdit* e[] = {nullptr, &TNI_Est_ActiveValue, &TNI_Ouest_ActiveValue,
                        &TNI_Nord_ActiveValue, &TNI_Sud_ActiveValue};
  return direction >= 1 && direction <= 4 ? static_cast<int>(e[direction]->Value()) : 1;
}

}  // namespace orniva
