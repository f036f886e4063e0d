#include "processing/tfrm_tool_mesures.h"

#include "processing/measurements.h"
#include "sky/sky_angles.h"

namespace orniva {

TFRM_Tool_Mesures::TFRM_Tool_Mesures(Application& app)
    : Window(app, "TFRM_Tool_Mesures", "Mesures") {
  SetStayOnTop(true);
  SetBounds({300, 200, 360, 300});
  for (NumEdit* n :
       {&TNI_Echantillonnage, &TNI_Lx, &TNI_Ly, &TNI_ChampX, &TNI_ChampY, &TNI_Vitesse_Etoile}) {
    n->SetReadOnly(true);
  }
  for (Edit* e : {&EDT_Angle_Calcule, &EDT_Distance_Calculee, &EDT_Decl_Etoile}) {
    e->SetReadOnly(true);
  }
  TNI_DistObjet.SetHint("Saisir la distance qui vous sépare de l'objet");
  EDT_Angle_Calcule.SetHint("Angle entre les deux points selectionnés");
  EDT_Distance_Calculee.SetHint("Distance entre les deux points selectionnés");
  TNI_Vitesse_Etoile.SetHint("Vitesse angulaire de l'objet (en secondes d'arc / seconde)");
  EDT_Decl_Etoile.SetHint("Declinaison approximative calculée de l'objet)");
  BTN_Def_Declinaison.SetEnabled(false);
  PGC_Mesures.SetActivePage(TBS_Echantillonnage);

  BTN_Def_Declinaison.OnClick = [this] { BTN_Def_DeclinaisonClick(); };
  // The field's value changes when the operator leaves it after typing.
  TNI_DistObjet.OnChange = [this] { TNI_DistObjetExit(); };
}

void TFRM_Tool_Mesures::ComputeEffectiveFocal() {
  OpticsSettings o = Hooks.ReadOptics ? Hooks.ReadOptics() : OpticsSettings{};
  effectiveFocal_ = EffectiveFocal(o.Focal, o.BarlowChecked, o.Barlow, o.ReducerChecked, o.Reducer);
  if (Hooks.OnEffectiveFocal) Hooks.OnEffectiveFocal(effectiveFocal_);
}

void TFRM_Tool_Mesures::ComputeSampling(int camera) {
  CameraSettings c = Hooks.ReadCamera ? Hooks.ReadCamera() : CameraSettings{};
  int width = Hooks.FrameWidth ? Hooks.FrameWidth(camera) : 0;
  if (width <= 0) width = lastVideoWidth_;
  // A damaged saved width must not divide by zero: take the frame as the
  // reference resolution.
  if (width <= 0) width = c.ReferenceWidth;
  double s = SamplingArcsecPerPixel(c.PixelWidth, c.ReferenceWidth, width, effectiveFocal_);
  TNI_Echantillonnage.SetValue(s);
  sampling_ = s;
  FieldOfView f = FieldOfFrame(TNI_Lx.Value(), TNI_Ly.Value(), s);
  TNI_ChampX.SetValue(f.X);
  TNI_ChampY.SetValue(f.Y);
  LBL_Unite_Champ.SetCaption(FieldUnitCaption(f.Unit));
}

void TFRM_Tool_Mesures::MeasureDistance() {
  angle_ = MeasuredAngle(dx_, dy_, TNI_Echantillonnage.Value());
  EDT_Angle_Calcule.SetText(FormatDec(angle_));
  distance_ = DistanceAtRange(TNI_DistObjet.Value(), angle_);
  EDT_Distance_Calculee.SetText(FormatGeneral(distance_, 3));
}

void TFRM_Tool_Mesures::SetMeasurementPoint(int x, int y) {
  previousX_ = currentX_;
  previousY_ = currentY_;
  currentX_ = x;
  currentY_ = y;
  dx_ = x - previousX_;
  dy_ = y - previousY_;
  MeasureDistance();
}

void TFRM_Tool_Mesures::OpticsChanged() {
  ComputeEffectiveFocal();
  ComputeSampling(1);
  ComputeSampling(2);
  if (Hooks.OnRedrawReticle) Hooks.OnRedrawReticle();
  MeasureDistance();
  if (Hooks.OnRedrawChart) Hooks.OnRedrawChart();
}

void TFRM_Tool_Mesures::CameraSettingsChanged(bool bothCameras) {
  ComputeSampling(1);
  if (bothCameras) ComputeSampling(2);
  if (Hooks.OnRedrawReticle) Hooks.OnRedrawReticle();
  MeasureDistance();
}

void TFRM_Tool_Mesures::CameraStarted(int camera, int width, int height) {
  TNI_Lx.SetValue(width);
  TNI_Ly.SetValue(height);
  ComputeSampling(camera);
  BTN_Def_Declinaison.SetEnabled(true);
}

void TFRM_Tool_Mesures::ShowStarDrift(double driftPixels, double elapsedSeconds) {
  // No time elapsed gives no speed to show.
  if (!(elapsedSeconds > 0)) return;
  double speed = driftPixels / elapsedSeconds * TNI_Echantillonnage.Value();
  TNI_Vitesse_Etoile.SetValue(speed);
  EDT_Decl_Etoile.SetText(FormatDec(DeclinationFromDrift(speed)));
}

void TFRM_Tool_Mesures::ShowPage(TabSheet& page) {
  PGC_Mesures.SetActivePage(page);
  ShowOnScreen();
}

void TFRM_Tool_Mesures::BTN_Def_DeclinaisonClick() {
  if (Hooks.OnDefineDeclination) Hooks.OnDefineDeclination();
}

void TFRM_Tool_Mesures::TNI_DistObjetExit() {
  MeasureDistance();
}

}  // namespace orniva
