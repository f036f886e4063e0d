#pragma once

#include <functional>

#include "ui/controls.h"

namespace orniva {

// "Autoguidage": the small tool window that shows each correction and owns
// the axis timers of timed motions and the position polling timer. The
// arrow keys move the mount while it is connected.
class TFRM_Prg_Suivi : public Window {
 public:
  enum Key { kLeft, kUp, kRight, kDown };
  explicit TFRM_Prg_Suivi(Application& app);

  Edit EDT_Sens_Erreur{*this, "EDT_Sens_Erreur"};
  NumEdit TNI_TR_AD{*this, "TNI_TR_AD", 0, 2};
  NumEdit TNI_TR_Dec{*this, "TNI_TR_Dec", 0, 2};
  Edit EDT_Dir_AD{*this, "EDT_Dir_AD"};
  Edit EDT_Duree_AD{*this, "EDT_Duree_AD"};
  Edit EDT_Dir_Dec{*this, "EDT_Dir_Dec"};
  Edit EDT_Duree_Dec{*this, "EDT_Duree_Dec"};
  Edit EDT_DurRA{*this, "EDT_DurRA"};
  Edit EDT_DurDec{*this, "EDT_DurDec"};
  Timer TMR_Suivi_AD{*this, "TMR_Suivi_AD", 1000};
  Timer TMR_Suivi_Dec{*this, "TMR_Suivi_Dec", 1000};
  Timer TMR_ScopePosition{*this, "TMR_ScopePosition", 500};

  // Arrow keys: left East, up North, right West, down South (the mount
  // layer installs OnArrow; it ignores keys while unconnected).
  void FormKeyDown(Key key) { Arrow(key, true); }
  void FormKeyUp(Key key) { Arrow(key, false); }
  std::function<void(int direction, bool down)> OnArrow;

 private:
  void Arrow(Key key, bool down);
};

}  // namespace orniva
