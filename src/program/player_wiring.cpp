#include "program/player_wiring.h"

namespace orniva {

void ConnectPlayer(const PlayerWindows& w) {
  TFRM_Alv& alv = w.alv;
  FileCommands& files = w.files;
  TFRM_PlayControl& play = w.play;
  ScriptInterpreter& script = w.script;

  alv.Hooks.StepPlayer = [&play](int) { play.Step(); };
  w.cameras.Hooks.StopPlayer = [&play] { play.StopPlaying(); };
  w.cameras.Hooks.CloseAvi = [&files] { files.CloseAvi(); };
  alv.Lifecycle.CloseAvi = [&files] { files.CloseAvi(); };
  alv.Lifecycle.CreatePlayerFileList = [&files] { files.ClearFileList(); };
  alv.Lifecycle.FreePlayerFileList = [&files] { files.ClearFileList(); };

  files.Hooks.ShowPlayerFile = [&play](const std::string& text) { play.EDT_Fichier.SetText(text); };
  // The window opens at the main window's left edge.
  files.Hooks.StartPlayer = [&play, &alv](int count) {
    play.StartSource(count);
    Bounds b = play.GetBounds();
    b.left = alv.GetBounds().left;
    play.SetBounds(b);
    play.ShowOnScreen();
  };
  play.Hooks.LoadFrame = [&files](int position) {
    files.SetPosition(position);
    files.LoadImage();
  };
  play.Hooks.PlaybackEnded = [&script] { script.CompleteWait(script.Waits().WaitPlayer); };
  // "Ajouter": the frame on display goes into the integration, its display
  // zone taken afresh (the frame may have been shown before integration was
  // switched on, when the pipeline had no reason to copy it).
  play.BTN_Ajouter.OnClick = [&alv] {
    if (alv.Hooks.ComposeResult && alv.ImagesCreated()) {
      alv.CopyDisplayZone(alv.ZoneImage());
      alv.Hooks.ComposeResult(alv.State.targetBuffer, true, false, alv.State.permanentView);
    }
  };
}

}  // namespace orniva
