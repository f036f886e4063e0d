#pragma once

#include <functional>

#include "ui/controls.h"

namespace orniva {

// The optics settings of the preferences window: focal length in mm, Barlow
// and reducer with whether each is in use.
struct OpticsSettings {
  double Focal = 2000;
  bool BarlowChecked = false;
  double Barlow = 2.0;
  bool ReducerChecked = false;
  double Reducer = 0.63;
};

// The camera settings of the preferences window: pixel size in micrometres
// and the frame size at which it holds.
struct CameraSettings {
  double PixelWidth = 5.6;
  double PixelHeight = 5.6;
  int ReferenceWidth = 640;
  int ReferenceHeight = 480;
};

// What the measurement window reads from the windows that own its settings
// and what it asks them to do. Unset, the preferences' defaults hold, cameras
// have no frame and nothing is redrawn.
struct MeasureHooks {
  std::function<OpticsSettings()> ReadOptics;
  std::function<CameraSettings()> ReadCamera;
  // Camera 1 or 2's current frame width in pixels, 0 when it has no frame.
  std::function<int(int camera)> FrameWidth;
  // Shows the effective focal length ("Focale totale (mm) :").
  std::function<void(double)> OnEffectiveFocal;
  // Redraw what depends on the sampling: the reticle's graduation, and the
  // sky chart's field frame when the chart is shown.
  std::function<void()> OnRedrawReticle;
  std::function<void()> OnRedrawChart;
  // The main window's "Declinaison d'une etoile" command.
  std::function<void()> OnDefineDeclination;
};

// The measurement window "Mesures": image scale and field of the frame, the
// angle and distance between two points marked on the guide camera's page,
// and the drift speed and approximate declination of a star.
class TFRM_Tool_Mesures : public Window {
 public:
  explicit TFRM_Tool_Mesures(Application& app);

  PageControl PGC_Mesures{*this, "PGC_Mesures"};

  TabSheet TBS_Echantillonnage{PGC_Mesures, "TBS_Echantillonnage", "Echantillonnage"};
  Label LBL_Echantillonnage{TBS_Echantillonnage, "LBL_Echantillonnage", "Sec.Arc/pixel"};
  NumEdit TNI_Echantillonnage{TBS_Echantillonnage, "TNI_Echantillonnage", 0, 2};
  Label LBL_Resolution{TBS_Echantillonnage, "LBL_Resolution", "Resolution (Pixels)"};
  NumEdit TNI_Lx{TBS_Echantillonnage, "TNI_Lx", 640, 0};
  NumEdit TNI_Ly{TBS_Echantillonnage, "TNI_Ly", 480, 0};
  Label LBL_Champ{TBS_Echantillonnage, "LBL_Champ", "Champ"};
  NumEdit TNI_ChampX{TBS_Echantillonnage, "TNI_ChampX", 0, 2};
  NumEdit TNI_ChampY{TBS_Echantillonnage, "TNI_ChampY", 0, 2};
  Label LBL_Unite_Champ{TBS_Echantillonnage, "LBL_Unite_Champ", "(Secondes)"};

  TabSheet TBS_Distances{PGC_Mesures, "TBS_Distances", "Distances"};
  Label LBL_DistObjet{TBS_Distances, "LBL_DistObjet", "Distance Terre-Objet"};
  NumEdit TNI_DistObjet{TBS_Distances, "TNI_DistObjet", 0.1, 2, 0.000001, 1e300};
  Label LBL_Angle_Calcule{TBS_Distances, "LBL_Angle_Calcule", "Angle calculé"};
  Edit EDT_Angle_Calcule{TBS_Distances, "EDT_Angle_Calcule"};
  Label LBL_Distance_Calculee{TBS_Distances, "LBL_Distance_Calculee", "Distance Calculée"};
  Edit EDT_Distance_Calculee{TBS_Distances, "EDT_Distance_Calculee"};

  TabSheet TBS_Declinaison{PGC_Mesures, "TBS_Declinaison", "Declinaison"};
  Button BTN_Def_Declinaison{TBS_Declinaison, "BTN_Def_Declinaison", "Definir"};
  Label LBL_Vitesse_Etoile{TBS_Declinaison, "LBL_Vitesse_Etoile", "Vitesse (Sec.Arc/Sec)"};
  NumEdit TNI_Vitesse_Etoile{TBS_Declinaison, "TNI_Vitesse_Etoile", 0, 2};
  Label LBL_Decl_Etoile{TBS_Declinaison, "LBL_Decl_Etoile", "Declinaison approx."};
  Edit EDT_Decl_Etoile{TBS_Declinaison, "EDT_Decl_Etoile"};

  MeasureHooks Hooks;

  // Recomputes the effective focal length and shows it.
  void ComputeEffectiveFocal();
  // Recomputes the sampling from camera 1 or 2's frame width, then the field.
  void ComputeSampling(int camera);
  // Recomputes the angle and distance between the two measurement points.
  void MeasureDistance();
  // A new measurement point (Alt + left button released on the guide
  // camera's page): the current point becomes the previous one.
  void SetMeasurementPoint(int x, int y);

  // The optics changed (a factor left or ticked, another optics profile):
  // focal length, both cameras' sampling, reticle, distance, chart.
  void OpticsChanged();
  // The camera settings changed: the pixel size or reference resolution was
  // left (camera 1 only) or another camera profile chosen (both cameras);
  // then the reticle and the distance.
  void CameraSettingsChanged(bool bothCameras);
  // Camera 1 or 2 started, or its video format changed: its frame size is
  // shown and its sampling recomputed; "Definir" becomes available.
  void CameraStarted(int camera, int width, int height);
  // The end of the star declination measurement: the drift in pixels over
  // the elapsed seconds.
  void ShowStarDrift(double driftPixels, double elapsedSeconds);
  // Shows the window on one of its pages (menu items, tool buttons, scripts).
  void ShowPage(TabSheet& page);

  // The guide camera stopped: no declination can be measured.
  void GuideCameraStopped() { BTN_Def_Declinaison.SetEnabled(false); }
  void BTN_Def_DeclinaisonClick();
  void TNI_DistObjetExit();

  double EffectiveFocalLength() const { return effectiveFocal_; }
  // The sampling the sky chart reads: the saved value until the first
  // computation, then the computed one.
  double Sampling() const { return sampling_; }
  void SetSavedSampling(double sampling) { sampling_ = sampling; }
  int LastVideoWidth() const { return lastVideoWidth_; }
  void SetLastVideoWidth(int width) { lastVideoWidth_ = width; }
  double LastAngle() const { return angle_; }
  double LastDistance() const { return distance_; }

 private:
  double effectiveFocal_ = 2000;
  double sampling_ = 0.63;
  int lastVideoWidth_ = 640;
  int currentX_ = 0, currentY_ = 0;
  int previousX_ = 0, previousY_ = 0;
  double dx_ = 0, dy_ = 0;
  double angle_ = 0;
  double distance_ = 0;
};

}  // namespace orniva
