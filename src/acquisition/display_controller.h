#pragma once

#include <string>

#include "acquisition/display_host.h"
#include "acquisition/display_reticle.h"
#include "core/image.h"
#include "ui/picture.h"

namespace orniva {

class TFRM_Tool_Affichage;

// Style of the detection-zone marker (preferences, "Mire" page).
struct MarkerStyle {
  int shape = 0;       // 0 square, 1 circle
  int centreMark = 0;  // 0 cross, 1 point
};

// The zones and the overlays of the pages: the zone state, the zone
// overlay, the mini zone overlay and the reticle overlay, the clicks on the
// source pages, and what the zone and reticle controls of the display tool
// window do.
class DisplayController {
 public:
  explicit DisplayController(TFRM_Tool_Affichage& tool);

  // The main window and the rest of the program (until set: nothing).
  void SetHost(DisplayHost& host) { host_ = &host; }
  DisplayHost& Host() const { return *host_; }

  DisplayZoneState& Zones() { return zones_; }
  const DisplayZoneState& Zones() const { return zones_; }
  Image& ZoneOverlay() { return zoneOverlay_; }
  Image& MiniZoneOverlay() { return miniZoneOverlay_; }
  Image& ReticleOverlay() { return reticleOverlay_; }
  double MiniScale() const { return miniScale_; }
  void SetMiniScale(double scale) { miniScale_ = scale > 0 ? scale : 1.0; }
  int ImageCamera() const;
  int GuideCamera() const;
  bool ReticleShown() const;

  // Recomputes the display zone's four rectangles for the camera's frame.
  void ComputeDisplayZone(int camera);
  // Redraws the zone overlay (when that source page is shown) and the mini
  // zone overlay (when the mini source is shown).
  void RedrawZoneOverlays(int camera);
  void ComputeAndRedraw(int camera) {
    ComputeDisplayZone(camera);
    RedrawZoneOverlays(camera);
  }
  // Moves the zone centre; the display zone follows on the image camera and,
  // unless the zones are linked, its offset keeps it in place.
  void MoveZoneCentre(int camera, Point centre);

  // A source start: the size controls are enabled and take the frame's
  // limits, the reticle rectangle the frame; at the first start the zone,
  // display and reticle centres go to the frame centre with no offset.
  void SourceStarted(int camera, bool firstStart);

  // A mouse button released on source page 1 or 2 (frame coordinates).
  void SourceMouseUp(int camera, MouseButton button, unsigned shift, int x, int y);

  // Redraws the reticle overlay (only while the guide camera runs), then
  // the guide camera's display zone and overlays.
  void RedrawReticle();
  void CentreReticleOnZone();
  void CentreReticleOnScreen();

  // "Centrer sur..." of the "Zones" page.
  void CentreDetectionOnScreen();
  void CentreDisplayOnScreen();
  void CentreDisplayOnZone();

  // The main window's page changed (camera 1 or 2 for a source page, 0 for
  // the result page): the mini source's zone is recomputed, and a source
  // page's zone recomputed and redrawn.
  void PageChanged(int sourceCamera);
  // The source shown in the mini source (set by the mini source).
  void SetMiniSource(int camera) { miniSource_ = camera; }
  int MiniSource() const { return miniSource_; }

  // The texts of the direction labels (language keys "Nord", "Sud", "Est",
  // "Ouest").
  void SetDirectionTexts(DirectionTexts texts) { directions_ = std::move(texts); }

  // What the pipeline draws on a source page after the frame: the zone frame
  // and the reticle (image camera), the red marker (guide camera) and, during
  // a guided operation that shows one, the green target marker.
  void OverlaySourcePage(int camera, Image& page, MarkerStyle style,
                         const Point* target = nullptr) const;
  // The mini source: the chosen source page stretched, its zone frame and
  // markers at the mini scale.
  void DrawMiniSource(Image& mini, const Image& sourcePage, int camera, MarkerStyle style,
                      const Point* target = nullptr) const;

 private:
  DisplayHost* host_;
  TFRM_Tool_Affichage& tool_;
  DisplayZoneState zones_;
  Image zoneOverlay_{1024, 768};
  Image miniZoneOverlay_{1024, 768};
  Image reticleOverlay_{800, 600};
  double miniScale_ = 4.0;
  int miniSource_ = 1;
  DirectionTexts directions_;
};

}  // namespace orniva
