// The driver dialog.
#include <gtest/gtest.h>

#include "acquisition/combined_frame_source.h"
#include "acquisition/test_pattern.h"
#include "acquisition/tfrm_pilote.h"
#include "core/virtual_event_loop.h"

namespace orniva {
namespace {

struct Env {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Pilote pilote{app};
};

TEST(TFRM_Pilote, ChoosesADriverOrIsCancelled) {
  Env env;
  EXPECT_EQ(env.pilote.Caption(), "Pilote de capture");
  EXPECT_EQ(env.pilote.BTN_Annuler.Caption(), "Annuler");
  const std::vector<std::string> drivers = {"Mire de test 1.0", "HD Webcam C270 6.1.0",
                                            "USB2.0 Grabber 6.1.0", "Simulateur 1.0"};
  env.dialogs.QueueChoice(2);
  EXPECT_EQ(env.pilote.Execute(drivers), 2);
  EXPECT_EQ(env.pilote.CBX_Pilote.Items(), drivers);
  EXPECT_EQ(env.pilote.CBX_Pilote.Text(), "USB2.0 Grabber 6.1.0");
  EXPECT_FALSE(env.pilote.Visible());
  ASSERT_EQ(env.dialogs.History().size(), 1u);
  EXPECT_EQ(env.dialogs.History()[0].caption, "Pilote de capture");

  // Nothing answered: "Annuler".
  EXPECT_EQ(env.pilote.Execute(drivers), std::nullopt);
  // The first driver is the one selected when the dialog opens.
  EXPECT_EQ(env.pilote.CBX_Pilote.ItemIndex(), 0);
  // An answer outside the list is no choice.
  env.dialogs.QueueChoice(7);
  EXPECT_EQ(env.pilote.Execute(drivers), std::nullopt);
}

TEST(TFRM_Pilote, ListsTheDriversOfTheFrameSources) {
  Env env;
  std::vector<std::unique_ptr<FrameSource>> sources;
  sources.push_back(std::make_unique<TestPatternSource>());
  CombinedFrameSource camera(std::move(sources));
  std::vector<std::string> texts;
  for (const DriverDescription& d : camera.ListDrivers()) texts.push_back(d.Text());
  env.dialogs.QueueChoice(0);
  const std::optional<int> chosen = env.pilote.Execute(texts);
  ASSERT_TRUE(chosen);
  EXPECT_TRUE(camera.Connect(*chosen));
}

}  // namespace
}  // namespace orniva
