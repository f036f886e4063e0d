#pragma once

#include <memory>

#include "acquisition/display_host.h"

namespace orniva {

class TFRM_Alv;
class TFRM_FullScreen;
class TFRM_Pref;
class TFRM_Small;
class TFRM_Tool_Affichage;
class TFRM_Tool_Mesures;
class TFRM_Tool_Suivi;

// The windows the display works with.
struct DisplayWindows {
  TFRM_Alv& alv;
  TFRM_Tool_Affichage& tool;
  TFRM_Small& small;
  TFRM_FullScreen& full;
  TFRM_Tool_Mesures& mesures;
  TFRM_Tool_Suivi& suivi;
  TFRM_Pref& pref;
};

// Connects the display windows to the main window: the zones, overlays and
// cameras they work on, the pipeline's drawing hooks (display zone, marker,
// time text, full screen), the clicks on the source pages, the page changes,
// the "Mini Source", "Plein Ecran" and "Mode nuit" commands, and the night
// colours saved at the first activation and restored at the end. The
// returned host lives as long as the windows.
std::unique_ptr<DisplayHost> ConnectDisplay(const DisplayWindows& w);

}  // namespace orniva
