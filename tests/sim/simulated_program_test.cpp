// The simulated observatory driving the whole program: frames of the
// simulated camera through the real pipeline up to the result page.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "acquisition/bmp_file.h"
#include "acquisition/image_file.h"
#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "program/simulated_run.h"
#include "program/simulator_wiring.h"
#include "sim/sim_frame_source.h"
#include "sim/simulated_observatory.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"
#include "telescope/mount.h"
#include "telescope/tfrm_pref.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;

TEST(SimulatedProgram, CameraOneFillsTheResultPageWithTheStartStar) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  SimulatedObservatory observatory(loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/");
  EXPECT_TRUE(observatory.CatalogueErrors().empty());
  EXPECT_FALSE(observatory.MountPort().empty());
  ASSERT_TRUE(StreamSimulatorToCamera(observatory, program.Main(), 1));
  loop.RunFor(1000);
  EXPECT_EQ(observatory.Camera().Delivered(), 10);
  const Image& page = program.Main().Image3.Bitmap();
  int bx = 0, by = 0;
  Brightest(page, bx, by);
  double cx = 0, cy = 0;
  ASSERT_TRUE(Centroid(page, bx, by, 15, 40, cx, cy));
  // Vega, saturated, in the middle of the page (give or take the periodic
  // error and the seeing).
  EXPECT_EQ(Level(page, bx, by), 255);
  EXPECT_NEAR(cx, (page.Width() - 1) / 2.0, 6);
  EXPECT_NEAR(cy, (page.Height() - 1) / 2.0, 6);
  observatory.StopCamera();
  program.Shutdown();
}

TEST(SimulatedProgram, TheProgramsGotoMovesTheSimulatedField) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  SimulatorSettings settings;
  settings.mount.periodicAmplitude = settings.mount.harmonicAmplitude = 0;
  SimulatedObservatory observatory(loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/",
                                   settings);
  ASSERT_TRUE(ConnectSimulatedMount(observatory, program.Get<TFRM_Pref>(), program.Telescope()));
  ASSERT_TRUE(StreamSimulatorToCamera(observatory, program.Main(), 1));
  // Arcturus, the brightest star of the northern sky after Vega's field.
  const StarRecord* arcturus = FindStar("Alp Boo");
  ASSERT_NE(arcturus, nullptr);
  loop.SetIoGraceMs(2);  // the mount's replies cross the pseudo-terminal in real time
  program.Telescope().GotoCoordinates(arcturus->RightAscension, arcturus->Declination);
  EXPECT_TRUE(program.Telescope().GotoInProgress());
  EXPECT_TRUE(loop.RunUntil([&] { return !program.Telescope().GotoInProgress(); }, 120000));
  loop.SetIoGraceMs(0);
  // The loop was never held: the GOTO cost the camera no frame.
  EXPECT_EQ(observatory.Camera().Dropped(), 0);
  EXPECT_GT(observatory.Camera().Delivered(), 10);
  loop.RunFor(500);
  const SimPointing at = observatory.Mount().Pointing(loop.NowMs());
  EXPECT_LT(AngularDistance(at.ra, at.dec, arcturus->RightAscension, arcturus->Declination), 5);
  ExpectSaturatedStarInTheMiddle(program.Main().Image3.Bitmap());
  observatory.StopCamera();
  program.Shutdown();
}

// The end-of-GOTO actions of the preferences, each on its own check box: a
// GOTO of the program on the simulated mount shows the message, plays the
// sound, runs the script file (which writes its own line), or all of them,
// and nothing unchecked. A script file that is not there is said so.
enum class Script { None, Present, Missing };
struct EndOfGoto {
  const char* name;
  bool message, sound;
  Script script;
};
void PrintTo(const EndOfGoto& e, std::ostream* os) {
  *os << e.name;
}
class EndOfGotoActions : public ::testing::TestWithParam<EndOfGoto> {};

