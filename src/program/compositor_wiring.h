#pragma once

#include "acquisition/file_commands.h"
#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_ressources.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"

namespace orniva {

// Connects the compositor of the image tool window and the information
// window to the main window's pipeline: the zone, render and result images,
// the settings the pipeline asks for, its compositing and information
// stages, and the durations for the resources window.
void ConnectCompositor(TFRM_Alv& alv, TFRM_Tool_Images& tools, TFRM_Info& info,
                       TFRM_Ressources& resources);

// "Ouvrir" > "Dark" / "Flat" and the pages' open buttons: the file's first
// image fills the dark or flat buffer.
void ConnectCorrectionFiles(TFRM_Alv& alv, FileCommands& files, TFRM_Tool_Images& tools);

}  // namespace orniva
