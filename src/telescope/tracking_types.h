#pragma once

#include <array>
#include <cstdint>

#include "core/image.h"

namespace orniva {

// The five ways a tracking pass measures where the object lies in the zone.
enum class TrackMethod {
  None,         // "Somme Axes 2" (hidden) selects nothing
  BrightPixel,  // "Pixel Brillant"
  AxisSum,      // "Somme Axes"
  Limits,       // "Detect.Limites"
  Correlation,  // "Correlation"
  Drift         // "Derive"
};

// A measured position in frame pixels (may be a half pixel).
struct TrackPoint {
  double x = 0, y = 0;
  friend bool operator==(const TrackPoint&, const TrackPoint&) = default;
};

struct IntPoint {
  int x = 0, y = 0;
  friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

// The limits of a zone clipped to the frame: rows top .. bottom - 1 and
// columns left .. right are scanned (all inclusive values).
struct ZoneBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// An edge box found by the limit scans.
struct LimitsResult {
  bool found = false;   // all four edges were found
  TrackPoint position;  // box centre, or the fallback when not found
  ZoneBox edges;        // left edge, top edge, right edge, bottom edge
};

// What one pass gathers over the zone.
struct PassStats {
  int peak = 0;             // highest luminance met
  int64_t zoneLumSum = 0;   // luminance sum (when no focus measure runs)
  int64_t focusCount = 0;   // pixels brighter than the focus threshold
  int64_t focusLumSum = 0;  // luminance sum while the focus count is gathered
};

// How the statistics of a scan are gathered: into the focus count and sum
// (with the threshold) or into the plain zone sum.
struct StatsMode {
  bool focus = false;
  int focusThreshold = 500;
};

// The correlation reference: a zone-sized copy of the frame around the
// zone centre with its mean and sum of squared deviations of B + G + R.
struct CorrelationReference {
  Image image;
  bool taken = false;
  double mean = 0;
  double sumSquares = 0;
  bool fresh = false;  // just taken: the next correlation pass does not search
};

// Drift ("Derive"): the zone moves at set rates whatever the frame shows.
struct DriftState {
  double rateX = 0, rateY = 0;    // pixels per second
  double accumX = 0, accumY = 0;  // pixels not yet moved
  int64_t lastStepMs = 0;         // time of day of the last step (ms)
  int durationS = 0;              // seconds the rates were measured over; 0 = none
  IntPoint origin;                // zone centre when the origin was restarted
};

// The FWHM estimate of the focus aid: a ring of samples (room for 50) with a
// running sum; the shown value is the mean of the last N samples.
struct FwhmRing {
  static constexpr int kCapacity = 50;
  std::array<long double, kCapacity + 1> samples{};  // indexed 1..N
  int index = 0;
  long double runningSum = 0;
  bool full = false;
};

}  // namespace orniva
