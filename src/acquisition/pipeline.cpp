// The per-frame pipeline of the main window, its refresh timers and the
// sequencer hook.
#include <algorithm>

#include "acquisition/frame_ops.h"
#include "acquisition/tfrm_alv.h"
#include "core/rounding.h"

namespace orniva {
namespace {

template <typename T, typename... Args>
auto Ask(const std::function<T(Args...)>& query, Args... args) {
  return query ? query(args...) : T{};
}

}  // namespace

bool TFRM_Alv::ProcessFrame(bool updateResult, int camera) {
  if (!ImagesCreated() || (camera != 1 && camera != 2)) return false;
  const bool isImage = camera == imageCamera_;
  const bool isGuide = camera == guideCamera_;
  Picture& pagePicture = SourcePage(camera);
  Image& page = pagePicture.Bitmap();
  Picture* mini = Ask(Inputs.MiniSource);
  const bool miniShowsCamera = mini && Ask(Inputs.MiniSourceCamera) == camera;

  // 1. The page is visible when it is the active page; camera 2's also while
  //    the mini source shows it.
  bool accepted = false;
  State.pageVisible = SourceTab(camera).IsActive() || (camera == 2 && miniShowsCamera);
  const bool visible = State.pageVisible;
  Trace("visibility");

  // 2. Source page content.
  ShowSourcePage(camera, isImage);

  // 3. Zone sizes and whether the zones moved since the previous frame of any camera.
  const int zoneSize = static_cast<int>(Trunc(Ask(Inputs.DetectionZoneSize)));
  State.zonesChanged = State.zonesChangeRequested || Zones.centreX != State.previousCentreX ||
                       Zones.centreY != State.previousCentreY ||
                       Zones.offsetX != State.previousOffsetX ||
                       Zones.offsetY != State.previousOffsetY;
  State.zonesChangeRequested = false;
  State.previousCentreX = Zones.centreX;
  State.previousCentreY = Zones.centreY;
  State.previousOffsetX = Zones.offsetX;
  State.previousOffsetY = Zones.offsetY;

  // 4. Time text of the image camera's frame.
  if (isImage && Ask(Inputs.DateTime)) {
    State.frameTimeText = FormatFrameTime(Loop().LocalTime());
    Trace("time text");
    if (visible && Hooks.DrawFrameTime) Hooks.DrawFrameTime(page, State.frameTimeText);
  }

  // 5. With processing switched off the frame is only shown.
  if (!State.processing) {
    if (visible) pagePicture.Invalidate();
    return false;
  }
  bool trackingInside = true;
  if (isGuide) {
    Trace("tracking");
    if (Hooks.TrackGuideFrame) trackingInside = Hooks.TrackGuideFrame(camera, zoneSize);
  }

  // 6. Intensity labels.
  if (isGuide && visible) {
    Trace("intensity labels");
    if (Hooks.DrawIntensityLabels) Hooks.DrawIntensityLabels(camera, page, false);
  }
  if (mini) {
    Trace("intensity labels on mini source");
    if (Hooks.DrawIntensityLabels) Hooks.DrawIntensityLabels(camera, mini->Bitmap(), true);
  }

  // 7. The display zone follows the zones.
  if (State.zonesChanged && isImage) {
    if (Ask(Inputs.IntegrationActive) && State.targetBuffer != 0) {
      Trace("whole page zone");
      Zones.frameZone = Zones.zone = Rect{0, 0, page.Width(), page.Height()};
    } else {
      Trace("display zone");
      if (Hooks.ComputeDisplayZone) Hooks.ComputeDisplayZone(camera);
    }
  }

  // 8. Detection-zone marker (the copy mode becomes merge-paint).
  if (isGuide && visible) {
    Trace("detection marker");
    if (Hooks.DrawDetectionMarker) Hooks.DrawDetectionMarker(camera, page, false);
  }
  if (isGuide && mini) {
    Trace("detection marker on mini source");
    if (Hooks.DrawDetectionMarker) Hooks.DrawDetectionMarker(camera, mini->Bitmap(), true);
  }

  // 9. Display-zone frame.
  if (visible && isImage) {
    Trace("zone overlay");
    MergePaint(page, *zoneOverlay_);
  }
  if (miniShowsCamera && isImage) {
    Trace("zone overlay on mini source");
    MergePaint(mini->Bitmap(), *miniZoneOverlay_);
    mini->Invalidate();
  }

  // 10-13. Acceptance and the result page, for the image camera only.
  if (isImage) {
    bool measured = false;
    accepted = Accept(measured);
    // 12. Feedback of the quality measure.
    if (measured) {
      Trace("quality feedback");
      if (Hooks.QualityFeedback) Hooks.QualityFeedback();
    }
    // 13. Result page.
    if (accepted) {
      Trace("accepted");
      if (Hooks.SelectionVerdict) Hooks.SelectionVerdict(true);
      BuildResultPage(updateResult);
    } else {
      Trace("refused");
      if (Hooks.SelectionVerdict) Hooks.SelectionVerdict(false);
    }
  }

  // 14. Reticle, and a streaming camera's page is repainted at once.
  if (visible) {
    if (isImage && Ask(Inputs.Reticle)) {
      Trace("reticle");
      MergePaint(page, *reticleOverlay_);
    }
    if (Camera(camera).streaming) Trace("repaint");
    pagePicture.Invalidate();
  }

  // 15. Information window.
  if (Ask(Inputs.InfoVisible)) {
    Trace("info");
    if (Hooks.RefreshInfo) Hooks.RefreshInfo();
  }

  // 16. Guided operation.
  if (isImage) {
    Trace("guided operation");
    if (Hooks.AdvanceGuidedOperation) Hooks.AdvanceGuidedOperation(trackingInside);
  }
  return accepted;
}

void TFRM_Alv::ShowSourcePage(int camera, bool isImage) {
  Image& page = SourcePage(camera).Bitmap();
  const bool visible = State.pageVisible;
  if (isImage && Ask(Inputs.SaturationView)) {
    Trace("saturation");
    SaturationMap(Slot(camera, 0), static_cast<int>(Trunc(Ask(Inputs.SaturationThreshold))),
                  *saturationImage_);
    if (visible) page.CopyRect(*saturationImage_, {0, 0, page.Width(), page.Height()}, 0, 0);
  } else if (Ask(Inputs.LongExposureActive) && Ask(Inputs.SelfGuiding)) {
    Trace("guide frame");
    if (visible) page.CopyRect(Slot(camera, 2), {0, 0, page.Width(), page.Height()}, 0, 0);
  } else {
    Trace("live frame");
    if (visible) page.CopyRect(Slot(camera, 0), {0, 0, page.Width(), page.Height()}, 0, 0);
    Picture* mini = Ask(Inputs.MiniSource);
    if (mini && Ask(Inputs.MiniSourceCamera) == camera) {
      Trace("mini source");
      const Image& live = Slot(camera, 0);
      Image& target = mini->Bitmap();
      StretchCopy(live, {0, 0, live.Width(), live.Height()}, target,
                  {0, 0, target.Width(), target.Height()});
      mini->Invalidate();
    }
  }
}

bool TFRM_Alv::NeedsIntegerPath() {
  const int binning = Inputs.Binning ? Inputs.Binning(imageCamera_) : 1;
  return binning == 2 || Ask(Inputs.DarkPower) > 0 || Ask(Inputs.FlatActive) ||
         Ask(Inputs.ForceLevels);
}

void TFRM_Alv::CopyDisplayZone(Image& target) {
  StretchCopy(Slot(imageCamera_, 0), Zones.frameZone, target, Zones.zone);
}

bool TFRM_Alv::Accept(bool& measured) {
  // 11a. Automatic selection or the contrast focus aid measure the zone.
  if (Ask(Inputs.Selection) || Ask(Inputs.FocusContrast)) {
    measured = true;
    Trace("zone image");
    CopyDisplayZone(*zoneImage_);
    Trace("quality measure");
    return Hooks.MeasureQuality ? Hooks.MeasureQuality(*zoneImage_) : true;
  }
  // 11b. Motion detection, or every frame is accepted.
  bool accepted = true;
  const MotionSetup motion = Ask(Inputs.Motion);
  if (motion.armed && motion.levelThreshold > 0 && motion.countThreshold > 0) {
    Trace("motion detection");
    accepted = Hooks.DetectMotion ? Hooks.DetectMotion(motion.levelThreshold, motion.countThreshold)
                                  : true;
  }
  if (Ask(Inputs.IntegrationActive) || NeedsIntegerPath()) {
    Trace("zone image");
    CopyDisplayZone(*zoneImage_);
  }
  return accepted;
}

void TFRM_Alv::BuildResultPage(bool updateResult) {
  Image& result = Image3.Bitmap();
  const auto finish = [&] {
    Trace("fish-eye");
    if (Hooks.FishEye) Hooks.FishEye(result);
  };
  if (Ask(Inputs.IntegrationActive)) {
    if (Ask(Inputs.IntegrationRunning) && updateResult) {
      Trace("compose");
      if (Hooks.ComposeResult)
        Hooks.ComposeResult(State.targetBuffer, true, false, State.permanentView);
      finish();
      Trace("full screen");
      if (Hooks.FullScreenRefresh) Hooks.FullScreenRefresh();
    }
  } else if (NeedsIntegerPath()) {
    if (updateResult) {
      Trace("compose single");
      if (Hooks.ClearCells) Hooks.ClearCells(State.targetBuffer);
      if (Hooks.ComposeResult)
        Hooks.ComposeResult(State.targetBuffer, true, true, State.permanentView);
      finish();
      Trace("full screen");
      if (Hooks.FullScreenRefresh) Hooks.FullScreenRefresh();
    }
  } else if (updateResult) {
    Trace("copy to result");
    CopyDisplayZone(result);
    finish();
    if (Ask(Inputs.DateTime)) {
      Trace("time text on result");
      if (Hooks.DrawFrameTime) Hooks.DrawFrameTime(result, State.frameTimeText);
    }
    Trace("full screen");
    if (Hooks.FullScreenRefresh) Hooks.FullScreenRefresh();
    Image3.Invalidate();
  }
}

void TFRM_Alv::RefreshTimerTick(int camera) {
  // 1. A file source is played by the timer.
  if (State.fileMode) {
    Trace("player step");
    if (Hooks.StepPlayer) Hooks.StepPlayer(camera);
    return;
  }
  // 2. Exposure timers whose start was requested.
  if (Hooks.StartRequestedExposureTimers) Hooks.StartRequestedExposureTimers();
  bool accepted = false;
  const bool isImage = camera == imageCamera_;
  if (isImage && Ask(Inputs.LongExposureActive) && Ask(Inputs.ModifiedCamera)) {
    // 3. The modified camera's exposure counts down; its frame is only shown.
    Trace("exposure countdown");
    if (Hooks.LongExposureCountdown) Hooks.LongExposureCountdown();
    accepted = ProcessFrame(false, camera);
  } else if (!(State.longExposureMode && isImage)) {
    // 4. Image mode: grab a frame and process it.
    Trace("grab");
    if (Hooks.GrabFrame) Hooks.GrabFrame(camera);
    accepted = ProcessFrame(true, camera);
  }
  // 5.
  SequencerHook(accepted);
}

void TFRM_Alv::SequencerHook(bool accepted) {
  if (!State.sequencerRunning || !accepted || Ask(Inputs.LongExposureActive)) return;
  ++State.flashCount;
  const int every = Inputs.SaveEvery ? Inputs.SaveEvery() : 1;
  if (every > 0 && State.flashCount % every == 0) {
    Trace("save flash image");
    if (Hooks.SaveFlashImage) Hooks.SaveFlashImage();
  }
}

}  // namespace orniva
