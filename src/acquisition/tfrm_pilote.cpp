#include "acquisition/tfrm_pilote.h"

namespace orniva {

TFRM_Pilote::TFRM_Pilote(Application& app) : Window(app, "TFRM_Pilote", "Pilote de capture") {
  SetBounds({300, 300, 320, 110});
  BTN_OK.OnClick = [this] { BTN_OKClick(); };
  BTN_Annuler.OnClick = [this] { BTN_AnnulerClick(); };
}

void TFRM_Pilote::BTN_OKClick() {
  result_ = CBX_Pilote.ItemIndex() >= 0 ? std::optional<int>(CBX_Pilote.ItemIndex()) : std::nullopt;
  Hide();
}

void TFRM_Pilote::BTN_AnnulerClick() {
  result_.reset();
  Hide();
}

std::optional<int> TFRM_Pilote::Execute(const std::vector<std::string>& drivers) {
  CBX_Pilote.SetItems(drivers);
  CBX_Pilote.SetItemIndex(drivers.empty() ? -1 : 0);
  result_.reset();
  Show();
  const std::optional<int> chosen = App().Dlg().Choose(Caption(), drivers, 0);
  if (chosen && *chosen >= 0 && *chosen < static_cast<int>(drivers.size())) {
    CBX_Pilote.SelectFromUser(*chosen);
    BTN_OK.Click();
  } else {
    BTN_Annuler.Click();
  }
  return result_;
}

}  // namespace orniva
