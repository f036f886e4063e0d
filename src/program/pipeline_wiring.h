#pragma once

#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_small.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "processing/tfrm_detect_mvt.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "telescope/tfrm_longuepose.h"
#include "telescope/tfrm_pref.h"

namespace orniva {

// The windows whose controls the pipeline reads or writes.
struct PipelineWindows {
  TFRM_Alv& alv;
  TFRM_Info& info;
  TFRM_Longuepose& longExposure;
  TFRM_Pref& pref;
  TFRM_Small& small;
  TFRM_Tool_Affichage& display;
  TFRM_Tool_Images& tools;
  TFRM_Detect_Mvt& motion;
};

// Connects the settings the pipeline reads to the controls that hold them,
// and the fields the pipeline writes.
void ConnectPipelineControls(const PipelineWindows& w);

}  // namespace orniva
