#include "telescope/tfrm_com_trafic.h"

#include "telescope/mount_kernels.h"

namespace orniva {

TFRM_ComTrafic::TFRM_ComTrafic(Application& app) : Window(app, "TFRM_ComTrafic", "Comm Trafic") {
  SetStayOnTop(true);
  Memo_Historique_Comm.SetReadOnly(true);
  OnClose = [this] {
    if (OnClosed) OnClosed();
  };
}

void TFRM_ComTrafic::AddTrafficLine(bool plain, bool hex, const std::string& label,
                                    const std::string& text) {
  if (Memo_Historique_Comm.LineCount() >= kMaxLines) Memo_Historique_Comm.DeleteLine(0);
  Memo_Historique_Comm.AddLine(plain ? label + " : " + text : TrafficLine(hex, label, text));
}

}  // namespace orniva
