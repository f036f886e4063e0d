#include "program/simulated_run.h"

#include "program/simulator_wiring.h"

#include "acquisition/bmp_file.h"
#include "acquisition/image_file.h"
#include "sim/sim_camera.h"
#include "telescope/tfrm_pref.h"

namespace orniva {

std::optional<int> PresetChoiceDialogs::Choose(const std::string& title,
                                               const std::vector<std::string>& items,
                                               int initialIndex) {
  if (choices_.empty()) return view_.Choose(title, items, initialIndex);
  const int index = choices_.front();
  choices_.pop_front();
  return index;
}

bool StartSimulatedCamera(Program& program, const std::function<void(int)>& queueDriverChoice,
                          int camera, bool stream) {
  CameraCommands& cams = program.Cameras();
  const auto drivers = cams.Source(camera).ListDrivers();
  int index = -1;
  for (size_t i = 0; i < drivers.size(); ++i)
    if (drivers[i].name == kSimulatorDriverName) index = static_cast<int>(i);
  if (index < 0) return false;
  queueDriverChoice(index);
  cams.Controls(camera).MNU_Demarrer.Click();
  if (!program.Main().Online(camera)) return false;
  if (stream) cams.Controls(camera).SPDB_Flux.Click();
  return true;
}

bool StartSimulatedCamera(Program& program, HeadlessDialogs& dialogs, int camera, bool stream) {
  return StartSimulatedCamera(
      program, [&dialogs](int index) { dialogs.QueueChoice(index); }, camera, stream);
}

bool StartSimulatedSession(
    Program& program, const std::function<void(int)>& queueDriverChoice,
    const std::function<void(const std::string& text, bool problem)>& report) {
  SimulatedObservatory& observatory = program.Simulator();
  for (const auto& e : observatory.CatalogueErrors()) report("[simulator] " + e.Text(), true);
  // The relay interfaces and the long-exposure lines reach the simulated
  // observatory too.
  program.UseSimulatedPorts();
  const bool mount =
      ConnectSimulatedMount(observatory, program.Get<TFRM_Pref>(), program.Telescope());
  report("simulated mount (LX200) on " + observatory.MountPort() +
             (mount ? ", connected" : ", not connected"),
         !mount);
  // Camera 1 on its "Simulateur" driver, in stream mode, as from the menu.
  if (StartSimulatedCamera(program, queueDriverChoice, 1, true)) return true;
  report("simulated camera refused", true);
  return false;
}

std::string SaveResultPage(Program& program, const std::string& path) {
  const ImageFileResult r = WriteFileBytes(path, EncodeBmp(program.Main().Image3.Bitmap()));
  return r.Ok() ? "result page saved: " + path : ImageFileMessage(path, r);
}

}  // namespace orniva
