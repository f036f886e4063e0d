#pragma once

#include "acquisition/tfrm_alv.h"
#include "automation/system_variables.h"
#include "telescope/tfrm_pref.h"

namespace orniva {

// The script language's system variables read the program's state: the
// cameras online, the image camera's frame size, the detection and display
// zone centres, the scripts and images folders.
void ConnectSystemVariables(SystemVariables& vars, TFRM_Alv& alv, TFRM_Pref& pref);

}  // namespace orniva
