#pragma once

#include "core/canvas.h"
#include "core/image.h"
#include "core/rounding.h"

namespace orniva {

// The zone state (frame pixels), owned by the main window and shared with
// tracking, guiding, the guided operations and the script variables. The
// pipeline compares the zone centre and the display offset from one frame to
// the next to know when the zones moved.
struct ZoneState {
  double centreX = 0, centreY = 0;  // detection-zone centre (tracked star or lock point)
  double offsetX = 0, offsetY = 0;  // display-zone offset
  Rect frameZone{0, 0, 320, 240};   // the display zone in the image camera's frame
  Rect zone{0, 0, 320, 240};        // where it lands on the zone image and the result page
  Point previousCentre;             // the zone centre before its last change
  Point displayCentre;              // base point of the display zone
  Point previousOffset;             // the display offset before its last change
  Point reticleCentre;
  Rect reticleRect;              // (0, 0, width, height) of the frame at the last start
  Rect miniFrameZone, miniZone;  // frameZone and zone at the mini-source scale

  Point Centre() const {
    return {static_cast<int>(Trunc(centreX)), static_cast<int>(Trunc(centreY))};
  }
  void SetCentre(Point p) {
    centreX = p.x;
    centreY = p.y;
  }
  Point Offset() const {
    return {static_cast<int>(Trunc(offsetX)), static_cast<int>(Trunc(offsetY))};
  }
  void SetOffset(Point p) {
    offsetX = p.x;
    offsetY = p.y;
  }
};

}  // namespace orniva
