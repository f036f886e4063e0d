#include "program/tracking_wiring.h"

#include <memory>

#include "core/canvas.h"
#include "core/rounding.h"
#include "program/find_control.h"

namespace orniva {
namespace {

bool IsChecked(Application& app, std::string_view name) {
  if (auto* c = FindControl<CheckBox>(app, name)) return c->Checked();
  if (auto* r = FindControl<RadioButton>(app, name)) return r->Checked();
  return false;
}

// A spin or numeric field's value, or fallback when there is none.
int IntValue(Application& app, std::string_view name, int fallback) {
  if (auto* s = FindControl<SpinEdit>(app, name)) return s->Value();
  if (auto* n = FindControl<NumEdit>(app, name)) return static_cast<int>(Trunc(n->Value()));
  return fallback;
}

}  // namespace

void ConnectTracking(Application& app, TFRM_Alv& alv, TFRM_Tool_Suivi& suivi) {
  TrackingLinks& l = suivi.Links;
  alv.Hooks.TrackGuideFrame = [&alv, &suivi](int camera, int zoneSize) {
    return suivi.TrackGuideFrame(alv.Slot(camera, 0), alv.Slot(camera, 2), zoneSize);
  };
  l.guideFrame = [&alv]() -> const Image* {
    return alv.ImagesCreated() ? &alv.Slot(alv.GuideCamera(), 0) : nullptr;
  };
  l.resultPage = [&alv]() -> const Image* { return &alv.Image3.Bitmap(); };
  l.zoneCentre = [&alv] {
    const Point c = alv.Zones.Centre();
    return IntPoint{c.x, c.y};
  };
  l.zoneMoved = [&alv](IntPoint centre, IntPoint previous) {
    alv.Zones.previousCentre = {previous.x, previous.y};
    alv.Zones.SetCentre({centre.x, centre.y});
  };
  // The box of the limit scans, dotted in not-xor green on the guide
  // camera's page.
  l.drawBox = [&alv](const ZoneBox& b) {
    Canvas canvas(alv.SourcePage(alv.GuideCamera()).Bitmap());
    canvas.pen = {Rgb(0, 255, 0), 1, PenStyle::Dot, PenMode::NotXor};
    canvas.brush.clear = true;
    canvas.Rectangle(b.left, b.top, b.right, b.bottom);
  };
  l.readOutsideSettings = [&app, &alv](TrackingSettings& s) {
    s.focusFwhm = IsChecked(app, "CKB_MAP") && IsChecked(app, "RDB_Methode_FWHM");
    s.fwhmAuto = IsChecked(app, "CKB_FWHM_Auto");
    s.focusThreshold = IntValue(app, "SPED_Seuil_MAP", s.focusThreshold);
    s.fwhmSamples = IntValue(app, "SPED_Nb_Mesures", s.fwhmSamples);
    s.deadBand = IntValue(app, "SPED_Neutre", s.deadBand);
    s.lumistay = IsChecked(app, "CKB_Lumistay");
    s.nonVide = IsChecked(app, "CKB_Nonvide");
    s.guideIsImageCamera = alv.GuideCamera() == alv.ImageCamera();
  };
  l.focusThresholdChanged = [&app](int threshold) {
    if (auto* s = FindControl<SpinEdit>(app, "SPED_Seuil_MAP")) s->SetValue(threshold);
  };
  l.readFrameContext = [&app, &alv](GuideFrameContext& c) {
    c.buildingDarkOrFlat = alv.State.targetBuffer == 1 || alv.State.targetBuffer == 2;
    c.longExposure = IsChecked(app, "CKB_Longuepose_Active");
    c.selfGuiding = IsChecked(app, "CKB_Selfguide_Active");
  };
  // While tracking runs the guide camera's format cannot change under the zone.
  l.trackingSwitched = [&app, &alv](bool on) {
    const bool first = alv.GuideCamera() == 1;
    if (auto* b = FindControl<SpeedButton>(app, first ? "SPDB_Cam_Format_1" : "SPDB_Cam_Format_2"))
      b->SetEnabled(!on);
    if (auto* m = FindControl<MenuItem>(app, first ? "MNU_Cam1_Format" : "MNU_Cam2_Format"))
      m->SetEnabled(!on);
  };
  // The display tool window's copy of the zone size follows this one's; its
  // scroll bar's handler also takes the new correlation reference and runs
  // the pipeline once more. Without that window this one does it.
  auto* displaySize = FindControl<ScrollBar>(app, "SCB_Taille_ZDetect", &suivi);
  l.zoneSizeChanged = [displaySize](int size) {
    if (displaySize) displaySize->SetPosition(size);
  };
  if (!displaySize) l.rerunPipeline = [&alv] { alv.ProcessFrame(true, alv.ImageCamera()); };
  // "Debug.log" in the program's folder while "Debug actif" is checked.
  auto log = std::make_shared<std::unique_ptr<FileTrackingLog>>();
  l.debugLog = [&app, &alv, log]() -> TrackingLog* {
    if (!IsChecked(app, "CKB_Debug")) return nullptr;
    if (!*log) {
      const std::string dir = alv.ProgramDirectory();
      *log = std::make_unique<FileTrackingLog>(dir.empty() ? "Debug.log" : dir + "/Debug.log");
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
