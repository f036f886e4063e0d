#pragma once

#include "ui/window_shell.h"

namespace orniva {

// The sky chart and the object search.
ORNIVA_WINDOW_SHELL(TFRM_Sky, "Carte Celeste");
ORNIVA_WINDOW_SHELL(TFRM_Recherche, "Recherche");

}  // namespace orniva
