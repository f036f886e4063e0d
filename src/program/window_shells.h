#pragma once

// Windows whose contents are still to come: each is created at start-up in
// its place so that the order of creation is complete. A window that gets
// its real class loses its line here.
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "ui/controls.h"

namespace orniva {

#define ORNIVA_WINDOW_SHELL(Name, Caption)                           \
  class Name : public Window {                                       \
   public:                                                           \
    explicit Name(Application& app) : Window(app, #Name, Caption) {} \
  }

ORNIVA_WINDOW_SHELL(TFRM_ObjectAction, "Objet");
ORNIVA_WINDOW_SHELL(TFRM_Raquette, "Telescope");
ORNIVA_WINDOW_SHELL(TFRM_MiseEnStation, "Mise en station");
ORNIVA_WINDOW_SHELL(TFRM_ErrPeriod, "Erreur Periodique");
ORNIVA_WINDOW_SHELL(TFRM_FWHM, "Mise au point");
ORNIVA_WINDOW_SHELL(TFRM_PlayControl, "Contrôle de lecture");
ORNIVA_WINDOW_SHELL(TFRM_Prg_Action, "Action à effectuer lors d'une detection");
ORNIVA_WINDOW_SHELL(TFRM_PRG_Action_LS, "Action à effectuer lors de la perte d'etoile guide");
ORNIVA_WINDOW_SHELL(TFRM_ImgRef, "Image de référence");
ORNIVA_WINDOW_SHELL(TFRM_Longuepose, "Longue Pose");
ORNIVA_WINDOW_SHELL(TFRM_Sky, "Carte Celeste");
ORNIVA_WINDOW_SHELL(TFRM_DDEServer, "DDE");
ORNIVA_WINDOW_SHELL(TFRM_Network, "Réseau");
ORNIVA_WINDOW_SHELL(TFRM_Recherche, "Recherche");
ORNIVA_WINDOW_SHELL(TFRM_Planificateur, "Programmateur de Mosaïques");
ORNIVA_WINDOW_SHELL(TFRM_Detect_Mvt, "Detection de mouvement");
ORNIVA_WINDOW_SHELL(TFRM_ScrCmd, "Assistant");
ORNIVA_WINDOW_SHELL(TFRM_Input, "Input ");
ORNIVA_WINDOW_SHELL(TFRM_BTNPref, "Propriétés");

#undef ORNIVA_WINDOW_SHELL

}  // namespace orniva
