#pragma once

#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_ressources.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "automation/tfrm_script.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "processing/tfrm_tool_mesures.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {

// The windows the main window's menus show.
struct MenuWindows {
  TFRM_Alv& alv;
  TFRM_Tool_Images& tools;
  TFRM_Info& info;
  TFRM_Tool_Affichage& display;
  TFRM_Tool_Mesures& mesures;
  TFRM_Tool_Suivi& suivi;
  TFRM_Script& script;
  TFRM_Pref& pref;
  TFRM_Ressources& resources;
};

// Each menu item that brings a tool window to the front shows it on screen,
// on its page.
void ConnectMenus(const MenuWindows& w);

}  // namespace orniva
