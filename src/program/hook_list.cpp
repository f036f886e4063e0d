#include "program/hook_list.h"

#include <functional>

#include "acquisition/tfrm_play_control.h"
#include "acquisition/tfrm_tool_affichage.h"
#include "processing/tfrm_info.h"
#include "processing/tfrm_tool_images.h"
#include "program/program.h"
#include "telescope/tfrm_com_trafic.h"
#include "telescope/tfrm_prg_suivi.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {
namespace {

// A hook struct holds only hooks: its size tells how many there are, so a
// field added without its line below stops the build.
template <typename T>
constexpr int HookCount() {
  return static_cast<int>(sizeof(T) / sizeof(std::function<void()>));
}
static_assert(sizeof(std::function<void()>) == sizeof(std::function<int(int, double)>));
static_assert(HookCount<PipelineInputs>() == 25);
static_assert(HookCount<PipelineHooks>() == 25);
static_assert(HookCount<LifecycleHooks>() == 25);
static_assert(HookCount<CameraHooks>() == 12);
static_assert(HookCount<FileHooks>() == 9);
static_assert(HookCount<PlayerHooks>() == 2);
static_assert(HookCount<TrackingLinks>() == 19);
static_assert(HookCount<ToolImagesHooks>() == 15);
static_assert(HookCount<MeasureHooks>() == 7);
static_assert(HookCount<MountHooks>() == 9);

}  // namespace

