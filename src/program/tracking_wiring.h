#pragma once

#include "acquisition/camera_commands.h"
#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "telescope/tfrm_longuepose.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {

// The windows tracking reads or acts on.
struct TrackingWindows {
  TFRM_Alv& alv;
  TFRM_Tool_Suivi& suivi;
  TFRM_Tool_Affichage& display;
  TFRM_Pref& pref;
  TFRM_Longuepose& longExposure;
  CameraCommands& cameras;
};

// Connects the tracking window to the main window: the pipeline's tracking
// step, the guide camera's frames and zone centre, the settings tracking
// reads from the focus aid, the preferences and long exposure, the zone
// display it refreshes and "Debug.log".
void ConnectTracking(const TrackingWindows& w);

}  // namespace orniva
