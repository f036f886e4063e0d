#include "program/display_wiring.h"

#include "acquisition/display_text.h"
#include "acquisition/frame_ops.h"
#include "acquisition/tfrm_alv.h"
#include "acquisition/tfrm_fullscreen.h"
#include "acquisition/tfrm_small.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "processing/tfrm_tool_mesures.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"
#include "ui/night_mode.h"

namespace orniva {
namespace {

// The main window as the display windows see it.
class MainDisplayHost : public DisplayHost {
 public:
  explicit MainDisplayHost(const DisplayWindows& w)
      : alv_(w.alv), small_(w.small), mesures_(&w.mesures), suivi_(&w.suivi) {}

  TFRM_Tool_Mesures* Mesures() const { return mesures_; }

  NightModeSwitch& Nite() { return nite_; }

  ZoneState& Zones() override { return alv_.Zones; }
  double MiniScale() const override { return alv_.MiniSourceScale; }
  void SetMiniScale(double scale) override { alv_.MiniSourceScale = scale; }
  Image* ZoneOverlay() override { return alv_.ImagesCreated() ? &alv_.ZoneOverlay() : nullptr; }
  Image* MiniZoneOverlay() override {
    return alv_.ImagesCreated() ? &alv_.MiniZoneOverlay() : nullptr;
  }
  Image* ReticleOverlay() override {
    return alv_.ImagesCreated() ? &alv_.ReticleOverlay() : nullptr;
  }
  void RolesChanged(int imageCamera, int guideCamera) override {
    alv_.SetImageCamera(imageCamera);
    alv_.SetGuideCamera(guideCamera);
  }

  int FrameWidth(int camera) const override { return alv_.Camera(camera).width; }
  int FrameHeight(int camera) const override { return alv_.Camera(camera).height; }
  bool CameraRunning(int camera) const override {
    const Timer& timer = camera == 1 ? alv_.Timer_Cam1 : alv_.Timer_Cam2;
    return timer.Enabled() || alv_.Camera(camera).streaming;
  }
  bool SourcePageVisible(int camera) const override { return alv_.SourceTab(camera).IsActive(); }
  double ZoneAspect() const override {
    const auto& in = alv_.Inputs;
    const bool loop = in.IntegrationActive && in.IntegrationActive() && in.IntegrationLoop &&
                      in.IntegrationLoop();
    return loop ? kLoopAspect : alv_.ZoneAspect;
  }
  bool Binning2x2(int camera) const override {
    return alv_.Inputs.Binning && alv_.Inputs.Binning(camera) == 2;
  }

  void ProcessFrame(bool force, int camera) override { alv_.ProcessFrame(force, camera); }
  void SetProcessingSwitch() override { alv_.State.processing = true; }
  bool BuildingDarkOrFlat() const override {
    return alv_.State.targetBuffer == 1 || alv_.State.targetBuffer == 2;
  }
  void ResizeResultPage(int width, int height) override {
    alv_.Image3.Bitmap().Resize(width, height);
    alv_.Image3.Invalidate();
    if (alv_.ImagesCreated()) alv_.RenderImage().Resize(width, height);
    const Image& page = alv_.Image3.Bitmap();
    if (alv_.Hooks.ShowSavedImageSize) {
      alv_.Hooks.ShowSavedImageSize(int64_t{page.Width()} * page.Height() * 3 + 368);
    }
  }
  void RefreshResources() override {
    if (alv_.Hooks.RefreshMemoryStatus) alv_.Hooks.RefreshMemoryStatus();
  }
  bool MiniSourceVisible() const override { return small_.Visible(); }
  // The measurement window: its sampling ("Echantillonnage") and the
  // measurement points of Alt-clicks.
  double Sampling() const override { return mesures_ ? mesures_->TNI_Echantillonnage.Value() : 0; }
  void NewMeasurementPoint(int x, int y) override {
    if (mesures_) mesures_->SetMeasurementPoint(x, y);
  }
  // The tracking window: its switch and method, the click that puts the
  // zone on a star, a new correlation reference, its copy of the zone size.
  bool TrackingOn() const override { return suivi_ && suivi_->CKB_Suivi.Checked(); }
  bool CorrelationSelected() const override { return suivi_ && suivi_->RDB_Correlation.Checked(); }
  void ZoneCentreClicked(int camera, int x, int y) override {
    if (suivi_ && camera == alv_.GuideCamera()) suivi_->GuideImageClick(x, y);
  }
  void NewCorrelationReference() override {
    if (suivi_) suivi_->TakeReference();
  }
  void DetectionSizeChanged(int size) override {
    if (suivi_) suivi_->TNI_Taille_ZDetect.SetValue(size);
  }
  void SetFullScreenChecked(bool checked) override {
    alv_.MNU_Plein_Ecran.SetChecked(checked);
    if (!checked) alv_.SPDB_Plein_Ecran.SetDown(false);
  }

