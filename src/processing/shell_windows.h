#pragma once

#include "ui/window_shell.h"

namespace orniva {

// The focus window and the windows of the detection actions and of the
// reference image.
ORNIVA_WINDOW_SHELL(TFRM_FWHM, "Mise au point");
ORNIVA_WINDOW_SHELL(TFRM_Prg_Action, "Action à effectuer lors d'une detection");
ORNIVA_WINDOW_SHELL(TFRM_PRG_Action_LS, "Action à effectuer lors de la perte d'etoile guide");
ORNIVA_WINDOW_SHELL(TFRM_ImgRef, "Image de référence");

}  // namespace orniva
