#pragma once

#include <functional>
#include <string>

#include "ui/controls.h"

namespace orniva {

// Key codes the player answers to.
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyHome = 36;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;

// What the player asks of the file source and of a waiting script.
struct PlayerHooks {
  // Decodes frame (or file) p of the source and runs the pipeline.
  std::function<void(int position)> LoadFrame;
  // Playback came to its end, could not start or was stopped by the
  // operator: a script waiting for the player goes on.
  std::function<void()> PlaybackEnded;
};

// The play-control window "Contrôle de lecture": steps through the frames of
// an AVI file or a list of image files, one step per tick of the image
// camera's refresh timer. Its buttons and keys only press a button; the
// next tick acts on it. The operator cannot close it.
class TFRM_PlayControl : public Window {
 public:
  explicit TFRM_PlayControl(Application& app);

  // The seven motion buttons: one group, at most one down.
  SpeedButton SPDB_REW{*this, "SPDB_REW", "", 1, true};
  SpeedButton SPDB_BACK1{*this, "SPDB_BACK1", "", 1, true};
  SpeedButton SPDB_PlayBackwards{*this, "SPDB_PlayBackwards", "", 1, true};
  SpeedButton SPDB_Stop{*this, "SPDB_Stop", "", 1, true};
  SpeedButton SPDB_PlayForward{*this, "SPDB_PlayForward", "", 1, true};
  SpeedButton SPDB_Forw1{*this, "SPDB_FORW1", "", 1, true};
  SpeedButton SPDB_FF{*this, "SPDB_FF", "", 1, true};
  // Wraps around at both ends.
  SpeedButton SPDB_Loop{*this, "SPDB_Loop", "", 2, true};
  Button BTN_Ajouter{*this, "BTN_Ajouter", "Ajouter"};
  ScrollBar SCB_PlayControl{*this, "SCB_PlayControl", -1, 0, 0};
  Label LBL_Fichier{*this, "LBL_Fichier", "Fichier :"};
  Edit EDT_Fichier{*this, "EDT_Fichier"};
  Label LBL_NbFrames{*this, "LBL_NbFrames", "Total (Img) :"};
  NumEdit TNI_NbFrames{*this, "TNI_NbFrames"};

  PlayerHooks Hooks;

  // A file source starts with count frames at position 0: backward buttons
  // disabled, the others enabled, every button up.
  void StartSource(int count);
  // One tick of the image camera's refresh timer in file mode.
  void Step();
  // Before a camera starts or another file opens: a playing player is
  // stopped by one tick with its stop button down.
  void StopPlaying();
  bool Playing() const { return SPDB_PlayForward.Down() || SPDB_PlayBackwards.Down(); }

  int Position() const { return position_; }
  int Count() const { return count_; }
  void FormKeyDown(int key);

 private:
  void GoTo(int p);
  void ShowPosition();
  void EnableBackward(bool enabled);
  void EnableForward(bool enabled);

  int position_ = 0;
  int count_ = 0;
  bool showing_ = false;  // the scroll bar moved by the player, not by the operator
};

}  // namespace orniva
