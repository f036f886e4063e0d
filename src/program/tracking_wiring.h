#pragma once

#include "acquisition/tfrm_alv.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {

// Connects the tracking window to the main window: the pipeline's tracking
// step, the guide camera's frames and zone centre, and the settings tracking
// reads from other windows, found by name (a control not built yet leaves
// its setting at the default).
void ConnectTracking(Application& app, TFRM_Alv& alv, TFRM_Tool_Suivi& suivi);

}  // namespace orniva
