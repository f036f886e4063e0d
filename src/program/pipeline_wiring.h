#pragma once

#include "acquisition/tfrm_alv.h"

namespace orniva {

// Connects the settings the pipeline reads to the controls that hold them,
// found by name in the program's windows (a control not built yet leaves
// its setting unset), and the fields the pipeline writes.
void ConnectPipelineControls(Application& app, TFRM_Alv& alv);

}  // namespace orniva
