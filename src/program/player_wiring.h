#pragma once

#include "acquisition/camera_commands.h"
#include "acquisition/file_commands.h"
#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_play_control.h"
#include "automation/script_interpreter.h"

namespace orniva {

// The play-control window between the file source, the image camera's
// refresh timer, the cameras, the integration and a script waiting for the
// end of the playback.
struct PlayerWindows {
  TFRM_Alv& alv;
  FileCommands& files;
  CameraCommands& cameras;
  TFRM_PlayControl& play;
  ScriptInterpreter& script;
};
void ConnectPlayer(const PlayerWindows& w);

}  // namespace orniva
