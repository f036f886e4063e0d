#pragma once

#include <cstdint>

#include "core/image.h"
#include "telescope/tracking_log.h"
#include "telescope/tracking_types.h"

namespace orniva {

// Whole pixels from a measured coordinate: Round(v - 0.5), ties to even.
// A whole value stays when even and loses one when odd.
int PixelFromPosition(double v);

// Pushes the zone centre back so that the zone (half sizes halfW, halfH)
// spans at least columns 1 .. width - 1 and rows 1 .. height - 1. Returns
// true when it had to move (the pass has touched the border).
bool ClampZoneCentre(int& x, int& y, int halfW, int halfH, int width, int height);

// The zone around (x, y) clipped to the frame, as the limit scans and the
// statistics use it.
ZoneBox ClippedZoneBox(int x, int y, int halfW, int halfH, int width, int height);

// Adds one luminance to the statistics of a pass.
inline void AddStat(PassStats& stats, const StatsMode& mode, int lum) {
  if (mode.focus) {
    stats.focusLumSum += lum;
    if (lum > mode.focusThreshold) ++stats.focusCount;
  } else {
    stats.zoneLumSum += lum;
  }
}

// "Pixel Brillant": rows y - halfH .. y + halfH - 1, columns x - halfW ..
// x + halfW, top to bottom and left to right; a pixel replaces the best one
// when brighter than peak + tolerance. Returns (x, y) when nothing qualifies.
// Gathers the statistics on the way. Parts of the zone outside the frame
// read as black (which can neither win nor count), so they are skipped.
TrackPoint FindBrightestPixel(const Image& image, int x, int y, int halfW, int halfH, int tolerance,
                              const StatsMode& mode, PassStats& stats);

// "Somme Axes": centroid weighted by the squared luminance over the same
// pixels as FindBrightestPixel, rounded to whole pixels; an all-black zone
// gives (0, 0). Keeps the peak and the statistics.
TrackPoint AxisSumCentroid(const Image& image, int x, int y, int halfW, int halfH,
                           const StatsMode& mode, PassStats& stats);

// The zone statistics alone: rows top .. bottom - 1, columns left .. right of
// the clipped zone box; keeps the peak.
void SumZoneLuminance(const Image& image, int x, int y, int halfW, int halfH, const StatsMode& mode,
                      PassStats& stats);

// "Detect.Limites": a pixel is active when its luminance is above the
// threshold (below it with dark). Scans inward from each side of the zone
// box for the row (column) where the count of active pixels starts to grow.
// When not all four edges are found the result is fallback (the current zone
// centre). Out-of-frame reads go through GetLum with context.
LimitsResult DetectLimits(const Image& image, int x, int y, int halfW, int halfH, int threshold,
                          bool dark, TrackPoint fallback, const LumReadContext& context);

// Collimation's second centre: 20 rays from (x, y) stopping at the first
// active pixel; with 4 hits or more the centre of the end points' bounding
// box, otherwise fallback.
LimitsResult RadialLimits(const Image& image, int x, int y, int halfW, int halfH, int threshold,
                          bool dark, TrackPoint fallback, const LumReadContext& context);

// Restarts the drift origin: no motion owed, last step now.
void RestartDrift(DriftState& drift, int64_t nowMsOfDay, IntPoint zoneCentre);

// "Derive": advances the accumulators by the time since the last step and
// moves by their whole part once it exceeds max(1, deadBand). Returns the
// zone centre plus the move; in autoguiding with no drift defined, the zone
// centre itself.
TrackPoint DriftStep(DriftState& drift, int64_t nowMsOfDay, int deadBand, bool autoguiding,
                     IntPoint zoneCentre);

}  // namespace orniva
