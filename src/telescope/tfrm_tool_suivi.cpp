#include "telescope/tfrm_tool_suivi.h"

#include "core/rounding.h"
#include "telescope/tracking_methods.h"

namespace orniva {

TFRM_Tool_Suivi::TFRM_Tool_Suivi(Application& app)
    : Window(app, "TFRM_Tool_Suivi", "Suivi/Autoguidage") {
  SetBounds({100, 100, 260, 420});
  RDB_Somax2.SetVisible(false);
  CKB_Guide_On_Result.SetVisible(false);
  CKB_Guide_On_Result.SetEnabled(false);
  BTN_SetDerive.SetHint("Definir la direction et vitesse de la derive");
  CKB_Suivi.OnClick = [this] { CKB_SuiviClick(); };
  RDB_Derive.OnClick = [this] { RDB_DeriveClick(); };
  RDB_Correlation.OnClick = [this] { RDB_CorrelationClick(); };
  SCB_Taille_ZDetect.OnChange = [this] { SCB_Taille_ZDetectChange(); };
  TNI_Taille_ZDetect.OnChange = [this] { TNI_Taille_ZDetectChange(); };
  BTN_Config_Lost_Star.OnClick = [this] { BTN_Config_Lost_StarClick(); };
}

int64_t TFRM_Tool_Suivi::Now() const {
  return Loop().TimeOfDayMs();
}

TrackingSettings TFRM_Tool_Suivi::ReadSettings() const {
  TrackingSettings s;
  if (RDB_Colimacon.Checked()) {
    s.method = TrackMethod::BrightPixel;
  } else if (RDB_Somax.Checked()) {
    s.method = TrackMethod::AxisSum;
  } else if (RDB_Cadres.Checked()) {
    s.method = TrackMethod::Limits;
  } else if (RDB_Correlation.Checked()) {
    s.method = TrackMethod::Correlation;
  } else if (RDB_Derive.Checked()) {
    s.method = TrackMethod::Drift;
  } else {
    s.method = TrackMethod::None;
  }
  s.autoguiding = RDB_Autoguidage.Checked();
  s.tolerance = SPED_Sensibilite.Value();
  s.correlPrecision = SPED_Correl_Precision.Value();
  s.darkObjects = CKB_Inversion_Video.Checked();
  s.lostStarAlert = CKB_Lost_Star_Alert.Checked();
  s.detectMin = SPED_Seuil_Detect_Min.Value();
  s.guideInterval = SPED_Intervalle_Guidage.Value();
  s.zoneSize = static_cast<int>(Trunc(TNI_Taille_ZDetect.Value()));
  if (Links.ReadOutsideSettings) Links.ReadOutsideSettings(s);
  return s;
}

TrackingHooks TFRM_Tool_Suivi::Hooks() const {
  TrackingHooks h;
  h.guideCorrection = Links.GuideCorrection;
  h.exposureStep = Links.ExposureStep;
  h.drawBox = Links.DrawBox;
  h.refreshZone = Links.RefreshZone;
  h.fwhmMeasured = Links.FwhmMeasured;
  h.fwhmSampleFull = Links.FwhmSampleFull;
  h.starLost = Links.StarLost;
  h.log = Links.DebugLog ? Links.DebugLog() : nullptr;
  return h;
}

void TFRM_Tool_Suivi::ZoneIn() {
  if (Links.ZoneCentre) Track.zoneCentre = Links.ZoneCentre();
}

void TFRM_Tool_Suivi::ZoneOut(IntPoint before) {
  if (Track.zoneCentre != before && Links.ZoneMoved) {
    Links.ZoneMoved(Track.zoneCentre, Track.previousCentre);
  }
}

bool TFRM_Tool_Suivi::TrackGuideFrame(const Image& slot0, const Image& slot2, int zoneSize) {
  ZoneIn();
  const IntPoint before = Track.zoneCentre;
  TrackingSettings s = ReadSettings();
  if (zoneSize > 0) s.zoneSize = zoneSize;
  const int threshold = s.focusThreshold;
  GuideFrameContext context;
  if (Links.ReadFrameContext) Links.ReadFrameContext(context);
  context.trackingOn = CKB_Suivi.Checked();
  const Image* result =
      CKB_Guide_On_Result.Checked() && Links.ResultPage ? Links.ResultPage() : nullptr;
  const bool inside =
      orniva::TrackGuideFrame(Track, s, context, slot0, slot2, result, Now(), Hooks());
  if (s.focusThreshold != threshold && Links.FocusThresholdChanged) {
    Links.FocusThresholdChanged(s.focusThreshold);
  }
  ZoneOut(before);
  return inside;
}

void TFRM_Tool_Suivi::TakeReference() {
  const Image* frame = Links.GuideFrame ? Links.GuideFrame() : nullptr;
  if (!frame) return;
  ZoneIn();
  TakeCorrelationReference(Track, ReadSettings(), *frame);
}

void TFRM_Tool_Suivi::GuideImageClick(int x, int y) {
  TrackingSettings s = ReadSettings();
  ZoneIn();
  const IntPoint before = Track.zoneCentre;
  Track.previousCentre = Track.zoneCentre;
  Track.zoneCentre = {x, y};
  if (s.guideIsImageCamera) Track.imageCameraStar = Track.zoneCentre;
  RestartDrift(Track.drift, Now(), Track.zoneCentre);
  const Image* frame = Links.GuideFrame ? Links.GuideFrame() : nullptr;
  if (!CKB_Suivi.Checked() || !frame) return ZoneOut(before);
  if (RDB_Correlation.Checked()) TakeCorrelationReference(Track, s, *frame);
  const Image* result =
      CKB_Guide_On_Result.Checked() && Links.ResultPage ? Links.ResultPage() : nullptr;
  TrackZone(Track, s, {frame, result ? result : frame}, {x, y, s.zoneSize, s.zoneSize, true, false},
            Now(), Hooks());
  ZoneOut(before);
}

void TFRM_Tool_Suivi::CKB_SuiviClick() {
  ZoneIn();
  RestartDrift(Track.drift, Now(), Track.zoneCentre);
  Track.reference.fresh = true;
  Track.lossReported = false;
  if (CKB_Suivi.Checked() && RDB_Correlation.Checked()) TakeReference();
  if (Links.TrackingSwitched) Links.TrackingSwitched(CKB_Suivi.Checked());
}

void TFRM_Tool_Suivi::RDB_DeriveClick() {
  ZoneIn();
  RestartDrift(Track.drift, Now(), Track.zoneCentre);
}

void TFRM_Tool_Suivi::RDB_CorrelationClick() {
  TakeReference();
  Track.reference.fresh = true;
}

void TFRM_Tool_Suivi::SCB_Taille_ZDetectChange() {
  if (syncingSize_) return;
  syncingSize_ = true;
  TNI_Taille_ZDetect.SetValue(SCB_Taille_ZDetect.Position());
  syncingSize_ = false;
  if (Links.ZoneSizeChanged) Links.ZoneSizeChanged(SCB_Taille_ZDetect.Position());
  if (CKB_Suivi.Checked() && RDB_Correlation.Checked()) {
    TakeReference();
    if (Links.RerunPipeline) Links.RerunPipeline();
  }
}

void TFRM_Tool_Suivi::TNI_Taille_ZDetectChange() {
  if (syncingSize_) return;
  syncingSize_ = true;
  SCB_Taille_ZDetect.SetPosition(static_cast<int>(Trunc(TNI_Taille_ZDetect.Value())));
  syncingSize_ = false;
  if (Links.ZoneSizeChanged) {
    Links.ZoneSizeChanged(static_cast<int>(Trunc(TNI_Taille_ZDetect.Value())));
  }
}

void TFRM_Tool_Suivi::BTN_Config_Lost_StarClick() {
  if (Links.ConfigureLostStar) Links.ConfigureLostStar();
}

}  // namespace orniva