 private:
  TFRM_Alv& alv_;
  TFRM_Small& small_;
  TFRM_Tool_Mesures* mesures_;
  TFRM_Tool_Suivi* suivi_;
  NightModeSwitch nite_;
};

}  // namespace

std::unique_ptr<DisplayHost> ConnectDisplay(const DisplayWindows& w) {
  TFRM_Alv& alv = w.alv;
  TFRM_Tool_Affichage& tool = w.tool;
  TFRM_Small& small = w.small;
  TFRM_FullScreen& full = w.full;
  auto host = std::make_unique<MainDisplayHost>(w);
  MainDisplayHost& h = *host;
  DisplayController& display = tool.Display();
  tool.Connect(h);
  small.Connect(display);
  full.Connect(display);
  alv.SetImageCamera(tool.ImageCamera());
  alv.SetGuideCamera(tool.GuideCamera());

  // The pipeline's drawing.
  alv.Hooks.ComputeDisplayZone = [&display](int camera) { display.ComputeAndRedraw(camera); };
  alv.Hooks.FitZones = [&alv, &display, &h](int camera, bool start) {
    const CameraState& c = alv.Camera(camera);
    // The sampling follows the frame width (measurement window).
    if (h.Mesures()) h.Mesures()->CameraStarted(camera, c.width, c.height);
    if (start) display.SourceStarted(camera);
  };
  PrefMirePage& mire = w.pref.Mire;
  alv.Hooks.DrawDetectionMarker = [&display, &mire](int, Image& target, bool mini) {
    MarkerStyle style;
    style.shape = mire.RDB_Cercle.Checked() ? 1 : 0;
    style.centreMark = mire.RDB_Point.Checked() ? 1 : 0;
    display.DrawDetectionMarker(target, mini, style);
  };
  // The detection zone's extreme intensities above its square, on the page.
  alv.Hooks.DrawIntensityLabels = [&alv, &mire](int camera, Image& target, bool mini) {
    const bool showMin = mire.CKB_Intensite_Min.Checked(),
               showMax = mire.CKB_Intensite_Max.Checked();
    if (mini || (!showMin && !showMax) || !alv.ImagesCreated()) return;
    const Point c = alv.Zones.Centre();
    const int half =
        alv.Inputs.DetectionZoneSize ? static_cast<int>(alv.Inputs.DetectionZoneSize()) / 2 : 20;
    const Rect zone{c.x - half, c.y - half, c.x + half, c.y + half};
    const IntensityRange range = ZoneIntensity(alv.Slot(camera, 0), zone);
    Canvas canvas(target);
    DrawIntensityLabels(canvas, showMin, range.minimum, showMax, range.maximum, zone);
  };
  alv.Hooks.DrawFrameTime = [&alv](Image& target, const std::string& text) {
    const bool result = &target == &alv.Image3.Bitmap();
    const Rect anchor = result ? Rect{0, 0, target.Width(), target.Height()} : alv.Zones.frameZone;
    Canvas canvas(target);
    DrawTimeText(canvas, text, anchor);
  };
  alv.Hooks.FullScreenRefresh = [&alv, &full] {
    if (alv.MNU_Plein_Ecran.Checked() && full.Visible()) full.ShowResult(alv.Image3.Bitmap());
  };
  alv.Inputs.MiniSourceCamera = [&small] { return small.Source(); };

  if (TFRM_Tool_Mesures* mesures = h.Mesures()) {
    mesures->Hooks.FrameWidth = [&alv](int camera) { return int{alv.Camera(camera).width}; };
    mesures->Hooks.OnRedrawReticle = [&display] { display.RedrawReticle(); };
  }

  // Clicks and pages.
  alv.Image1.OnMouseUp = [&display](MouseButton b, unsigned shift, int x, int y) {
    display.SourceMouseUp(1, b, shift, x, y);
  };
  alv.Image2.OnMouseUp = [&display](MouseButton b, unsigned shift, int x, int y) {
    display.SourceMouseUp(2, b, shift, x, y);
  };
  alv.PGC_Main.OnChange = [&alv, &display] {
    const TabSheet* page = alv.PGC_Main.ActivePage();
    display.PageChanged(page == &alv.TBS_Source1 ? 1 : page == &alv.TBS_Source2 ? 2 : 0);
  };

  // Commands.
  auto showMini = [&small] { small.ShowOnScreen(); };
  alv.MNU_Mini_Source.OnClick = showMini;
  alv.SPDB_Mini_Source.OnClick = showMini;
  auto showFull = [&alv, &full] {
    alv.SPDB_Plein_Ecran.SetDown(true);
    full.Open();
  };
  alv.MNU_Plein_Ecran.OnClick = showFull;
  alv.SPDB_Plein_Ecran.OnClick = showFull;
  alv.SPDB_Nite.OnClick = [&alv, &h] { h.Nite().SetDown(alv.SPDB_Nite.Down()); };
  alv.Lifecycle.SaveSystemColours = [] { SystemColours::Program().Save(); };
  alv.Lifecycle.RestoreNightColours = [&alv, &h] {
    if (h.Nite().Down()) h.Nite().SetDown(false);
    alv.SPDB_Nite.SetDown(false);
  };
  return host;
}

}  // namespace orniva
