#include "program/menu_wiring.h"

namespace orniva {
namespace {

// Shows a window on screen on one of its pages.
std::function<void()> ShowPage(Window& window, PageControl& pages, TabSheet& page) {
  return [&window, &pages, &page] {
    window.ShowOnScreen();
    pages.SetActivePage(page);
  };
}

std::function<void()> Show(Window& window) {
  return [&window] { window.ShowOnScreen(); };
}

}  // namespace

void ConnectMenus(const MenuWindows& w) {
  TFRM_Alv& alv = w.alv;
  TFRM_Tool_Images& tools = w.tools;
  alv.MNU_Images_Seuils.OnClick = ShowPage(tools, tools.PGC_Images, tools.TBS_Seuils);
  alv.MNU_Images_Integration.OnClick = ShowPage(tools, tools.PGC_Images, tools.TBS_Integration);
  alv.MNU_Images_Darks.OnClick = ShowPage(tools, tools.PGC_Images, tools.TBS_Dark);
  alv.MNU_Images_Flats.OnClick = ShowPage(tools, tools.PGC_Images, tools.TBS_Flat);
  alv.MNU_Images_Selection.OnClick = ShowPage(tools, tools.PGC_Images, tools.TBS_Select_Images);
  alv.MNU_Images_Enregistrement.OnClick =
      ShowPage(tools, tools.PGC_Images, tools.TBS_Enregistrement);
  alv.MNU_Images_Information.OnClick = Show(w.info);
  TFRM_Tool_Affichage& display = w.display;
  PageControl& displayPages = display.PGC_Affichage;
  alv.MNU_Affichage_Reticule.OnClick = ShowPage(display, displayPages, display.TBS_Reticule);
  alv.MNU_Affichage_Rafraichissement.OnClick =
      ShowPage(display, displayPages, display.TBS_Rafraichissement);
  alv.MNU_Affichage_Zones.OnClick = ShowPage(display, displayPages, display.TBS_Zones);
  alv.MNU_Affichage_Cameras.OnClick = ShowPage(display, displayPages, display.TBS_Cameras);
  alv.MNU_MAP.OnClick = ShowPage(display, displayPages, display.TBS_MAP);
  TFRM_Tool_Mesures& mesures = w.mesures;
  alv.MNU_Mesures_Echantillonage.OnClick = [&mesures] {
    mesures.ShowPage(mesures.TBS_Echantillonnage);
  };
  alv.MNU_Mesures_Distances.OnClick = [&mesures] { mesures.ShowPage(mesures.TBS_Distances); };
  alv.MNU_Mesures_Declinaison.OnClick = [&mesures] { mesures.ShowPage(mesures.TBS_Declinaison); };
  alv.MNU_Suivi_Autoguidage.OnClick = Show(w.suivi);
  alv.MNU_Scripts.OnClick = Show(w.script);
  alv.MNU_Options.OnClick = Show(w.pref);
  alv.MNU_Ressources.OnClick = Show(w.resources);
}

}  // namespace orniva
