#pragma once

#include "ui/window_shell.h"

namespace orniva {

// The hand pad, the polar-alignment and periodic-error windows.
ORNIVA_WINDOW_SHELL(TFRM_Raquette, "Telescope");
ORNIVA_WINDOW_SHELL(TFRM_MiseEnStation, "Mise en station");
ORNIVA_WINDOW_SHELL(TFRM_ErrPeriod, "Erreur Periodique");

}  // namespace orniva
