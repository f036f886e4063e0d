#pragma once

#include "processing/tfrm_tool_mesures.h"
#include "telescope/tfrm_pref.h"

namespace orniva {

// Connects the measurement window to the optics and camera pages of the
// preferences: what it reads, the total focal length it shows there, and
// the recomputation when a field of those pages changes.
void ConnectMeasures(TFRM_Tool_Mesures& mesures, TFRM_Pref& pref);

}  // namespace orniva
