#include "acquisition/tfrm_fullscreen.h"

#include "core/canvas.h"

namespace orniva {

TFRM_FullScreen::TFRM_FullScreen(Application& app) : Window(app, "TFRM_FullScreen", "Plein Ecran") {
  SetBorderless(true);
  IMG_FullScreen.SetStretch(true);
  PUM_FullScreen.SetPopup(true);
  IMG_FullScreen.PopupMenu = &PUM_FullScreen;
  MNU_Fermer.OnClick = [this] { CloseFullScreen(); };
  OnKeyDown = [this](int key, unsigned) {
    if (key == kKeyEscape) CloseFullScreen();
  };
}

void TFRM_FullScreen::Open() {
  const int w = App().ScreenWidth(), h = App().ScreenHeight();
  SetBounds({0, 0, w, h});
  SetState(WindowState::Maximized);
  IMG_FullScreen.Bitmap().Resize(w, h);
  IMG_FullScreen.Bitmap().Fill(kBlack);
  if (display_) display_->Host().SetFullScreenChecked(true);
  Show();
  if (display_) display_->Host().ProcessFrame(true, display_->ImageCamera());
}

void TFRM_FullScreen::ShowResult(const Image& result) {
  Image& picture = IMG_FullScreen.Bitmap();
  Canvas(picture).StretchDraw({0, 0, picture.Width(), picture.Height()}, result,
                              {0, 0, result.Width(), result.Height()});
  IMG_FullScreen.Invalidate();
}

void TFRM_FullScreen::CloseFullScreen() {
  if (display_) display_->Host().SetFullScreenChecked(false);
  Close();
}

}  // namespace orniva