TEST_P(EndOfGotoActions, RunAsChecked) {
  const EndOfGoto& e = GetParam();
  const fs::path dir = fs::temp_directory_path() / ("orniva_goto_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string script = (dir / "fin_goto.txt").string();
  std::ofstream(script) << "var(n,integer)\r\nmessagebox.show(\"arrive sur l'objet\")\r\n";
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  SimulatorSettings settings;
  settings.mount.periodicAmplitude = settings.mount.harmonicAmplitude = 0;
  SimulatedObservatory observatory(loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/",
                                   settings);
  TFRM_Pref& pref = program.Get<TFRM_Pref>();
  ASSERT_TRUE(ConnectSimulatedMount(observatory, pref, program.Telescope()));
  pref.CKB_Fin_GOTO_Afficher_Message.SetChecked(e.message);
  pref.CKB_Fin_Goto_Jouer_un_son.SetChecked(e.sound);
  pref.EDT_Fin_GOTO_Son_a_jouer.SetText("arrive.wav");
  pref.CKB_Fin_GOTO_ExecuteScript.SetChecked(e.script != Script::None);
  const std::string scriptName = e.script == Script::Missing ? script + ".absent" : script;
  pref.EDT_Fin_GOTO_Script.SetText(scriptName);
  const auto before = program.Message().MEMO_Message.Lines();
  loop.SetIoGraceMs(2);
  const SimPointing at = observatory.Mount().Pointing(loop.NowMs());
  program.Telescope().GotoCoordinates(at.ra + 900, at.dec + 1800);
  ASSERT_TRUE(loop.RunUntil([&] { return !program.Telescope().GotoInProgress(); }, 30000));
  loop.RunFor(1000);  // the script's lines, one per tick of the run timer
  std::vector<std::string> shown = program.Message().MEMO_Message.Lines();
  shown.erase(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(before.size()));
  std::vector<std::string> expected;
  if (e.message) expected.push_back("GOTO termine");
  if (e.script == Script::Present) expected.push_back("arrive sur l'objet");
  if (e.script == Script::Missing) expected.push_back(scriptName + " : Script introuvable");
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(program.RecordingSound().Played(),
            e.sound ? std::vector<std::string>{"file arrive.wav"} : std::vector<std::string>{});
  EXPECT_FALSE(program.Script().Interpreter().ScriptRunning());
  program.Shutdown();
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Choices, EndOfGotoActions,
                         ::testing::Values(EndOfGoto{"Nothing", false, false, Script::None},
                                           EndOfGoto{"MessageOnly", true, false, Script::None},
                                           EndOfGoto{"SoundOnly", false, true, Script::None},
                                           EndOfGoto{"ScriptOnly", false, false, Script::Present},
                                           EndOfGoto{"MissingScript", false, false,
                                                     Script::Missing},
                                           EndOfGoto{"All", true, true, Script::Present}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedProgram, CameraOneStartsOnTheSimulatorDriverThroughThePipeline) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Program program(loop, dialogs);
  program.Activate();
  EXPECT_TRUE(program.Simulator(std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/")
                  .CatalogueErrors()
                  .empty());
  CameraCommands& cams = program.Cameras();
  std::vector<std::string> names;
  for (const DriverDescription& d : cams.Source(1).ListDrivers()) names.push_back(d.name);
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], "Mire de test");
  EXPECT_EQ(names.back(), "Simulateur");

  // Image mode: the refresh timer grabs from the simulated camera.
  ASSERT_TRUE(StartSimulatedCamera(program, dialogs, 1, false));
  EXPECT_EQ(program.Main().Camera(1).width, 640);
  loop.RunFor(1000);
  EXPECT_GE(program.Main().State.frameRateCounter, 4);

  // Stream mode: every frame of the source reaches the result page.
  cams.Cam1.SPDB_Flux.Click();
  loop.RunFor(2000);
  EXPECT_EQ(program.Main().Camera(1).streaming, 1);
  EXPECT_GE(cams.Source(1).Stats().delivered, 9);
  EXPECT_EQ(cams.Source(1).Stats().dropped, 0);
  const Image& page = program.Main().Image3.Bitmap();
  int bx = 0, by = 0;
  Brightest(page, bx, by);
  double cx = 0, cy = 0;
  ASSERT_TRUE(Centroid(page, bx, by, 15, 40, cx, cy));
  // Vega in the middle of the page, as the program's own camera path sees it.
  EXPECT_EQ(Level(page, bx, by), 255);
  EXPECT_NEAR(cx, (page.Width() - 1) / 2.0, 6);
  EXPECT_NEAR(cy, (page.Height() - 1) / 2.0, 6);

  // The page saved by the capture layer's bitmap writer reads back the same.
  const fs::path path =
      fs::temp_directory_path() / ("orniva_sim_" + std::to_string(::getpid()) + ".bmp");
  EXPECT_EQ(SaveResultPage(program, path.string()), "result page saved: " + path.string());
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(path.string(), bytes).Ok());
  fs::remove(path);
  Image back;
  ASSERT_TRUE(DecodeBmp(bytes, back).Ok());
  EXPECT_EQ(back.Width(), page.Width());
  EXPECT_EQ(back.Pixel(bx, by), page.Pixel(bx, by));
  EXPECT_NE(SaveResultPage(program, "/nonexistent-dir/page.bmp").find("/nonexistent-dir/page.bmp"),
            std::string::npos);

  cams.Cam1.MNU_Arreter.Click();
  EXPECT_FALSE(program.Main().Online(1));
  EXPECT_FALSE(cams.Source(1).Connected());
  program.Shutdown();
}

