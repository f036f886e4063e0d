#pragma once

#include "ui/window_shell.h"

namespace orniva {

// The object-action, remote-control, planner and script-assistant windows,
// the input box and the function-button properties.
ORNIVA_WINDOW_SHELL(TFRM_ObjectAction, "Objet");
ORNIVA_WINDOW_SHELL(TFRM_DDEServer, "DDE");
ORNIVA_WINDOW_SHELL(TFRM_Network, "Réseau");
ORNIVA_WINDOW_SHELL(TFRM_Planificateur, "Programmateur de Mosaïques");
ORNIVA_WINDOW_SHELL(TFRM_ScrCmd, "Assistant");
ORNIVA_WINDOW_SHELL(TFRM_Input, "Input ");
ORNIVA_WINDOW_SHELL(TFRM_BTNPref, "Propriétés");

}  // namespace orniva
