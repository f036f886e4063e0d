// The session of `orniva --simulate` as the desktop program runs it: the
// view's dialogs behind preset answers, the settings file of the start
// directory giving the observatory its settings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "program/simulated_run.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"
#include "telescope/mount.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;

// A fresh start directory for the test, left and removed at its end.
struct StartDirectory {
  fs::path previous = fs::current_path();
  fs::path dir;
  StartDirectory() {
    std::string tmpl = (fs::temp_directory_path() / "orniva-session-XXXXXX").string();
    dir = ::mkdtemp(tmpl.data());
  }
  ~StartDirectory() {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
};

TEST(SimulatedSession, StartsOnTheSettingsFilesStarWithoutAskingTheView) {
  StartDirectory start;
  const fs::path& dir = start.dir;
  for (const char* f : {"Catalog.dat", "SAC72.dat", "Conlines.dat"})
    fs::copy_file(fs::path(ORNIVA_SHARED_DATA_DIR) / "catalogs" / f, dir / f);
  std::ofstream(dir / "Orniva.ini") << "[Simulateur]\nEtoile_Depart=Alp Boo\n"
                                       "Erreur_Periodique_Amplitude=0\nHarmonique_Amplitude=0\n";
  fs::current_path(dir);
  {
    VirtualEventLoop loop;
    HeadlessDialogs view;
    PresetChoiceDialogs dialogs(view);
    Program program(loop, dialogs);
    program.UseSettingsFile();
    program.Activate();
    std::vector<std::pair<std::string, bool>> reports;
    EXPECT_TRUE(StartSimulatedSession(
        program, [&dialogs](int index) { dialogs.QueueChoice(index); },
        [&reports](const std::string& text, bool problem) {
          reports.emplace_back(text, problem);
        }));
    // The driver dialog was answered before it reached the view.
    for (const auto& asked : view.History()) EXPECT_NE(asked.kind, "choose") << asked.caption;
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].second) << reports[0].first;
    EXPECT_TRUE(program.Telescope().Connected());
    EXPECT_EQ(program.Main().Camera(1).streaming, 1);

    loop.RunFor(2000);
    const StarRecord* arcturus = FindStar("Alp Boo");
    ASSERT_NE(arcturus, nullptr);
    const SimPointing at = program.Simulator().Mount().Pointing(loop.NowMs());
    EXPECT_LT(AngularDistance(at.ra, at.dec, arcturus->RightAscension, arcturus->Declination), 10);
    ExpectSaturatedStarInTheMiddle(program.Main().Image3.Bitmap());
    program.Cameras().Stop(1);
    program.Shutdown();
  }
  std::ifstream in(dir / "Orniva.ini");
  const std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(ini.find("Etoile_Depart=Alp Boo\n"), std::string::npos) << ini;
}

}  // namespace
}  // namespace orniva
