#include "acquisition/tfrm_alv.h"

#include <filesystem>
#include <system_error>

#include "acquisition/demosaic.h"
#include "acquisition/frame_ops.h"
#include "core/paths.h"

namespace orniva {

TFRM_Alv::TFRM_Alv(Application& app) : Window(app, "TFRM_Alv", kProgramCaption) {
  SetBounds({0, 0, 800, 640});
  Image1.Bitmap().Fill(kBlack);
  Image2.Bitmap().Fill(kBlack);
  Image3.Bitmap().Fill(kBlack);
  PGC_Main.SetActivePageIndex(0);
  SPDB_Mini_Source.SetHint("Mini Source");
  SPDB_Plein_Ecran.SetHint("Mode plein ecran");
  SPDB_Nite.SetHint("Mode nuit");
  Timer_Cam1.OnTimer = [this] { Timer_Cam1Timer(); };
  Timer_Cam2.OnTimer = [this] { Timer_Cam2Timer(); };
}

TFRM_Alv::~TFRM_Alv() = default;

void TFRM_Alv::Step(std::string_view name, const std::function<void()>& hook) {
  if (Lifecycle.Trace) Lifecycle.Trace(name);
  if (hook) hook();
}

void TFRM_Alv::FormCreate() {
  // The pictures own their bitmaps and are never erased before a repaint.
  Step("opaque pictures", {});
  Step("install key hook", Lifecycle.InstallKeyHook);
  Step("reset pipeline state", [this] {
    MNU_Operations.SetEnabled(false);
    State.longExposureMode = false;
    State.permanentView = false;
  });
  Step("reset compositor", Lifecycle.ResetCompositor);
  Step("reset selection ring", Lifecycle.ResetSelectionRing);
  Step("create custom function list", Lifecycle.CreateCustomFunctionList);
  Step("reset guided operation", Lifecycle.ResetGuidedOperation);
}

void TFRM_Alv::FormActivate() {
  if (!activated_) {
    activated_ = true;
    Step("key preview", {});
    Step("reset selection qualities", Lifecycle.ResetSelectionQualities);
    std::error_code ec;
    programDirectory_ = std::filesystem::current_path(ec).string();
    settingsFile_ = JoinPath(programDirectory_, "Orniva.ini");
    Step("load settings", [this] {
      if (Lifecycle.LoadSettings) Lifecycle.LoadSettings(settingsFile_);
    });
    Step("apply language", Lifecycle.ApplyLanguage);
    Step("open port driver", Lifecycle.OpenPortDriver);
    Step("load script collection", Lifecycle.LoadScriptCollection);
    Step("save system colours", Lifecycle.SaveSystemColours);
    Step("blacken source page 1", [this] {
      Image1.Bitmap().Fill(kBlack);
      Image1.Invalidate();
    });
    Step("create player file list", Lifecycle.CreatePlayerFileList);
    MiniSourceScale = 4.0;
  }
  if (!ImagesCreated()) Step("create working images", [this] { CreateWorkingImages(); });
}

void TFRM_Alv::FormClose() {
  Step("set chart closing", Lifecycle.SetChartClosing);
  Step("stop processing", [this] { State.processing = false; });
  Step("stop cameras", [this] {
    for (int c = 1; c <= 2; ++c) {
      if (Camera(c).streaming) {
        if (Lifecycle.StopStream) Lifecycle.StopStream(c);
      } else {
        (c == 1 ? Timer_Cam1 : Timer_Cam2).Stop();
      }
    }
  });
  Step("close avi", Lifecycle.CloseAvi);
  Step("reset guided operation", Lifecycle.ResetGuidedOperation);
  Step("save settings", Lifecycle.SaveSettings);
  Step("release port driver", Lifecycle.ReleasePortDriver);
  Step("close debug log", Lifecycle.CloseDebugLog);
  Step("destroy sky chart", Lifecycle.DestroySkyChart);
}

void TFRM_Alv::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  Timer_Cam1.Stop();
  Timer_Cam2.Stop();
  Step("free loop ring", Lifecycle.FreeLoopRing);
  for (int c = 1; c <= 2; ++c) {
    const std::string n = std::to_string(c);
    Step("free decoding buffers " + n, [this, c] {
      if (Lifecycle.FreeDecodingBuffers) Lifecycle.FreeDecodingBuffers(c);
    });
    Step("free frame slots " + n, [this, c] {
      for (auto& slot : slots_[c - 1]) slot.reset();
    });
  }
  Step("free auxiliary images", [this] { FreeWorkingImages(); });
  Step("free player file list", Lifecycle.FreePlayerFileList);
  Step("restore night colours", Lifecycle.RestoreNightColours);
  Step("free script collection", Lifecycle.FreeScriptCollection);
}

