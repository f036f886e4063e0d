#include "program/camera_wiring.h"

namespace orniva {

void ConnectCameras(const CameraWindows& w) {
  TFRM_Alv& alv = w.alv;
  CameraCommands& cameras = w.cameras;
  CameraHooks& h = cameras.Hooks;
  RefreshControls& refresh = w.display.Rafraichissement;
  h.RefreshMs = [&refresh](int camera) { return refresh.Value(camera); };
  CheckBox& debug = w.pref.MiseAuPoint.CKB_Debug;
  h.Debug = [&debug] { return debug.Checked(); };
  TFRM_Longuepose& longExposure = w.longExposure;
  h.ShowLongExposureWindow = [&alv, &longExposure](bool show) {
    if (!show) return longExposure.Hide();
    // At the main window's left edge, bottoms aligned.
    Bounds b = longExposure.GetBounds();
    const Bounds& m = alv.GetBounds();
    b.left = m.left;
    b.top = m.top + m.height - b.height;
    longExposure.SetBounds(b);
    longExposure.Show();
  };
  DisplayController& display = w.display.Display();
  h.ApplyZoneLimits = [&display](int camera, const ZoneLimits& limits) {
    display.ApplyZoneLimits(camera, limits);
  };
  h.CentreZones = [&display] { display.CentreZonesOnFrame(1); };
  TFRM_Tool_Images& tools = w.tools;
  // Binning and long exposure change whether the levels are needed; the
  // image tool window decides.
  h.EnableLevelControls = [&alv, &cameras, &tools](bool) {
    tools.SetCameraConditions(cameras.Binning(alv.ImageCamera()) == 2, alv.State.longExposureMode);
  };
  TFRM_Tool_Affichage& tool = w.display;
  TFRM_Tool_Suivi& suivi = w.suivi;
  TFRM_Tool_Mesures& mesures = w.mesures;
  h.CameraStarted = [&tools, &tool, &suivi](int) {
    tools.CameraStarted();
    suivi.CameraStarted();
    tool.CameraStarted();
  };
  h.CameraStopped = [&alv, &tools, &tool, &suivi, &mesures](int camera) {
    if (camera == alv.ImageCamera()) tools.ImageCameraStopped();
    if (camera == alv.GuideCamera()) {
      suivi.GuideCameraStopped();
      tool.GuideCameraStopped();
      mesures.GuideCameraStopped();
    }
  };
}

}  // namespace orniva
