#pragma once

#include <cstdint>
#include <functional>

#include "core/image.h"
#include "telescope/tracking_log.h"
#include "telescope/tracking_types.h"

namespace orniva {

// The settings a pass reads, copied from the controls that hold them (the
// tracking window, the focus aid, the preferences) just before the pass.
struct TrackingSettings {
  TrackMethod method = TrackMethod::AxisSum;
  bool autoguiding = false;  // "Autoguidage" rather than "Suivi logiciel"
  int tolerance = 0;         // "Tolerance.:"
  int correlPrecision = 2;   // "Precision :"
  bool darkObjects = false;  // "Sur objets sombres"
  bool lostStarAlert = false;
  int detectMin = 50;      // "Seuil mini de detection"
  int guideInterval = 10;  // "Intervalle (Images) :"
  int zoneSize = 40;       // detection zone size
  int deadBand = 0;        // preferences' neutral zone
  bool focusFwhm = false;  // the focus aid measures FWHM
  bool fwhmAuto = false;
  int focusThreshold = 500;  // the focus threshold; a pass with "Auto" sets it
  int fwhmSamples = 10;      // FWHM averaging depth
  bool collimation = false;
  bool lumistay = false;
  bool nonVide = false;  // the "Non-vide" image selection wants the zone mean
  bool guideIsImageCamera = true;
};

// The process-wide tracking state.
struct TrackingState {
  IntPoint zoneCentre{320, 240};
  IntPoint previousCentre{320, 240};
  IntPoint imageCameraStar{320, 240};
  IntPoint radialCentre;
  int peak = 0;
  int previousPeak = 0;
  int zoneMean = 0;
  PassStats stats;
  CorrelationReference reference;
  DriftState drift;
  bool starPresent = false;
  bool lossReported = false;  // the loss action ran for the current loss
  int guideFrameCounter = 0;
  FwhmRing fwhmRing;
  double fwhm = 0;
  double previousFwhm = 0;
  double bestFwhm = 99999;
  double worstFwhm = 0;
  LimitsResult lastBox;  // the last radial box (collimation)
};

// What a pass hands to the rest of the program.
struct TrackingHooks {
  // Autoguiding: the whole-pixel error of the star from the lock point.
  std::function<void(int dx, int dy)> guideCorrection;
  // Long exposure with Lumistay: one step of the exposure timer at once.
  std::function<void()> exposureStep;
  // A box found by the limit scans, drawn dotted on the camera's image.
  std::function<void(const ZoneBox& box)> drawBox;
  // The zone display of the camera (and the secondary displays) to refresh.
  std::function<void()> refreshZone;
  // The focus measure: previous, current, best, worst FWHM.
  std::function<void(double, double, double, double)> fwhmMeasured;
  // The ring has filled and a new FWHM is known (the autofocus counts these).
  std::function<void(double)> fwhmSampleFull;
  // The action on guide-star loss.
  std::function<void()> starLost;
  TrackingLog* log = nullptr;  // "Debug.log" when "Debug actif" is checked
};

struct ZoneRequest {
  int x = 0, y = 0;
  int zoneWidth = 40, zoneHeight = 40;
  bool track = true;
  bool forceBrightPixel = false;
  bool guideCamera = true;  // the camera measured is the guide camera
};

struct PassResult {
  bool insideFrame = true;
  int peak = 0;
};

// The images a pass may read: the camera's frame slot and, when guiding on
// the result page, that page's bitmap.
struct PassImages {
  const Image* slot = nullptr;        // the frame slot (statistics always read it)
  const Image* trackImage = nullptr;  // what the methods read (slot or result page)
};

// One tracking pass around (x, y): clamps the zone, runs the selected method
// with the zone statistics, and uses the measured position (moves the zone,
// or hands the error to the guiding, or the Lumistay dead band). With track
// false only the statistics run (and only for "Non-vide").
PassResult TrackZone(TrackingState& state, TrackingSettings& settings, const PassImages& images,
                     const ZoneRequest& request, int64_t nowMsOfDay, const TrackingHooks& hooks);

// What decides how a frame of the guide camera is tracked.
struct GuideFrameContext {
  bool trackingOn = false;
  bool buildingDarkOrFlat = false;
  bool longExposure = false;
  bool selfGuiding = false;
  bool guideFrameMarked = false;  // long exposure marks this frame a guide frame
  bool interposedPhase = false;   // between two long exposures
};

// The per-frame tracking step for the guide camera: picks the pass (or the
// statistics-only pass), tests for a lost star, fires the loss action and,
// in software tracking, re-acquires over the whole frame. slot0 is the live
// frame, slot2 the self-guiding frame, resultPage non-null when guiding on
// the result page. Returns the insideFrame of the pass it made.
bool TrackGuideFrame(TrackingState& state, TrackingSettings& settings,
                     const GuideFrameContext& context, const Image& slot0, const Image& slot2,
                     const Image* resultPage, int64_t nowMsOfDay, const TrackingHooks& hooks);

// Takes the correlation reference at the zone centre with the zone size.
void TakeCorrelationReference(TrackingState& state, const TrackingSettings& settings,
                              const Image& slot0);

}  // namespace orniva
