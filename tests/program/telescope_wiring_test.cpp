// The mount's settings reach the rest of the program: the interface choice
// of the preferences enables what needs a mount.
#include <gtest/gtest.h>

#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "telescope/tfrm_longuepose.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

struct TelescopeProgram : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program{loop, dialogs};
  TFRM_Pref& pref = program.Get<TFRM_Pref>();

  // "Autoguidage", the "&Telescope" menu, "Self-Guidage", "Connecter".
  std::vector<bool> Enabled() {
    return {program.Get<TFRM_Tool_Suivi>().RDB_Autoguidage.Enabled(),
            program.Main().MNU_Telescope.Enabled(),
            program.Get<TFRM_Longuepose>().CKB_Selfguide_Active.Enabled(),
            pref.BTN_Connecter.Enabled()};
  }
};

TEST_F(TelescopeProgram, ChoosingAnInterfaceEnablesWhatNeedsAMount) {
  const std::vector<bool> none{false, false, false, false}, all{true, true, true, true};
  EXPECT_EQ(program.Main().MNU_Telescope.Caption(), "&Telescope");
  EXPECT_EQ(program.Get<TFRM_Longuepose>().CKB_Selfguide_Active.Caption(), "Self-Guidage");
  EXPECT_EQ(Enabled(), none) << "at start, no interface";
  for (RadioButton* r :
       {&pref.RDB_LX200, &pref.RDB_ASCOM, &pref.RDB_Ruvena, &pref.RDB_Marvane, &pref.RDB_Telkor}) {
    pref.RDB_Aucun.Click();
    EXPECT_EQ(Enabled(), none) << r->Name();
    r->Click();
    EXPECT_EQ(Enabled(), all) << r->Name();
  }
  // With a focuser chosen the menu stays, the rest goes.
  pref.RDB_Focus_Marvane.Click();
  pref.RDB_Aucun.Click();
  EXPECT_EQ(Enabled(), (std::vector<bool>{false, true, false, false}));
  pref.RDB_Focus_Aucun.Click();
  pref.RDB_Telkor.Click();
  pref.RDB_Aucun.Click();
  EXPECT_EQ(Enabled(), none);
}

}  // namespace
}  // namespace orniva
