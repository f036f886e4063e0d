#include "telescope/tracking_pass.h"

#include <cmath>
#include <cstdlib>

#include "core/rounding.h"
#include "telescope/tracking_correlation.h"
#include "telescope/tracking_fwhm.h"
#include "telescope/tracking_methods.h"

namespace orniva {
namespace {

int ZoneMean(int64_t sum, int zoneSize) {
  const int64_t cells = Trunc(static_cast<double>(zoneSize + 1) * (zoneSize + 1));
  return cells == 0 ? 0 : static_cast<int>(Trunc(static_cast<double>(sum) / cells));
}

// The focus measure of a pass: one FWHM sample from the focus pixel count.
void MeasureFocus(TrackingState& state, const TrackingSettings& settings,
                  const TrackingHooks& hooks) {
  state.previousFwhm = state.fwhm;
  state.fwhm =
      AddFwhmSample(state.fwhmRing, settings.fwhmSamples, FwhmFromCount(state.stats.focusCount));
  if (state.fwhmRing.full) {
    if (state.fwhm < state.bestFwhm) state.bestFwhm = state.fwhm;
    if (state.fwhm > state.worstFwhm) state.worstFwhm = state.fwhm;
    if (hooks.fwhmSampleFull) hooks.fwhmSampleFull(state.fwhm);
  }
  if (hooks.fwhmMeasured) {
    hooks.fwhmMeasured(state.previousFwhm, state.fwhm, state.bestFwhm, state.worstFwhm);
  }
}

// Moves the zone onto the measured position, as software tracking does. A
// drift step is already in whole pixels and is taken as it is: the
// conversion of measured positions, Round(v - 0.5) applied twice, would
// turn every odd step into one pixel less, so that a drift of one pixel at
// a time would never move the zone at all.
void MoveZone(TrackingState& state, const TrackingSettings& settings, TrackPoint pos, bool whole,
              bool clamp, int halfW, int halfH, const Image& image, bool& touched) {
  state.previousCentre = state.zoneCentre;
  int x = whole ? static_cast<int>(pos.x) : PixelFromPosition(pos.x);
  int y = whole ? static_cast<int>(pos.y) : PixelFromPosition(pos.y);
  if (clamp) touched |= ClampZoneCentre(x, y, halfW, halfH, image.Width(), image.Height());
  state.zoneCentre = whole ? IntPoint{x, y} : IntPoint{PixelFromPosition(x), PixelFromPosition(y)};
  if (settings.collimation) {
    state.radialCentre = {PixelFromPosition(state.lastBox.position.x),
                          PixelFromPosition(state.lastBox.position.y)};
  }
  if (settings.guideIsImageCamera) state.imageCameraStar = state.zoneCentre;
}

}  // namespace

void TakeCorrelationReference(TrackingState& state, const TrackingSettings& settings,
                              const Image& slot0) {
  CaptureCorrelationReference(state.reference, slot0, state.zoneCentre.x, state.zoneCentre.y,
                              settings.correlPrecision, settings.zoneSize, settings.zoneSize);
}

PassResult TrackZone(TrackingState& state, TrackingSettings& settings, const PassImages& images,
                     const ZoneRequest& req, int64_t nowMsOfDay, const TrackingHooks& hooks) {
  const Image& slot = *images.slot;
  const Image& image = images.trackImage ? *images.trackImage : slot;
  const int halfW = req.zoneWidth / 2, halfH = req.zoneHeight / 2;
  int x = req.x, y = req.y;
  PassResult result;
  const StatsMode stats{settings.focusFwhm, settings.focusThreshold};

  if (!req.track) {
    // The statistics alone, for the "Non-vide" selection.
    if (!settings.nonVide) return result;
    state.stats = {};
    SumZoneLuminance(slot, x, y, halfW, halfH, stats, state.stats);
    if (settings.focusFwhm) state.stats.zoneLumSum = state.stats.focusLumSum;
    state.peak = state.stats.peak;
    state.zoneMean = ZoneMean(state.stats.zoneLumSum, settings.zoneSize);
    result.peak = state.peak;
    return result;
  }

  bool touched = ClampZoneCentre(x, y, halfW, halfH, image.Width(), image.Height());
  state.stats = {};
  if (settings.focusFwhm && settings.fwhmAuto) {
    settings.focusThreshold = static_cast<int>(Trunc(state.previousPeak * 0.5));
  }
  const StatsMode mode{settings.focusFwhm, settings.focusThreshold};
  const TrackMethod method = req.forceBrightPixel ? TrackMethod::BrightPixel : settings.method;
  const TrackPoint centre{static_cast<double>(state.zoneCentre.x),
                          static_cast<double>(state.zoneCentre.y)};
  const LumReadContext lumContext{hooks.log, {x, y}, state.zoneCentre, {}};
  TrackPoint pos{static_cast<double>(x), static_cast<double>(y)};
  state.lastBox = {};
  state.lastBox.position = centre;  // the radial result when no box is found

  switch (method) {
    case TrackMethod::BrightPixel:
      pos = FindBrightestPixel(image, x, y, halfW, halfH, settings.tolerance, mode, state.stats);
      break;
    case TrackMethod::AxisSum: {
      const StatsMode axisMode{settings.focusFwhm || settings.lostStarAlert,
                               settings.focusThreshold};
      pos = AxisSumCentroid(image, x, y, halfW, halfH, axisMode, state.stats);
      break;
    }
    case TrackMethod::Limits: {
      SumZoneLuminance(slot, x, y, halfW, halfH, mode, state.stats);
      const int threshold = settings.tolerance != 0
                                ? settings.tolerance
                                : static_cast<int>(Trunc(state.stats.peak * 0.5));
      const LimitsResult box = DetectLimits(image, x, y, halfW, halfH, threshold,
                                            settings.darkObjects, centre, lumContext);
      if (box.found && hooks.drawBox) hooks.drawBox(box.edges);
      pos = box.position;
      if (settings.collimation) {
        state.lastBox = RadialLimits(image, x, y, halfW, halfH, threshold, settings.darkObjects,
                                     centre, lumContext);
        if (state.lastBox.found && hooks.drawBox) hooks.drawBox(state.lastBox.edges);
      }
      break;
    }
    case TrackMethod::Correlation: {
      SumZoneLuminance(slot, x, y, halfW, halfH, mode, state.stats);
      const IntPoint best = CorrelationSearch(state.reference, image, x, y, req.zoneWidth,
                                              req.zoneHeight, settings.correlPrecision);
      pos = {static_cast<double>(best.x), static_cast<double>(best.y)};
      break;
    }
    case TrackMethod::Drift:
      pos = DriftStep(state.drift, nowMsOfDay, settings.deadBand, settings.autoguiding,
                      state.zoneCentre);
      SumZoneLuminance(slot, x, y, halfW, halfH, mode, state.stats);
      break;
    case TrackMethod::None:
      break;
  }

  // Use of the measured position.
  const bool drift = method == TrackMethod::Drift;
  const IntPoint c0 = state.zoneCentre;
  if (settings.autoguiding && req.guideCamera) {
    if (hooks.guideCorrection) {
      hooks.guideCorrection(static_cast<int>(Round(pos.x - c0.x - 0.5)),
                            static_cast<int>(Round(pos.y - c0.y - 0.5)));
    }
  } else if (settings.lumistay) {
    const double n = settings.deadBand;
    if (std::abs(pos.x - c0.x) > n || std::abs(pos.y - c0.y) > n) {
      if (hooks.exposureStep) hooks.exposureStep();
      MoveZone(state, settings, pos, drift, true, halfW, halfH, image, touched);
    }
  } else {
    MoveZone(state, settings, pos, drift, !req.forceBrightPixel, halfW, halfH, image, touched);
  }

  if (settings.focusFwhm) state.stats.zoneLumSum = state.stats.focusLumSum;
  state.peak = state.stats.peak;
  state.previousPeak = state.peak;
  state.zoneMean = ZoneMean(state.stats.zoneLumSum, settings.zoneSize);
  if (settings.focusFwhm) MeasureFocus(state, settings, hooks);
  if (hooks.refreshZone) hooks.refreshZone();
  result.insideFrame = !touched;
  result.peak = state.peak;
  return result;
}

bool TrackGuideFrame(TrackingState& state, TrackingSettings& settings,
                     const GuideFrameContext& context, const Image& slot0, const Image& slot2,
                     const Image* resultPage, int64_t nowMsOfDay, const TrackingHooks& hooks) {
  const PassImages live{&slot0, resultPage ? resultPage : &slot0};
  const int zone = settings.zoneSize;
  const int interval = std::max(1, settings.guideInterval);
  auto zonePass = [&](const PassImages& images, bool track) {
    return TrackZone(state, settings, images,
                     {state.zoneCentre.x, state.zoneCentre.y, zone, zone, track, false}, nowMsOfDay,
                     hooks);
  };
  // The star is present when the pass's peak reaches the detection minimum;
  // the loss action runs once for each loss.
  auto lossTest = [&](const PassResult& r) {
    state.starPresent = r.peak >= settings.detectMin;
    if (state.starPresent) {
      state.lossReported = false;
    } else if (settings.lostStarAlert && !state.lossReported) {
      state.lossReported = true;
      if (hooks.starLost) hooks.starLost();
    }
  };

  if (context.trackingOn && !context.buildingDarkOrFlat) {
    if (context.longExposure) {
      const bool drift = settings.method == TrackMethod::Drift;
      if (context.selfGuiding) {
        const PassImages guide{&slot2, resultPage ? resultPage : &slot2};
        return zonePass(guide, context.guideFrameMarked || drift).insideFrame;
      }
      const bool track = context.interposedPhase || drift || !settings.guideIsImageCamera;
      return zonePass(live, track).insideFrame;
    }
    if (settings.autoguiding) {
      state.guideFrameCounter = state.guideFrameCounter % interval + 1;
      if (state.guideFrameCounter != 1) return true;
      const PassResult r = zonePass(live, true);
      lossTest(r);
      return r.insideFrame;
    }
    const PassResult r = zonePass(live, true);
    lossTest(r);
    if (!state.starPresent) {
      // Re-acquisition: the brightest pixel of the whole frame.
      const Image& image = *live.trackImage;
      const int w = image.Width(), h = image.Height();
      TrackZone(state, settings, live, {w / 2, h - 1, w - 2, h - 2, true, true}, nowMsOfDay, hooks);
    }
    return r.insideFrame;
  }

  if (settings.autoguiding) {
    state.guideFrameCounter = state.guideFrameCounter % interval + 1;
    if (state.guideFrameCounter != 1) return true;
    const int w = slot0.Width(), h = slot0.Height();
    return TrackZone(state, settings, live, {w / 2, h / 2, w - 1, h - 1, false, false}, nowMsOfDay,
                     hooks)
        .insideFrame;
  }
  return zonePass(live, false).insideFrame;
}

}  // namespace orniva
