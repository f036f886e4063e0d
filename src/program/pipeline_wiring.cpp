#include "program/pipeline_wiring.h"

#include <string>

namespace orniva {

void ConnectPipelineControls(const PipelineWindows& w) {
  PipelineInputs& in = w.alv.Inputs;
  TFRM_Info& info = w.info;
  in.SaturationView = [&info] { return info.CKB_Satur.Checked(); };
  in.SaturationThreshold = [&info] { return info.TNI_Seuil_Satur.Value(); };
  in.InfoVisible = [&info] { return info.Visible(); };
  TFRM_Longuepose& longExposure = w.longExposure;
  in.LongExposureActive = [&longExposure] { return longExposure.LongExposureActive(); };
  in.SelfGuiding = [&longExposure] { return longExposure.SelfGuiding(); };
  PrefCameraPage& camera = w.pref.Camera;
  in.ModifiedCamera = [&camera] { return camera.CKB_VestaMod.Checked(); };
  in.RawMode = [&camera] { return camera.CKB_Raw.Checked(); };
  in.RawPattern = [&camera] { return camera.RawPattern(); };
  CheckBox& dateTime = w.pref.Mire.CKB_DateHeure;
  in.DateTime = [&dateTime] { return dateTime.Checked(); };
  TFRM_Small& small = w.small;
  in.MiniSource = [&small]() -> Picture* { return small.Visible() ? &small.Img_Small : nullptr; };
  TFRM_Tool_Affichage& display = w.display;
  in.DetectionZoneSize = [&display] { return display.TNI_Taille_ZDetect.Value(); };
  in.DisplayZoneSize = [&display] { return display.TNI_Taille_ZAffich.Value(); };
  in.Reticle = [&display] { return display.CKB_Reticule.Checked(); };
  in.FocusContrast = [&display] {
    return display.CKB_MAP.Checked() && display.RDB_Methode_DCT.Checked();
  };
  TFRM_Detect_Mvt& motion = w.motion;
  in.Motion = [&motion] {
    return MotionSetup{motion.Armed(), motion.LevelThreshold(), motion.CountThreshold()};
  };
  TFRM_Tool_Images& tools = w.tools;
  w.alv.Hooks.ShowSavedImageSize = [&tools](int64_t bytes) {
    tools.EDT_Taille_Fichier.SetText(std::to_string(bytes));
  };
  w.alv.Hooks.SelectionVerdict = [&tools](bool accepted) { tools.ShowSelectionVerdict(accepted); };
}

}  // namespace orniva
