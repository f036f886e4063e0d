#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace orniva {

// The driver dialog "Pilote de capture": the capture drivers in a drop-down
// list with the first one selected, "OK" takes the selected one, "Annuler"
// gives up. Texts come from the language keys "FRM_Pilote.Caption",
// "MSG_OK" and "MSG_Annuler".
class TFRM_Pilote : public Window {
 public:
  explicit TFRM_Pilote(Application& app);

  ComboBox CBX_Pilote{*this, "CBX_Pilote"};
  Button BTN_OK{*this, "BTN_OK", "OK"};
  Button BTN_Annuler{*this, "BTN_Annuler", "Annuler"};

  // Shows the dialog modally with these entries ("name version"); the index
  // chosen with "OK", or nothing when cancelled. The operator's choice goes
  // through the application's dialogs (the desktop's modal list, or a
  // queued answer without a display), then lands in the list and buttons
  // as if made on them.
  std::optional<int> Execute(const std::vector<std::string>& drivers);

 private:
  void BTN_OKClick();
  void BTN_AnnulerClick();
  std::optional<int> result_;
};

}  // namespace orniva
