#pragma once

#include "core/canvas.h"
#include "core/image.h"

namespace orniva {

// What the display zone is computed from: the zone state, the display-zone
// size (the "Affichage" field), the zone aspect, the camera's frame size and
// the mini-source scale.
struct DisplayZoneInput {
  Point displayCentre;
  Point displayOffset;
  double size = 320;
  double aspect = 4.0 / 3.0;
  int frameWidth = 640;
  int frameHeight = 480;
  double miniScale = 4.0;
};

// The display zone in frame coordinates (clipped to the frame), the same
// pixels in result-page coordinates, and both divided by the mini-source
// scale.
struct DisplayZone {
  Rect frameZone;
  Rect zone;
  Rect miniFrameZone;
  Rect miniZone;
};

// The display zone's rectangles. The zone centre is held so that at least
// one column and one row of the zone stay on the frame; the result page
// keeps the zone as if it were never clipped.
DisplayZone ComputeDisplayZone(const DisplayZoneInput& in);

// Fills the overlay white and draws the dotted olive frame of the rectangle
// in not-xor mode (right and bottom excluded).
void DrawZoneOverlay(Image& overlay, Rect r);

// The detection-zone marker: shape 0 square, 1 circle; centre mark 0 cross
// (two diagonals), 1 point; solid pen of width 1 in the given colour.
void DrawZoneMarker(Canvas& canvas, int x, int y, int centreMark, int shape, Bgr colour,
                    int halfSize);

// Size of the result page for display-zone size s, zone aspect a, frame
// height H, as the display-zone scroll bar sets it, and the value shown in
// the vertical size field.
struct ResultPageSize {
  int width = 0, height = 0;
  int shownHeight = 0;
};
ResultPageSize ZoneScrollPageSize(double s, double aspect, int frameHeight, bool binning2x2);

// "XVid Ok": both sides of the result page are multiples of 4.
inline bool XVidCompatible(int width, int height) {
  return width % 4 == 0 && height % 4 == 0;
}

}  // namespace orniva
