#pragma once

#include "acquisition/camera_commands.h"
#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "processing/tfrm_tool_images.h"
#include "processing/tfrm_tool_mesures.h"
#include "telescope/tfrm_longuepose.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {

// The windows that follow the cameras.
struct CameraWindows {
  TFRM_Alv& alv;
  CameraCommands& cameras;
  TFRM_Pref& pref;
  TFRM_Tool_Affichage& display;
  TFRM_Tool_Images& tools;
  TFRM_Tool_Suivi& suivi;
  TFRM_Tool_Mesures& mesures;
  TFRM_Longuepose& longExposure;
};

// Connects the cameras to the windows that follow them: the refresh speeds,
// "Debug actif", the long-exposure window, the zone limits and centring of a
// new format, the level controls, and the switches that a camera's start
// enables and its stop switches off.
void ConnectCameras(const CameraWindows& w);

}  // namespace orniva
