#pragma once

#include "acquisition/camera_commands.h"
#include "acquisition/file_commands.h"
#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_play_control.h"
#include "acquisition/tfrm_ressources.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {

// Connects the compositor of the image tool window and the information
// window to the main window's pipeline: the zone, render and result images,
// the settings the pipeline asks for, its compositing and information
// stages, and the durations for the resources window.
struct CompositorWindows {
  TFRM_Alv& alv;
  TFRM_Tool_Images& tools;
  TFRM_Info& info;
  TFRM_Ressources& resources;
  TFRM_Tool_Affichage& display;
  TFRM_Tool_Suivi& suivi;
  TFRM_PlayControl& play;
  CameraCommands& cameras;
};
void ConnectCompositor(const CompositorWindows& w);

// "Ouvrir" > "Dark" / "Flat" and the pages' open buttons: the file's first
// image fills the dark or flat buffer.
void ConnectCorrectionFiles(TFRM_Alv& alv, FileCommands& files, TFRM_Tool_Images& tools);

}  // namespace orniva