#define ORNIVA_HOOK(list, prefix, object, field) \
  list.push_back({std::string(prefix) + "." #field, static_cast<bool>((object).field)})

std::vector<HookState> ListHooks(Program& p) {
  std::vector<HookState> out;
  TFRM_Alv& alv = p.Main();
  const PipelineInputs& in = alv.Inputs;
#define IN(field) ORNIVA_HOOK(out, "PipelineInputs", in, field)
  IN(SaturationView);
  IN(SaturationThreshold);
  IN(InfoVisible);
  IN(LongExposureActive);
  IN(SelfGuiding);
  IN(ModifiedCamera);
  IN(DateTime);
  IN(RawMode);
  IN(RawPattern);
  IN(MiniSource);
  IN(MiniSourceCamera);
  IN(DetectionZoneSize);
  IN(DisplayZoneSize);
  IN(Reticle);
  IN(FocusContrast);
  IN(Selection);
  IN(IntegrationActive);
  IN(IntegrationRunning);
  IN(IntegrationLoop);
  IN(DarkPower);
  IN(FlatActive);
  IN(ForceLevels);
  IN(SaveEvery);
  IN(Motion);
  IN(Binning);
#undef IN
  const PipelineHooks& ph = alv.Hooks;
#define PH(field) ORNIVA_HOOK(out, "PipelineHooks", ph, field)
  PH(Trace);
  PH(DrawFrameTime);
  PH(DrawIntensityLabels);
  PH(DrawDetectionMarker);
  PH(TrackGuideFrame);
  PH(ComputeDisplayZone);
  PH(MeasureQuality);
  PH(QualityFeedback);
  PH(DetectMotion);
  PH(SelectionVerdict);
  PH(ClearCells);
  PH(ComposeResult);
  PH(FishEye);
  PH(FullScreenRefresh);
  PH(RefreshInfo);
  PH(AdvanceGuidedOperation);
  PH(StepPlayer);
  PH(StartRequestedExposureTimers);
  PH(LongExposureCountdown);
  PH(GrabFrame);
  PH(SaveFlashImage);
  PH(ShowFrameRate);
  PH(FitZones);
  PH(ShowSavedImageSize);
  PH(RefreshMemoryStatus);
#undef PH
  const LifecycleHooks& lh = alv.Lifecycle;
#define LH(field) ORNIVA_HOOK(out, "LifecycleHooks", lh, field)
  LH(Trace);
  LH(InstallKeyHook);
  LH(ResetCompositor);
  LH(ResetSelectionRing);
  LH(CreateCustomFunctionList);
  LH(ResetGuidedOperation);
  LH(ResetSelectionQualities);
  LH(LoadSettings);
  LH(ApplyLanguage);
  LH(OpenPortDriver);
  LH(LoadScriptCollection);
  LH(SaveSystemColours);
  LH(CreatePlayerFileList);
  LH(SetChartClosing);
  LH(StopStream);
  LH(CloseAvi);
  LH(SaveSettings);
  LH(ReleasePortDriver);
  LH(CloseDebugLog);
  LH(DestroySkyChart);
  LH(FreeLoopRing);
  LH(FreeDecodingBuffers);
  LH(FreePlayerFileList);
  LH(RestoreNightColours);
  LH(FreeScriptCollection);
#undef LH
  const CameraHooks& ch = p.Cameras().Hooks;
#define CH(field) ORNIVA_HOOK(out, "CameraHooks", ch, field)
  CH(RefreshMs);
  CH(Debug);
  CH(StopExposure);
  CH(ShowLongExposureWindow);
  CH(StopPlayer);
  CH(CloseAvi);
  CH(ApplyZoneLimits);
  CH(CentreZones);
  CH(ReferenceNotLoaded);
  CH(EnableLevelControls);
  CH(CameraStarted);
  CH(CameraStopped);
#undef CH
  const FileHooks& fh = p.Files().Hooks;
#define FH(field) ORNIVA_HOOK(out, "FileHooks", fh, field)
  FH(OnOpenCancelled);
  FH(OnFileOpened);
  FH(ShowDarkFlatName);
  FH(StopIntegration);
  FH(SetIntegrationMode);
  FH(ComposeDarkOrFlat);
  FH(JpegQuality);
  FH(ShowPlayerFile);
  FH(StartPlayer);
#undef FH
  const PlayerHooks& plh = p.Get<TFRM_PlayControl>().Hooks;
#define PLH(field) ORNIVA_HOOK(out, "PlayerHooks", plh, field)
  PLH(LoadFrame);
  PLH(PlaybackEnded);
#undef PLH
  const TrackingLinks& tl = p.Get<TFRM_Tool_Suivi>().Links;
#define TL(field) ORNIVA_HOOK(out, "TrackingLinks", tl, field)
  TL(ZoneCentre);
  TL(ZoneMoved);
  TL(GuideFrame);
  TL(ResultPage);
  TL(ReadOutsideSettings);
  TL(FocusThresholdChanged);
  TL(ReadFrameContext);
  TL(TrackingSwitched);
  TL(ZoneSizeChanged);
  TL(RerunPipeline);
  TL(StarLost);
  TL(ConfigureLostStar);
  TL(DebugLog);
  TL(GuideCorrection);
  TL(ExposureStep);
  TL(DrawBox);
  TL(RefreshZone);
  TL(FwhmMeasured);
  TL(FwhmSampleFull);
#undef TL
  TFRM_Tool_Images& tools = p.Get<TFRM_Tool_Images>();
  const ToolImagesHooks& th = tools.Hooks;
#define TH(field) ORNIVA_HOOK(out, "ToolImagesHooks", th, field)
  TH(ResultRendered);
  TH(ResultBlack);
  TH(ResultToZone);
  TH(ZonesChanged);
  TH(FullScreenRefresh);
  TH(ZoneSizeControl);
  TH(WholeFrameZone);
  TH(BinningMenus);
  TH(TrackingBox);
  TH(PlayAdd);
  TH(OperationsMenu);
  TH(MemoryStatus);
  TH(IntegrationEnded);
  TH(OpenCorrectionFile);
  TH(Times);
#undef TH
  const MeasureHooks& mh = p.Measures().Hooks;
#define MH(field) ORNIVA_HOOK(out, "MeasureHooks", mh, field)
  MH(ReadOptics);
  MH(ReadCamera);
  MH(FrameWidth);
  MH(OnEffectiveFocal);
  MH(OnRedrawReticle);
  MH(OnRedrawChart);
  MH(OnDefineDeclination);
#undef MH
  const MountHooks& mo = p.Telescope().Hooks;
#define MO(field) ORNIVA_HOOK(out, "MountHooks", mo, field)
  MO(StatusLine);
  MO(PlaySound);
  MO(RunScript);
  MO(GotoEnded);
  MO(PositionChanged);
  MO(PositionText);
  MO(HandPadRate);
  MO(InterfaceChosen);
  MO(MakeDriver);
#undef MO
  // Hooks that are single members of their window.
  ORNIVA_HOOK(out, "TFRM_Alv", alv, ShowMessageLine);
  ORNIVA_HOOK(out, "TFRM_Info", p.Get<TFRM_Info>(), OnSaturationChanged);
  TFRM_Pref& pref = p.Get<TFRM_Pref>();
  ORNIVA_HOOK(out, "TFRM_Pref", pref, OnTestButton);
  ORNIVA_HOOK(out, "TFRM_Pref", pref, OnFocusButton);
  ORNIVA_HOOK(out, "PrefOpticsPage", pref.Optique, OpticsChanged);
  ORNIVA_HOOK(out, "PrefCameraPage", pref.Camera, CameraChanged);
  ORNIVA_HOOK(out, "PrefCameraPage", pref.Camera, ComputePixelSize);
  ORNIVA_HOOK(out, "TFRM_Prg_Suivi", p.Get<TFRM_Prg_Suivi>(), OnArrow);
  ORNIVA_HOOK(out, "TFRM_ComTrafic", p.Get<TFRM_ComTrafic>(), OnClosed);
  ORNIVA_HOOK(out, "TFRM_Message", p.Message(), OnContinue);
  ORNIVA_HOOK(out, "TFRM_Script", p.Script(), OnRunMenus);
  ORNIVA_HOOK(out, "TFRM_Script", p.Script(), OnStopSequencer);
  ORNIVA_HOOK(out, "RefreshControls", p.Get<TFRM_Tool_Affichage>().Rafraichissement, OnInterval);
  ORNIVA_HOOK(out, "CompositorImages", tools.Images, Sync);
  return out;
}

#undef ORNIVA_HOOK

}  // namespace orniva
