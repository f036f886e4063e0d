#pragma once

#include <functional>

#include "telescope/tracking_pass.h"
#include "ui/controls.h"

namespace orniva {

// What the tracking window needs from the rest of the program: the guide
// camera's frames, the settings held by other windows, and where the
// results of a pass go. Unset links do nothing (or give nothing).
struct TrackingLinks {
  // The detection-zone centre where the zone display keeps it: read before
  // each pass, told after a pass or a click moved it.
  std::function<IntPoint()> ZoneCentre;
  std::function<void(IntPoint centre, IntPoint previous)> ZoneMoved;
  // Frame slot 0 of the guide camera.
  std::function<const Image*()> GuideFrame;
  // The result page's bitmap (for "Guider sur l'image resultat").
  std::function<const Image*()> ResultPage;
  // The settings of the focus aid, the preferences and long exposure.
  std::function<void(TrackingSettings&)> ReadOutsideSettings;
  // The focus threshold a pass with "Auto" has set.
  std::function<void(int)> FocusThresholdChanged;
  // Long exposure and integration state for the frame being tracked.
  std::function<void(GuideFrameContext&)> ReadFrameContext;
  // Tracking switched on or off (the guide camera's format controls follow).
  std::function<void(bool on)> TrackingSwitched;
  // The zone size changed here (the display tool window mirrors it).
  std::function<void(int size)> ZoneSizeChanged;
  // Runs the frame pipeline once more for the image camera.
  std::function<void()> RerunPipeline;
  // The action on guide-star loss.
  std::function<void()> StarLost;
  // Opens the window configuring that action.
  std::function<void()> ConfigureLostStar;
  // "Debug.log" when "Debug actif" is checked, otherwise null.
  std::function<TrackingLog*()> DebugLog;
  // Autoguiding's correction, the Lumistay exposure step, the box of the
  // limit scans, the zone display and the focus display.
  std::function<void(int, int)> GuideCorrection;
  std::function<void()> ExposureStep;
  std::function<void(const ZoneBox&)> DrawBox;
  std::function<void()> RefreshZone;
  std::function<void(double, double, double, double)> FwhmMeasured;
  std::function<void(double)> FwhmSampleFull;
};

// The tracking tool window "Suivi/Autoguidage": switches tracking, picks the
// method and its settings, the zone size and the lost-star alarm; holds the
// tracking state and runs the pass for each frame of the guide camera.
class TFRM_Tool_Suivi : public Window {
 public:
  explicit TFRM_Tool_Suivi(Application& app);

  Panel PNL_Suivi{*this, "PNL_Suivi"};
  CheckBox CKB_Suivi{PNL_Suivi, "CKB_Suivi", "Activé"};
  RadioButton RDB_Suivi_logiciel{PNL_Suivi, "RDB_Suivi_logiciel", "Suivi logiciel", true};
  RadioButton RDB_Autoguidage{PNL_Suivi, "RDB_Autoguidage", "Autoguidage"};

  GroupBox GRB_Methode_Suivi{*this, "GRB_Methode_Suivi", "Methode"};
  RadioButton RDB_Colimacon{GRB_Methode_Suivi, "RDB_Colimacon", "Pixel Brillant"};
  RadioButton RDB_Somax{GRB_Methode_Suivi, "RDB_Somax", "Somme Axes", true};
  RadioButton RDB_Somax2{GRB_Methode_Suivi, "RDB_Somax2", "Somme Axes 2"};
  RadioButton RDB_Cadres{GRB_Methode_Suivi, "RDB_Cadres", "Detect.Limites"};
  RadioButton RDB_Correlation{GRB_Methode_Suivi, "RDB_Correlation", "Correlation"};
  Label LBL_Corr_Precision{GRB_Methode_Suivi, "LBL_Corr_Precision", "Precision :"};
  SpinEdit SPED_Correl_Precision{GRB_Methode_Suivi, "SPED_Correl_Precision", 2, 1, 10};
  RadioButton RDB_Derive{GRB_Methode_Suivi, "RDB_Derive", "Derive"};
  Button BTN_SetDerive{GRB_Methode_Suivi, "BTN_SetDerive", "Definir"};
  CheckBox CKB_Inversion_Video{GRB_Methode_Suivi, "CKB_Inversion_Video", "Sur objets sombres"};
  Label LBL_Tolerance{GRB_Methode_Suivi, "LBL_Tolerance", "Tolerance.:"};
  SpinEdit SPED_Sensibilite{GRB_Methode_Suivi, "SPED_Sensibilite", 0, 0, 255};