void TFRM_Alv::CreateWorkingImages() {
  const auto make = [](std::unique_ptr<Image>& img, int w, int h, Bgr fill) {
    if (img) return;  // never recreated
    img = std::make_unique<Image>(w, h);
    if (fill != kBlack) img->Fill(fill);
  };
  for (auto& camera : slots_) {
    for (auto& slot : camera) make(slot, kMaxFrameWidth, kMaxFrameHeight, kBlack);
  }
  make(zoneImage_, kMaxFrameWidth, kMaxFrameHeight, kBlack);
  make(renderImage_, kMaxFrameWidth, kMaxFrameHeight, kBlack);
  make(referenceImage_, kMaxFrameWidth, kMaxFrameHeight, kBlack);
  make(saturationImage_, kMaxFrameWidth, kMaxFrameHeight, kBlack);
  make(reticleOverlay_, 800, 600, kWhite);
  make(zoneOverlay_, kMaxFrameWidth, kMaxFrameHeight, kWhite);
  make(miniZoneOverlay_, kMaxFrameWidth, kMaxFrameHeight, kWhite);
  MiniSourceScale = 4.0;
  ZoneAspect = 1.33333;
}

void TFRM_Alv::FreeWorkingImages() {
  zoneImage_.reset();
  renderImage_.reset();
  referenceImage_.reset();
  zoneOverlay_.reset();
  miniZoneOverlay_.reset();
  saturationImage_.reset();
  reticleOverlay_.reset();
}

bool TFRM_Alv::AcceptVideoFormat(int width, int height) {
  std::string refusal;
  if (width <= 0 || height <= 0) {
    refusal = MSG_Cannot_Set_Format;
  } else {
    refusal = FrameTooLargeMessage(width, height);
  }
  if (refusal.empty()) return true;
  if (ShowMessageLine) ShowMessageLine(false, refusal);
  return false;
}

void TFRM_Alv::SetCameraFormat(int camera, int width, int height, int bitDepth, bool cameraStart,
                               bool fileStart) {
  CameraState& c = Camera(camera);
  c.width = width;
  c.height = height;
  c.bitDepth = static_cast<int16_t>(bitDepth);
  Picture& page = SourcePage(camera);
  page.Bitmap().Resize(width, height);
  page.Invalidate();
  if (camera == imageCamera_ && height > 0) ZoneAspect = static_cast<double>(width) / height;
  if (Hooks.FitZones) Hooks.FitZones(camera, cameraStart || fileStart);
  if (cameraStart) {
    if (Hooks.ClearCells) Hooks.ClearCells(State.targetBuffer);
    State.frameRateCounter = 0;
  }
}

bool TFRM_Alv::StoreFrame(int camera, const Image& decoded, bool demosaicAllowed) {
  if (!ImagesCreated()) return false;
  // The zones and cell buffers cannot hold more than the largest frame: a
  // larger image (a file) is refused as a larger video format is.
  if (!AcceptVideoFormat(decoded.Width(), decoded.Height())) return false;
  Image& slot = Slot(camera, 0);
  const bool raw = demosaicAllowed && Inputs.RawMode && Inputs.RawMode();
  if (raw) {
    DemosaicRaw(decoded, slot, Inputs.RawPattern ? Inputs.RawPattern() : kBayerGR);
  } else {
    slot.Assign(decoded);
  }
  return true;
}

bool TFRM_Alv::FrameArrived(int camera, const Image& decoded) {
  MeasureFrameRate(camera, true);
  if (!StoreFrame(camera, decoded)) return false;
  const bool accepted = ProcessFrame(true, camera);
  SequencerHook(accepted);
  return accepted;
}

void TFRM_Alv::MeasureFrameRate(int camera, bool repaintNow) {
  ++State.frameRateCounter;
  if (State.frameRateCounter % 5 != 0) return;
  State.frameRatePrevious = State.frameRateLast;
  State.frameRateLast = Loop().TimeOfDayMs();
  int64_t elapsed = State.frameRateLast - State.frameRatePrevious;
  if (elapsed < 0) elapsed += 24 * 3600 * 1000LL;  // the night went past midnight
  if (elapsed <= 0) return;
  if (Hooks.ShowFrameRate) {
    Hooks.ShowFrameRate(camera, FormatGeneral(5000.0 / static_cast<double>(elapsed), 4),
                        repaintNow);
  }
}

void TFRM_Alv::ResizeResultPage() {
  const int cam = imageCamera_;
  const double s = Inputs.DisplayZoneSize ? Inputs.DisplayZoneSize() : 320;
  const bool loop = Inputs.IntegrationActive && Inputs.IntegrationActive() &&
                    Inputs.IntegrationLoop && Inputs.IntegrationLoop();
  const double aspect = loop ? kLoopAspect : ZoneAspect;
  const int binning = Inputs.Binning ? Inputs.Binning(cam) : 1;
  const PageSize size = ResultPageSize(s, aspect, Camera(cam).height, binning);
  Image3.Bitmap().Resize(size.width, size.height);
  Image3.Invalidate();
  if (renderImage_) renderImage_->Resize(size.width, size.height);
  const Image& page = Image3.Bitmap();
  if (Hooks.ShowSavedImageSize) {
    Hooks.ShowSavedImageSize(int64_t{page.Width()} * page.Height() * 3 + 368);
  }
  if (Hooks.RefreshMemoryStatus) Hooks.RefreshMemoryStatus();
}

}  // namespace orniva
