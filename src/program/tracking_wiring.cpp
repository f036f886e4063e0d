#include "program/tracking_wiring.h"

#include <memory>

#include "core/canvas.h"
#include "core/paths.h"

namespace orniva {

void ConnectTracking(const TrackingWindows& w) {
  TFRM_Alv& alv = w.alv;
  TFRM_Tool_Suivi& suivi = w.suivi;
  TFRM_Tool_Affichage& display = w.display;
  TFRM_Pref& pref = w.pref;
  TFRM_Longuepose& longExposure = w.longExposure;
  CameraCommands& cameras = w.cameras;
  TrackingLinks& l = suivi.Links;
  alv.Hooks.TrackGuideFrame = [&alv, &suivi](int camera, int zoneSize) {
    return suivi.TrackGuideFrame(alv.Slot(camera, 0), alv.Slot(camera, 2), zoneSize);
  };
  l.GuideFrame = [&alv]() -> const Image* {
    return alv.ImagesCreated() ? &alv.Slot(alv.GuideCamera(), 0) : nullptr;
  };
  l.ResultPage = [&alv]() -> const Image* { return &alv.Image3.Bitmap(); };
  l.ZoneCentre = [&alv] {
    const Point c = alv.Zones.Centre();
    return IntPoint{c.x, c.y};
  };
  l.ZoneMoved = [&alv](IntPoint centre, IntPoint previous) {
    alv.Zones.previousCentre = {previous.x, previous.y};
    alv.Zones.SetCentre({centre.x, centre.y});
  };
  // The box of the limit scans, dotted in not-xor green on the guide
  // camera's page.
  l.DrawBox = [&alv](const ZoneBox& b) {
    Canvas canvas(alv.SourcePage(alv.GuideCamera()).Bitmap());
    canvas.pen = {Rgb(0, 255, 0), 1, PenStyle::Dot, PenMode::NotXor};
    canvas.brush.clear = true;
    canvas.Rectangle(b.left, b.top, b.right, b.bottom);
  };
  l.ReadOutsideSettings = [&alv, &display, &pref, &longExposure](TrackingSettings& s) {
    s.focusFwhm = display.CKB_MAP.Checked() && display.RDB_Methode_FWHM.Checked();
    s.fwhmAuto = display.CKB_FWHM_Auto.Checked();
    s.focusThreshold = display.SPED_Seuil_MAP.Value();
    s.fwhmSamples = pref.MiseAuPoint.SPED_Nb_Mesures.Value();
    s.deadBand = pref.SPED_Neutre.Value();
    s.lumistay = longExposure.Lumistay();
    // "Non-vide" of automatic selection is off until selection is built.
    s.nonVide = false;
    s.guideIsImageCamera = alv.GuideCamera() == alv.ImageCamera();
  };
  l.FocusThresholdChanged = [&display](int threshold) {
    display.SPED_Seuil_MAP.SetValue(threshold);
  };
  l.ReadFrameContext = [&alv, &longExposure](GuideFrameContext& c) {
    c.buildingDarkOrFlat = alv.State.targetBuffer == 1 || alv.State.targetBuffer == 2;
    c.longExposure = longExposure.LongExposureActive();
    c.selfGuiding = longExposure.SelfGuiding();
  };
  // While tracking runs the guide camera's format cannot change under the zone.
  l.TrackingSwitched = [&alv, &cameras](bool on) {
    CameraControls& c = cameras.Controls(alv.GuideCamera());
    c.SPDB_Format.SetEnabled(!on);
    c.MNU_Format.SetEnabled(!on);
  };
  // The display tool window's copy of the zone size follows this one's; its
  // scroll bar's handler also takes the new correlation reference and runs
  // the pipeline once more.
  l.ZoneSizeChanged = [&display](int size) { display.SCB_Taille_ZDetect.SetPosition(size); };
  l.RerunPipeline = [&alv] {
    if (alv.ImagesCreated()) alv.ProcessFrame(true, alv.ImageCamera());
  };
  // After a pass the zone overlays follow the star.
  l.RefreshZone = [&alv] {
    if (alv.Hooks.ComputeDisplayZone) alv.Hooks.ComputeDisplayZone(alv.GuideCamera());
  };
  // "Debug.log" in the program's folder while "Debug actif" is checked.
  auto log = std::make_shared<std::unique_ptr<FileTrackingLog>>();
  CheckBox& debug = pref.MiseAuPoint.CKB_Debug;
  l.DebugLog = [&debug, &alv, log]() -> TrackingLog* {
    if (!debug.Checked()) return nullptr;
    if (!*log) {
      *log = std::make_unique<FileTrackingLog>(JoinPath(alv.ProgramDirectory(), "Debug.log"));
    }
    return log->get();
  };
  // Closed with the other debug output at shut-down.
  alv.Lifecycle.CloseDebugLog = [log, previous = alv.Lifecycle.CloseDebugLog] {
    if (previous) previous();
    log->reset();
  };
}

}  // namespace orniva
