// The whole road of a guide frame: the test pattern started from the camera
// menu, frames grabbed by the refresh timer, the pipeline, tracking, and the
// detection zone of the main window moving onto the pattern's brightest
// point source (or, with correlation, holding still on a still picture) — on
// the virtual loop.
#include <gtest/gtest.h>

#include <cmath>

#include "acquisition/test_pattern.h"
#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

TEST(TrackingFromCapture, ZoneMovesOntoTheTestPatternStar) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  TFRM_Alv& alv = program.Main();
  CameraCommands& cams = program.Cameras();
  auto& suivi = program.Get<TFRM_Tool_Suivi>();

  const auto drivers = cams.Source(1).ListDrivers();
  int pattern = -1;
  for (size_t i = 0; i < drivers.size(); ++i) {
    if (drivers[i].Text().rfind("Mire de test", 0) == 0) pattern = static_cast<int>(i);
  }
  ASSERT_GE(pattern, 0);
  dialogs.QueueChoice(pattern);
  cams.Controls(1).MNU_Demarrer.Click();
  ASSERT_TRUE(alv.Online(1));
  const int w = alv.Camera(1).width, h = alv.Camera(1).height;
  const PatternStar& star = TestPatternStars().front();  // the brightest
  const double starX = static_cast<int>(star.fx * w), starY = static_cast<int>(star.fy * h);

  // The methods that measure the star bring the zone onto it.
  for (const char* method : {"RDB_Colimacon", "RDB_Somax"}) {
    SCOPED_TRACE(method);
    suivi.CKB_Suivi.SetChecked(false);
    // Start a few pixels off the star, inside the detection zone.
    alv.Zones.centreX = starX - 6;
    alv.Zones.centreY = starY + 5;
    suivi.FindAs<RadioButton>(method)->Click();
    suivi.CKB_Suivi.SetChecked(true);
    const int before = alv.State.frameRateCounter;
    loop.RunFor(2000);
    EXPECT_GE(alv.State.frameRateCounter - before, 4);  // frames really came through
    EXPECT_LE(std::abs(alv.Zones.centreX - starX), 2.0);
    EXPECT_LE(std::abs(alv.Zones.centreY - starY), 2.0);
  }
  // Correlation follows the picture taken as reference when tracking starts:
  // the pattern stands still, so the zone stays where it was put.
  suivi.CKB_Suivi.SetChecked(false);
  alv.Zones.centreX = starX - 6;
  alv.Zones.centreY = starY + 5;
  suivi.RDB_Correlation.Click();
  suivi.CKB_Suivi.SetChecked(true);
  loop.RunFor(2000);
  EXPECT_LE(std::abs(alv.Zones.centreX - (starX - 6)), 1.0);
  EXPECT_LE(std::abs(alv.Zones.centreY - (starY + 5)), 1.0);

  suivi.CKB_Suivi.SetChecked(false);
  cams.Controls(1).MNU_Arreter.Click();
  EXPECT_FALSE(alv.Online(1));
}

}  // namespace
}  // namespace orniva
