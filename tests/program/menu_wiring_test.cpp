// The main window's menu items bring their tool window on screen, on the
// page they name.
#include <gtest/gtest.h>

#include "acquisition/tfrm_ressources.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "automation/tfrm_script.h"
#include "core/virtual_event_loop.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "processing/tfrm_tool_mesures.h"
#include "program/program.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

struct MenuCase {
  const char* item;
  const char* window;
  const char* page;  // nullptr: the window has no pages
};

void PrintTo(const MenuCase& c, std::ostream* os) {
  *os << c.item;
}

class MainMenu : public ::testing::TestWithParam<MenuCase> {};

TEST_P(MainMenu, ShowsItsWindowOnItsPage) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  const MenuCase& c = GetParam();
  MenuItem* item = program.Main().FindAs<MenuItem>(c.item);
  ASSERT_NE(item, nullptr);
  Window* window = program.App().FindWindow(c.window);
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(window->Visible());
  // Left far off a 1280-pixel screen, it comes back inside.
  Bounds b = window->GetBounds();
  b.left = 3000;
  window->SetBounds(b);
  item->Click();
  EXPECT_TRUE(window->Visible());
  EXPECT_LT(window->GetBounds().left, 3000);
  if (c.page) {
    const TabSheet* page = nullptr;
    for (Window* w : program.App().Windows()) {
      if (w == window) page = w->FindAs<TabSheet>(c.page);
    }
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->IsActive()) << c.page;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Items, MainMenu,
    ::testing::Values(
        MenuCase{"MNU_Images_Seuils", "TFRM_Tool_Images", "TBS_Seuils"},
        MenuCase{"MNU_Images_Integration", "TFRM_Tool_Images", "TBS_Integration"},
        MenuCase{"MNU_Images_Darks", "TFRM_Tool_Images", "TBS_Dark"},
        MenuCase{"MNU_Images_Flats", "TFRM_Tool_Images", "TBS_Flat"},
        MenuCase{"MNU_Images_Selection", "TFRM_Tool_Images", "TBS_Select_Images"},
        MenuCase{"MNU_Images_Enregistrement", "TFRM_Tool_Images", "TBS_Enregistrement"},
        MenuCase{"MNU_Images_Information", "TFRM_Info", nullptr},
        MenuCase{"MNU_Affichage_Reticule", "TFRM_Tool_Affichage", "TBS_Reticule"},
        MenuCase{"MNU_Affichage_Rafraichissement", "TFRM_Tool_Affichage", "TBS_Rafraichissement"},
        MenuCase{"MNU_Affichage_Zones", "TFRM_Tool_Affichage", "TBS_Zones"},
        MenuCase{"MNU_Affichage_Cameras", "TFRM_Tool_Affichage", "TBS_Cameras"},
        MenuCase{"MNU_MAP", "TFRM_Tool_Affichage", "TBS_MAP"},
        MenuCase{"MNU_Mesures_Echantillonage", "TFRM_Tool_Mesures", "TBS_Echantillonnage"},
        MenuCase{"MNU_Mesures_Distances", "TFRM_Tool_Mesures", "TBS_Distances"},
        MenuCase{"MNU_Mesures_Declinaison", "TFRM_Tool_Mesures", "TBS_Declinaison"},
        MenuCase{"MNU_Suivi_Autoguidage", "TFRM_Tool_Suivi", nullptr},
        MenuCase{"MNU_Scripts", "TFRM_Script", nullptr},
        MenuCase{"MNU_Options", "TFRM_Pref", nullptr},
        MenuCase{"MNU_Ressources", "TFRM_Ressources", nullptr}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.item); });

}  // namespace
}  // namespace orniva
