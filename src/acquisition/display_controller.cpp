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

DisplayController::DisplayController(TFRM_Tool_Affichage& tool)
    : host_(&NoDisplayHost()), tool_(tool) {
  zoneOverlay_.Fill(kWhite);
  miniZoneOverlay_.Fill(kWhite);
  reticleOverlay_.Fill(kWhite);
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
  DisplayZoneInput in;
  in.displayCentre = zones_.displayCentre;
  in.displayOffset = zones_.displayOffset;
  in.size = tool_.TNI_Taille_ZAffich.Value();
  in.aspect = host_->ZoneAspect();
  in.frameWidth = host_->FrameWidth(camera);
  in.frameHeight = host_->FrameHeight(camera);
  in.miniScale = miniScale_;
  zones_.zone = orniva::ComputeDisplayZone(in);
}

void DisplayController::RedrawZoneOverlays(int camera) {
  if (host_->SourcePageVisible(camera)) DrawZoneOverlay(zoneOverlay_, zones_.zone.zone);
  if (host_->MiniSourceVisible()) DrawZoneOverlay(miniZoneOverlay_, zones_.zone.miniZone);
}

void DisplayController::MoveZoneCentre(int camera, Point centre) {
  const Point previous = zones_.zoneCentre;
  zones_.previousZoneCentre = previous;
  zones_.zoneCentre = centre;
  if (camera != ImageCamera()) return;
  zones_.displayCentre = centre;
  if (!tool_.CKB_Zones_Liees.Checked()) {
    zones_.previousDisplayOffset = zones_.displayOffset;
    zones_.displayOffset.x += previous.x - centre.x;
    zones_.displayOffset.y += previous.y - centre.y;
  }
}

void DisplayController::SourceStarted(int camera, bool firstStart) {
  const int w = host_->FrameWidth(camera), h = host_->FrameHeight(camera);
  zones_.reticleRect = {0, 0, w, h};
  if (firstStart) {
    const Point centre{w / 2, h / 2};
    zones_.zoneCentre = zones_.previousZoneCentre = centre;
    zones_.displayCentre = zones_.reticleCentre = centre;
    zones_.displayOffset = zones_.previousDisplayOffset = {0, 0};
  }
  for (Control* c : {static_cast<Control*>(&tool_.TNI_Taille_ZDetect),
                     static_cast<Control*>(&tool_.SCB_Taille_ZDetect),
                     static_cast<Control*>(&tool_.TNI_Taille_ZAffich),
                     static_cast<Control*>(&tool_.TNI_Taille_ZAffichV),
                     static_cast<Control*>(&tool_.SCB_Taille_ZAffich)}) {
    c->SetEnabled(true);
  }
  tool_.SCB_Taille_ZDetect.SetRange(3, std::max(3, std::min(480, w - 50)));
  tool_.SCB_Taille_ZAffich.SetRange(20, std::max(20, w));
  tool_.SCB_Taille_ZAffich.SetPosition(w);
}

void DisplayController::SourceMouseUp(int camera, MouseButton button, unsigned shift, int x,
                                      int y) {
  if (!host_->CameraRunning(camera)) return;
  host_->SetProcessingSwitch();
  if (host_->BuildingDarkOrFlat()) return;
  const bool withShift = shift & kShift, withCtrl = shift & kCtrl, withAlt = shift & kAlt;
  const int w = host_->FrameWidth(camera), h = host_->FrameHeight(camera);

  if (button == MouseButton::Left) {
    if (camera != GuideCamera()) return;
    if (withShift && withCtrl) {
      if (host_->MountConfigured()) {
        host_->MoveMountBy(x - zones_.zoneCentre.x, y - zones_.zoneCentre.y);
      }
    } else if (withShift) {
      MoveZoneCentre(camera, {w / 2, h / 2});
    } else {
      MoveZoneCentre(camera, {x, y});
      host_->ZoneCentreClicked(camera, x, y);
    }
    if (withCtrl && !withShift && ReticleShown()) {
      zones_.reticleCentre = {x, y};
      RedrawReticle();
      host_->ProcessFrame(true, camera);
    }
    if (withAlt) host_->NewMeasurementPoint(x, y);
  } else if (button == MouseButton::Right) {
    if (camera != ImageCamera() || withAlt || withCtrl) return;
    const Point target = withShift ? Point{w / 2, h / 2} : Point{x, y};
    zones_.previousDisplayOffset = zones_.displayOffset;
    zones_.displayOffset = {target.x - zones_.displayCentre.x, target.y - zones_.displayCentre.y};
  } else {
    return;
  }
  ComputeAndRedraw(camera);
  host_->ProcessFrame(true, camera);
}

