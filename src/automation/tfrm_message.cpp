#include "automation/tfrm_message.h"

namespace orniva {

TFRM_Message::TFRM_Message(Application& app) : Window(app, "TFRM_Message", "Message") {
  SetStayOnTop(true);
  SetBounds({200, 200, 360, 160});
  MEMO_Message.SetReadOnly(true);
  BTN_Poursuivre.SetVisible(false);
  BTN_Poursuivre.OnClick = [this] { BTN_PoursuivreClick(); };
}

void TFRM_Message::ShowMessageLine(bool clear, const std::string& text) {
  ShowOnScreen();
  BTN_Poursuivre.SetVisible(false);
  if (clear) MEMO_Message.Clear();
  MEMO_Message.AddLine(text);
  if (OnLine) OnLine(text);
}

void TFRM_Message::ShowMessageWait(bool clear, const std::string& text) {
  ShowMessageLine(clear, text);
  BTN_Poursuivre.SetVisible(true);
  if (OnWait) OnWait();
}

void TFRM_Message::BTN_PoursuivreClick() {
  if (OnContinue) OnContinue();
  BTN_Poursuivre.SetVisible(false);
}

void TFRM_Message::FormKeyUp() {
  Hide();
}

}  // namespace orniva