TEST(SimulatedProgram, SimulatorSourceOffersMosaicFormatsAndRefusesOthers) {
  VirtualEventLoop loop;
  SimulatedObservatory observatory(loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/");
  SimFrameSource source(loop, [&observatory] { return &observatory; });
  Image frame;
  EXPECT_FALSE(source.GrabFrame(frame));
  EXPECT_NE(source.LastError().find("Simulateur"), std::string::npos);
  ASSERT_TRUE(source.Connect(0));
  const auto formats = source.Formats();
  const VideoFormat raw{40, 1024, 768, 8, FourCc('R', 'G', 'G', 'B'), 1024 * 768};
  EXPECT_NE(std::find(formats.begin(), formats.end(), raw), formats.end());
  for (const VideoFormat& f : formats) EXPECT_LE(f.width * f.height, 1024 * 768);
  ASSERT_TRUE(source.SetVideoFormat(raw));
  ASSERT_TRUE(source.GrabFrame(frame));
  EXPECT_EQ(frame.Width(), 1024);
  EXPECT_EQ(frame.Height(), 768);
  EXPECT_FALSE(source.SetVideoFormat({40, 1280, 720, 24, 0, 1280 * 720 * 3}));
  EXPECT_NE(source.LastError().find("1280x720"), std::string::npos);
  EXPECT_EQ(source.GetVideoFormat(), raw);

  // Streaming at the requested period; grabbing is refused meanwhile.
  int frames = 0;
  ASSERT_TRUE(source.StartStream(loop, 200, {[&](const Image&) { ++frames; }, {}}));
  EXPECT_FALSE(source.GrabFrame(frame));
  loop.RunFor(1000);
  EXPECT_EQ(frames, 5);
  EXPECT_EQ(source.Stats().delivered, 5);
  source.StopStream();
  loop.RunFor(1000);
  EXPECT_EQ(frames, 5);
  source.Disconnect();
  EXPECT_FALSE(source.Connected());

  SimFrameSource missing(loop, [] { return static_cast<SimulatedObservatory*>(nullptr); });
  EXPECT_FALSE(missing.Connect(0));
  EXPECT_NE(missing.LastError().find("Simulateur"), std::string::npos);
}

}  // namespace
}  // namespace orniva