void DisplayController::RedrawReticle() {
  const int guide = GuideCamera();
  if (!host_->CameraRunning(guide)) return;
  reticleOverlay_.Fill(kWhite);
  if (ReticleShown()) {
    ReticleParams prm;
    prm.x = zones_.reticleCentre.x;
    prm.y = zones_.reticleCentre.y;
    prm.axes = tool_.CKB_Croix.Checked();
    prm.circles = tool_.CKB_Cercles.Checked();
    prm.frameWidth = host_->FrameWidth(guide);
    prm.orientation = tool_.TNI_Orient.Value();
    prm.sampling = host_->Sampling();
    DrawReticle(reticleOverlay_, prm, directions_);
  }
  ComputeAndRedraw(guide);
}

void DisplayController::CentreReticleOnZone() {
  if (!ReticleShown()) return;
  zones_.reticleCentre = zones_.zoneCentre;
  RedrawReticle();
}

void DisplayController::CentreReticleOnScreen() {
  if (!ReticleShown()) return;
  const int guide = GuideCamera();
  zones_.reticleCentre = {host_->FrameWidth(guide) / 2, host_->FrameHeight(guide) / 2};
  RedrawReticle();
}

void DisplayController::CentreDetectionOnScreen() {
  const int guide = GuideCamera();
  MoveZoneCentre(guide, {host_->FrameWidth(guide) / 2, host_->FrameHeight(guide) / 2});
  ComputeAndRedraw(guide);
  host_->ProcessFrame(true, guide);
}

void DisplayController::CentreDisplayOnScreen() {
  const int camera = ImageCamera();
  zones_.previousDisplayOffset = zones_.displayOffset;
  zones_.displayOffset = {host_->FrameWidth(camera) / 2 - zones_.displayCentre.x,
                          host_->FrameHeight(camera) / 2 - zones_.displayCentre.y};
  ComputeAndRedraw(camera);
  host_->ProcessFrame(true, camera);
}

void DisplayController::CentreDisplayOnZone() {
  if (!tool_.CKB_Zones_Liees.Checked()) {
    zones_.previousDisplayOffset = zones_.displayOffset;
    zones_.displayOffset = {0, 0};
  }
  ComputeAndRedraw(GuideCamera());
  host_->ProcessFrame(true, ImageCamera());
}

void DisplayController::PageChanged(int sourceCamera) {
  ComputeDisplayZone(miniSource_);
  if (sourceCamera == 1 || sourceCamera == 2) ComputeAndRedraw(sourceCamera);
}

void DisplayController::OverlaySourcePage(int camera, Image& page, MarkerStyle style,
                                          const Point* target) const {
  if (camera == ImageCamera()) {
    MergePaint(page, zones_.zone.frameZone, zoneOverlay_, zones_.zone.zone);
    if (ReticleShown()) MergePaint(page, zones_.reticleRect, reticleOverlay_, zones_.reticleRect);
  }
  if (camera == GuideCamera()) {
    Canvas cv(page);
    const int half = static_cast<int>(Trunc(tool_.TNI_Taille_ZDetect.Value() * 0.5));
    DrawZoneMarker(cv, zones_.zoneCentre.x, zones_.zoneCentre.y, style.centreMark, style.shape,
                   Rgb(255, 0, 0), half);
    if (target) DrawZoneMarker(cv, target->x, target->y, 1, 1, Rgb(0, 255, 0), half);
  }
}

void DisplayController::DrawMiniSource(Image& mini, const Image& sourcePage, int camera,
                                       MarkerStyle style, const Point* target) const {
  Canvas cv(mini);
  cv.StretchDraw({0, 0, mini.Width(), mini.Height()}, sourcePage,
                 {0, 0, sourcePage.Width(), sourcePage.Height()});
  if (camera == ImageCamera()) {
    MergePaint(mini, zones_.zone.miniFrameZone, miniZoneOverlay_, zones_.zone.miniZone);
  }
  if (camera == GuideCamera()) {
    auto scaled = [this](double v) { return static_cast<int>(Trunc(v / miniScale_)); };
    const int half = static_cast<int>(Trunc(tool_.TNI_Taille_ZDetect.Value() * 0.5));
    DrawZoneMarker(cv, scaled(zones_.zoneCentre.x), scaled(zones_.zoneCentre.y), style.centreMark,
                   style.shape, Rgb(255, 0, 0), scaled(half));
    if (target) {
      DrawZoneMarker(cv, scaled(target->x), scaled(target->y), 1, 1, Rgb(0, 255, 0), scaled(half));
    }
  }
}

}  // namespace orniva
