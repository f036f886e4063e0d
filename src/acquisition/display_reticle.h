#pragma once

#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/image.h"

namespace orniva {

// The texts of the direction labels (language keys "Nord", "Sud", "Est",
// "Ouest").
struct DirectionTexts {
  std::string nord = "Nord", sud = "Sud", est = "Est", ouest = "Ouest";
};

struct ReticleParams {
  int x = 0, y = 0;        // centre
  bool axes = true;        // the graduated cross ("Croix")
  bool circles = true;     // the concentric circles ("Cercles")
  int frameWidth = 640;    // of the guide camera
  double orientation = 0;  // degrees; 0 puts north up and west right
  double sampling = 0;     // arc-seconds per pixel
};

// One graduation: its circle radius in pixels and its label.
struct Graduation {
  int arcsec = 0;
  int radius = 0;
  std::string label;
};

struct ReticleScale {
  double pixelsPerArcsec = 0;  // p
  int step = 0;                // S, arc-seconds between graduations
  int extent = 0;              // L, arc-seconds
  std::vector<Graduation> graduations;
};

// The graduation step for p pixels per arc-second.
int GraduationStep(double pixelsPerArcsec);

// Scale, step, extent and graduations for a frame width and a sampling. A
// sampling that is not a positive number gives the coarsest scale (extent
// 648000 arc-seconds).
ReticleScale ComputeReticleScale(int frameWidth, double sampling);

// The font of the reticle labels: Arial, small, olive.
Font ReticleFont();

// Draws the reticle into the overlay (already filled white): dotted circles,
// the cross with its arrow heads, the graduation labels on both axes and the
// direction labels, all in not-xor cyan except the olive texts.
void DrawReticle(Image& overlay, const ReticleParams& params,
                 const DirectionTexts& texts = DirectionTexts{});

}  // namespace orniva
