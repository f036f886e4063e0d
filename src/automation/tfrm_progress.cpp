#include "automation/tfrm_progress.h"

namespace orniva {

TFRM_Progress::TFRM_Progress(Application& app) : Window(app, "TFRM_Progress") {
  SetBounds({400, 400, 300, 60});
  SetStayOnTop(true);
  PGB_Progress.SetEnabled(false);  // shows progress, takes no input
}

void TFRM_Progress::ShowProgress(const std::string& caption, int percent) {
  SetCaption(caption);
  PGB_Progress.SetPosition(percent);
  if (percent < 99) {
    Show();
  } else {
    Close();
  }
}

}  // namespace orniva
