#pragma once

#include <string>

#include "acquisition/capture_format.h"
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

// The zones and the overlays of the pages: the clicks on the source pages,
// what the zone and reticle controls of the display tool window do, and the
// drawing the pipeline asks for. The zone state and the overlays belong to
// the main window (through the host).
//
// The overlays are laid on their page at (0, 0): the zone overlay carries the
// display zone's frame at the frame zone rectangle, the mini zone overlay at
// the mini frame rectangle. This is the same as drawing the frame at the zone
// rectangle and merging the zone rectangle onto the frame zone rectangle.
class DisplayController {
 public:
  explicit DisplayController(TFRM_Tool_Affichage& tool) : tool_(tool) {}

  // The main window and the rest of the program (until set: nothing).
  void SetHost(DisplayHost& host) { host_ = &host; }
  DisplayHost& Host() const { return host_ ? *host_ : NoDisplayHost(); }
  ZoneState& Zones() const { return Host().Zones(); }
  double MiniScale() const { return Host().MiniScale(); }
  void SetMiniScale(double scale) { Host().SetMiniScale(scale > 0 ? scale : 1.0); }
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

  // A source starts: the size controls are enabled and take the frame's
  // limits, the display zone the frame's width, the reticle rectangle the
  // frame. The first start of the run puts the zone, display and reticle
  // centres at the frame centre with no offset; a later start with a frame
  // that differs in both width and height from the camera's last one scales
  // the reticle centre by new / old on each axis.
  void SourceStarted(int camera);
  // The size controls take the limits of a camera's frame (at a start and
  // after a new format; the zones stay where they are).
  void ApplyZoneLimits(int camera, const ZoneLimits& limits);
  // The detection and display zones centred on the frame, the display zone
  // over the whole width (camera 1's new format).
  void CentreZonesOnFrame(int camera);

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

  // The red detection-zone marker at the zone centre and, during a guided
  // operation that shows one, the green target marker; on the mini source at
  // the mini scale.
  void DrawDetectionMarker(Image& target, bool miniSource, MarkerStyle style,
                           const Point* operationTarget = nullptr) const;

 private:
  DisplayHost* host_ = nullptr;
  TFRM_Tool_Affichage& tool_;
  int miniSource_ = 1;
  DirectionTexts directions_;
  bool started_ = false;  // a source has started in this run
  // Each camera's frame size when the reticle centre was last placed for it.
  Point referenceSize_[2]{};
};

}  // namespace orniva
