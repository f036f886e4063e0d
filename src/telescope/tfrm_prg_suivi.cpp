#include "telescope/tfrm_prg_suivi.h"

#include "telescope/mount_kernels.h"

namespace orniva {

TFRM_Prg_Suivi::TFRM_Prg_Suivi(Application& app) : Window(app, "TFRM_Prg_Suivi", "Autoguidage") {
  SetStayOnTop(true);
  for (Edit* e : {&EDT_Sens_Erreur, &EDT_Dir_AD, &EDT_Duree_AD, &EDT_Dir_Dec, &EDT_Duree_Dec,
                  &EDT_DurRA, &EDT_DurDec})
    e->SetReadOnly(true);
}

void TFRM_Prg_Suivi::Arrow(Key key, bool down) {
  static const int kDirs[] = {kEast, kNorth, kWest, kSouth};
  if (OnArrow) OnArrow(kDirs[key], down);
}

}  // namespace orniva
