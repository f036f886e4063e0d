#include "program/simulated_run.h"

#include "acquisition/bmp_file.h"
#include "acquisition/image_file.h"
#include "sim/sim_camera.h"

namespace orniva {

bool StartSimulatedCamera(Program& program, HeadlessDialogs& dialogs, int camera, bool stream) {
  CameraCommands& cams = program.Cameras();
  const auto drivers = cams.Source(camera).ListDrivers();
  int index = -1;
  for (size_t i = 0; i < drivers.size(); ++i)
    if (drivers[i].name == kSimulatorDriverName) index = static_cast<int>(i);
  if (index < 0) return false;
  dialogs.QueueChoice(index);
  cams.Controls(camera).MNU_Demarrer.Click();
  if (!program.Main().Online(camera)) return false;
  if (stream) cams.Controls(camera).SPDB_Flux.Click();
  return true;
}

std::string SaveResultPage(Program& program, const std::string& path) {
  const ImageFileResult r = WriteFileBytes(path, EncodeBmp(program.Main().Image3.Bitmap()));
  return r.Ok() ? "result page saved: " + path : ImageFileMessage(path, r);
}

}  // namespace orniva
