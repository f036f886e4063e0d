#include "acquisition/display_controller.h"

#include "acquisition/display_reticle.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "core/canvas.h"
#include "core/rounding.h"

namespace orniva {

DisplayHost& NoDisplayHost() {
  static DisplayHost none;
  return none;
}

int DisplayController::ImageCamera() const {
  return tool_.ImageCamera();
}

int DisplayController::GuideCamera() const {
  return tool_.GuideCamera();
}

bool DisplayController::ReticleShown() const {
  return tool_.CKB_Reticule.Checked();
}

void DisplayController::ComputeDisplayZone(int camera) {
  DisplayHost& host = Host();
  ZoneState& z = host.Zones();
  DisplayZoneInput in;
  in.displayCentre = z.displayCentre;
  in.displayOffset = z.Offset();
  in.size = tool_.TNI_Taille_ZAffich.Value();
  in.aspect = host.ZoneAspect();
  in.frameWidth = host.FrameWidth(camera);
  in.frameHeight = host.FrameHeight(camera);
  in.miniScale = host.MiniScale();
  const DisplayZone zone = orniva::ComputeDisplayZone(in);
  z.frameZone = zone.frameZone;
  z.zone = zone.zone;
  z.miniFrameZone = zone.miniFrameZone;
  z.miniZone = zone.miniZone;
}

void DisplayController::RedrawZoneOverlays(int camera) {
  DisplayHost& host = Host();
  const ZoneState& z = host.Zones();
  Image* overlay = host.ZoneOverlay();
  if (overlay && host.SourcePageVisible(camera)) DrawZoneOverlay(*overlay, z.frameZone);
  Image* mini = host.MiniZoneOverlay();
  if (mini && host.MiniSourceVisible()) DrawZoneOverlay(*mini, z.miniFrameZone);
}

void DisplayController::MoveZoneCentre(int camera, Point centre) {
  ZoneState& z = Zones();
  const Point previous = z.Centre();
  z.previousCentre = previous;
  z.SetCentre(centre);
  if (camera != ImageCamera()) return;
  z.displayCentre = centre;
  if (!tool_.CKB_Zones_Liees.Checked()) {
    const Point offset = z.Offset();
    z.previousOffset = offset;
    z.SetOffset({offset.x + previous.x - centre.x, offset.y + previous.y - centre.y});
  }
}

void DisplayController::SourceStarted(int camera) {
  DisplayHost& host = Host();
  ZoneState& z = host.Zones();
  const int w = host.FrameWidth(camera), h = host.FrameHeight(camera);
  Point& reference = referenceSize_[camera == 2 ? 1 : 0];
  if (!started_) {
    started_ = true;
    const Point centre{w / 2, h / 2};
    z.SetCentre(centre);
    z.previousCentre = z.displayCentre = z.reticleCentre = centre;
    z.SetOffset({0, 0});
    z.previousOffset = {0, 0};
    reference = {w, h};
  } else if (reference.x > 0 && reference.y > 0 && reference.x != w && reference.y != h) {
    z.reticleCentre = {static_cast<int>(Round(double(z.reticleCentre.x) * w / reference.x)),
                       static_cast<int>(Round(double(z.reticleCentre.y) * h / reference.y))};
    reference = {w, h};
  } else if (reference.x <= 0 || reference.y <= 0) {
    reference = {w, h};
  }
  z.reticleRect = {0, 0, w, h};
  for (Control* c : {static_cast<Control*>(&tool_.TNI_Taille_ZDetect),
                     static_cast<Control*>(&tool_.SCB_Taille_ZDetect),
                     static_cast<Control*>(&tool_.TNI_Taille_ZAffich),
                     static_cast<Control*>(&tool_.TNI_Taille_ZAffichV),
                     static_cast<Control*>(&tool_.SCB_Taille_ZAffich),
                     static_cast<Control*>(&tool_.BTN_Centrer_ZDetect_Ecran),
                     static_cast<Control*>(&tool_.BTN_Centrer_ZAffich_Ecran),
                     static_cast<Control*>(&tool_.BTN_Centrer_ZAffich_Mire)}) {
    c->SetEnabled(true);
  }
  ApplyZoneLimits(camera, ZoneLimitsFor(w));
  if (camera == ImageCamera()) tool_.SCB_Taille_ZAffich.SetPosition(w);
}

void DisplayController::ApplyZoneLimits(int camera, const ZoneLimits& limits) {
  // The detection zone lies on the guide camera's frame, the display zone on
  // the image camera's.
  if (camera == GuideCamera()) {
    tool_.SCB_Taille_ZDetect.SetRange(3, std::max(3, limits.detectionMax));
  }
  if (camera == ImageCamera())
    tool_.SCB_Taille_ZAffich.SetRange(20, std::max(20, limits.displayMax));
}

void DisplayController::CentreZonesOnFrame(int camera) {
  CentreDetectionOnScreen();
  CentreDisplayOnScreen();
  tool_.SCB_Taille_ZAffich.SetPosition(Host().FrameWidth(camera));
}

void DisplayController::SourceMouseUp(int camera, MouseButton button, unsigned shift, int x,
                                      int y) {
  DisplayHost& host = Host();
  if (!host.CameraRunning(camera)) return;
  host.SetProcessingSwitch();
  if (host.BuildingDarkOrFlat()) return;
  ZoneState& z = host.Zones();
  const bool withShift = shift & kShift, withCtrl = shift & kCtrl, withAlt = shift & kAlt;
  const int w = host.FrameWidth(camera), h = host.FrameHeight(camera);

  if (button == MouseButton::Left) {
    if (camera != GuideCamera()) return;
    if (withShift && withCtrl) {
      if (host.MountConfigured()) host.MoveMountBy(x - z.Centre().x, y - z.Centre().y);
    } else if (withShift) {
      MoveZoneCentre(camera, {w / 2, h / 2});
    } else {
      MoveZoneCentre(camera, {x, y});
      host.ZoneCentreClicked(camera, x, y);
    }
    if (withCtrl && !withShift && ReticleShown()) {
      z.reticleCentre = {x, y};
      RedrawReticle();
      host.ProcessFrame(true, camera);
    }
    if (withAlt) host.NewMeasurementPoint(x, y);
  } else if (button == MouseButton::Right) {
    if (camera != ImageCamera() || withAlt || withCtrl) return;
    const Point target = withShift ? Point{w / 2, h / 2} : Point{x, y};
    z.previousOffset = z.Offset();
    z.SetOffset({target.x - z.displayCentre.x, target.y - z.displayCentre.y});
  } else {
    return;
  }
  ComputeAndRedraw(camera);
  host.ProcessFrame(true, camera);
}

void DisplayController::RedrawReticle() {
  DisplayHost& host = Host();
  const int guide = GuideCamera();
  if (!host.CameraRunning(guide)) return;
  if (Image* overlay = host.ReticleOverlay()) {
    overlay->Fill(kWhite);
    if (ReticleShown()) {
      const ZoneState& z = host.Zones();
      ReticleParams prm;
      prm.x = z.reticleCentre.x;
      prm.y = z.reticleCentre.y;
      prm.axes = tool_.CKB_Croix.Checked();
      prm.circles = tool_.CKB_Cercles.Checked();
      prm.frameWidth = host.FrameWidth(guide);
      prm.orientation = tool_.TNI_Orient.Value();
      prm.sampling = host.Sampling();
      DrawReticle(*overlay, prm, directions_);
    }
  }
  ComputeAndRedraw(guide);
}

void DisplayController::CentreReticleOnZone() {
  if (!ReticleShown()) return;
  Zones().reticleCentre = Zones().Centre();
  RedrawReticle();
}

void DisplayController::CentreReticleOnScreen() {
  if (!ReticleShown()) return;
  const int guide = GuideCamera();
  Zones().reticleCentre = {Host().FrameWidth(guide) / 2, Host().FrameHeight(guide) / 2};
  RedrawReticle();
}

void DisplayController::CentreDetectionOnScreen() {
  const int guide = GuideCamera();
  MoveZoneCentre(guide, {Host().FrameWidth(guide) / 2, Host().FrameHeight(guide) / 2});
  ComputeAndRedraw(guide);
  Host().ProcessFrame(true, guide);
}

void DisplayController::CentreDisplayOnScreen() {
  const int camera = ImageCamera();
  ZoneState& z = Zones();
  z.previousOffset = z.Offset();
  z.SetOffset({Host().FrameWidth(camera) / 2 - z.displayCentre.x,
               Host().FrameHeight(camera) / 2 - z.displayCentre.y});
  ComputeAndRedraw(camera);
  Host().ProcessFrame(true, camera);
}

void DisplayController::CentreDisplayOnZone() {
  if (!tool_.CKB_Zones_Liees.Checked()) {
    Zones().previousOffset = Zones().Offset();
    Zones().SetOffset({0, 0});
  }
  ComputeAndRedraw(GuideCamera());
  Host().ProcessFrame(true, ImageCamera());
}

void DisplayController::PageChanged(int sourceCamera) {
  ComputeDisplayZone(miniSource_);
  if (sourceCamera == 1 || sourceCamera == 2) ComputeAndRedraw(sourceCamera);
}

void DisplayController::DrawDetectionMarker(Image& target, bool miniSource, MarkerStyle style,
                                            const Point* operationTarget) const {
  const double scale = miniSource ? MiniScale() : 1.0;
  auto scaled = [scale](double v) { return static_cast<int>(Trunc(v / scale)); };
  const ZoneState& z = Zones();
  const int half = scaled(Trunc(tool_.TNI_Taille_ZDetect.Value() * 0.5));
  Canvas cv(target);
  DrawZoneMarker(cv, scaled(z.Centre().x), scaled(z.Centre().y), style.centreMark, style.shape,
                 Rgb(255, 0, 0), half);
  if (operationTarget) {
    DrawZoneMarker(cv, scaled(operationTarget->x), scaled(operationTarget->y), 1, 1, Rgb(0, 255, 0),
                   half);
  }
}

}  // namespace orniva
