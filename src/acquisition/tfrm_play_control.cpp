#include "acquisition/tfrm_play_control.h"

namespace orniva {

TFRM_PlayControl::TFRM_PlayControl(Application& app)
    : Window(app, "TFRM_PlayControl", "Contrôle de lecture") {
  SPDB_REW.SetHint("Rembobiner");
  SPDB_BACK1.SetHint("Image précédente");
  SPDB_PlayBackwards.SetHint("Jouer à l'envers");
  SPDB_Stop.SetHint("Stop");
  SPDB_PlayForward.SetHint("Jouer");
  SPDB_Forw1.SetHint("Image suivante");
  SPDB_FF.SetHint("Avance rapide");
  SPDB_Loop.SetHint("Mode boucle");
  BTN_Ajouter.SetHint("Additionner l'image en cours à l'integration");
  EDT_Fichier.SetReadOnly(true);
  TNI_NbFrames.SetReadOnly(true);
  OnCloseQuery = [] { return false; };
  OnKeyDown = [this](int key, unsigned) { FormKeyDown(key); };
  // Stopped by the operator: a script waiting for the end goes on.
  SPDB_Stop.OnClick = [this] {
    if (Hooks.PlaybackEnded) Hooks.PlaybackEnded();
  };
  SCB_PlayControl.OnChange = [this] {
    if (showing_ || count_ <= 0) return;
    const int p = SCB_PlayControl.Position();
    position_ = p < 0 ? 0 : (p > count_ - 1 ? count_ - 1 : p);
    SPDB_Stop.SetDown(true);
  };
}

void TFRM_PlayControl::FormKeyDown(int key) {
  SpeedButton* b = nullptr;
  switch (key) {
    case kKeyHome:
      b = &SPDB_REW;
      break;
    case kKeyDown:
      b = &SPDB_BACK1;
      break;
    case kKeyLeft:
      b = &SPDB_PlayBackwards;
      break;
    case kKeySpace:
      b = &SPDB_Stop;
      break;
    case kKeyRight:
      b = &SPDB_PlayForward;
      break;
    case kKeyUp:
      b = &SPDB_Forw1;
      break;
    case kKeyEnd:
      b = &SPDB_FF;
      break;
    default:
      return;
  }
  if (b->Enabled()) b->SetDown(true);
}

void TFRM_PlayControl::ShowPosition() {
  showing_ = true;
  SCB_PlayControl.SetRange(-1, count_);
  SCB_PlayControl.SetPosition(position_);
  TNI_NbFrames.SetValue(count_);
  showing_ = false;
}

void TFRM_PlayControl::EnableBackward(bool enabled) {
  SPDB_REW.SetEnabled(enabled);
  SPDB_BACK1.SetEnabled(enabled);
  SPDB_PlayBackwards.SetEnabled(enabled);
  if (!enabled) {
    SPDB_REW.SetDown(false);
    SPDB_BACK1.SetDown(false);
    SPDB_PlayBackwards.SetDown(false);
  }
}

void TFRM_PlayControl::EnableForward(bool enabled) {
  SPDB_Forw1.SetEnabled(enabled);
  SPDB_PlayForward.SetEnabled(enabled);
  SPDB_FF.SetEnabled(enabled);
  if (!enabled) {
    SPDB_Forw1.SetDown(false);
    SPDB_PlayForward.SetDown(false);
    SPDB_FF.SetDown(false);
  }
}

void TFRM_PlayControl::StartSource(int count) {
  count_ = count < 0 ? 0 : count;
  position_ = 0;
  for (SpeedButton* b : {&SPDB_REW, &SPDB_BACK1, &SPDB_PlayBackwards, &SPDB_Stop, &SPDB_PlayForward,
                         &SPDB_Forw1, &SPDB_FF}) {
    b->SetDown(false);
  }
  EnableBackward(false);
  EnableForward(true);
  SPDB_Stop.SetEnabled(true);
  SPDB_Loop.SetEnabled(true);
  ShowPosition();
  // Nothing to play: a script waiting for the end must not wait forever.
  if (count_ == 0 && Hooks.PlaybackEnded) Hooks.PlaybackEnded();
}

void TFRM_PlayControl::GoTo(int p) {
  position_ = p;
  ShowPosition();
  if (Hooks.LoadFrame) Hooks.LoadFrame(position_);
}

void TFRM_PlayControl::Step() {
  if (count_ <= 0) return;
  const bool loop = SPDB_Loop.Down();
  if (position_ != 0) {
    EnableBackward(true);
  } else if (loop) {
    EnableBackward(true);
    if (SPDB_PlayBackwards.Down() || SPDB_BACK1.Down()) {
      position_ = count_;
      ShowPosition();
    }
  } else {
    EnableBackward(false);
  }
  if (position_ == count_ - 1) {
    if (loop) {
      EnableForward(true);
      if (SPDB_PlayForward.Down() || SPDB_Forw1.Down()) position_ = -1;
    } else {
      EnableForward(false);
      if (Hooks.PlaybackEnded) Hooks.PlaybackEnded();
    }
  } else {
    EnableForward(true);
  }
  if (SPDB_REW.Down()) {
    SPDB_REW.SetDown(false);
    GoTo(0);
  } else if (SPDB_FF.Down()) {
    SPDB_FF.SetDown(false);
    GoTo(count_ - 1);
  } else if (SPDB_BACK1.Down()) {
    SPDB_BACK1.SetDown(false);
    if (position_ > 0) GoTo(position_ - 1);
  } else if (SPDB_Forw1.Down()) {
    SPDB_Forw1.SetDown(false);
    if (position_ < count_ - 1) GoTo(position_ + 1);
  } else if (SPDB_PlayBackwards.Down()) {
    if (position_ > 0) GoTo(position_ - 1);
  } else if (SPDB_PlayForward.Down()) {
    if (position_ < count_ - 1) GoTo(position_ + 1);
  } else if (SPDB_Stop.Down()) {
    SPDB_Stop.SetDown(false);
    GoTo(position_);
  }
}

void TFRM_PlayControl::StopPlaying() {
  if (!Playing()) return;
  SPDB_Stop.SetDown(true);
  Step();
}

}  // namespace orniva