  Label LBL_Taille_ZDetect{*this, "LBL_Taille_ZDetect", "Zone (Pixels) :"};
  NumEdit TNI_Taille_ZDetect{*this, "TNI_Taille_ZDetect", 40, 0, 3, 480};
  ScrollBar SCB_Taille_ZDetect{*this, "SCB_Taille_ZDetect", 3, 480, 40};

  Label LBL_Intervalle_Guidage{*this, "LBL_Intervalle_Guidage", "Intervalle (Images) :"};
  SpinEdit SPED_Intervalle_Guidage{*this, "SPED_Intervalle_Guidage", 10, 1, 1500};
  Button BTN_Param_Autoguidage{*this, "BTN_Param_Autoguidage", "Parametres"};
  Button BTN_Decaler{*this, "BTN_Decaler", "Decaler +1"};
  Label LBL_Seuil_Detect_Min{*this, "LBL_Seuil_Detect_Min", "Seuil mini de detection"};
  SpinEdit SPED_Seuil_Detect_Min{*this, "SPED_Seuil_Detect_Min", 50, 0, 255};

  GroupBox GRB_LostStar{*this, "GRB_LostStar", "Alarme Perte Etoile"};
  CheckBox CKB_Lost_Star_Alert{GRB_LostStar, "CKB_Lost_Star_Alert", "Activé"};
  Button BTN_Config_Lost_Star{GRB_LostStar, "BTN_Config_Lost_Star", "Configurer"};

  CheckBox CKB_Guide_On_Result{*this, "CKB_Guide_On_Result", "Guider sur l'image resultat"};

  // The process-wide tracking state.
  TrackingState Track;
  TrackingLinks Links;

  // The settings a pass reads, from this window and the linked ones.
  TrackingSettings ReadSettings() const;
  // The tracking step of the frame pipeline for a frame of the guide camera
  // (slot 0 the live frame, slot 2 the self-guiding frame) with the
  // detection-zone size (0: this window's); returns whether the zone stayed
  // inside the frame.
  bool TrackGuideFrame(const Image& slot0, const Image& slot2, int zoneSize = 0);
  // A plain left click at (x, y) in the guide camera's image: the zone moves
  // there and, with tracking on, a pass runs at once.
  void GuideImageClick(int x, int y);
  // Takes the correlation reference at the zone centre with the zone size.
  void TakeReference();

  // Handlers.
  // A camera started: tracking and the drift can be switched on. The guide
  // camera stopped: they wait for a camera.
  void CameraStarted() { SetCameraControlsEnabled(true); }
  void GuideCameraStopped() { SetCameraControlsEnabled(false); }
  void SetCameraControlsEnabled(bool enabled) {
    CKB_Suivi.SetEnabled(enabled);
    BTN_SetDerive.SetEnabled(enabled);
  }

  void CKB_SuiviClick();
  void RDB_DeriveClick();
  void RDB_CorrelationClick();
  void SCB_Taille_ZDetectChange();
  void TNI_Taille_ZDetectChange();
  void BTN_Config_Lost_StarClick();

 private:
  TrackingHooks Hooks() const;
  void ZoneIn();
  void ZoneOut(IntPoint before);
  int64_t Now() const;
  bool syncingSize_ = false;
};

}  // namespace orniva
