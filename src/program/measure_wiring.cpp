#include "program/measure_wiring.h"

namespace orniva {

void ConnectMeasures(TFRM_Tool_Mesures& mesures, TFRM_Pref& pref) {
  PrefOpticsPage& optics = pref.Optique;
  PrefCameraPage& camera = pref.Camera;
  MeasureHooks& h = mesures.Hooks;
  h.ReadOptics = [&optics] {
    OpticsSettings o;
    o.Focal = optics.TNI_Focale.Value();
    o.BarlowChecked = optics.CKB_Barlow.Checked();
    o.Barlow = optics.TNI_Barlow.Value();
    o.ReducerChecked = optics.CKB_Reducteur.Checked();
    o.Reducer = optics.TNI_Reducteur.Value();
    return o;
  };
  h.ReadCamera = [&camera] {
    CameraSettings c;
    c.PixelWidth = camera.TNI_Larg_Pix.Value();
    c.PixelHeight = camera.TNI_Haut_Pix.Value();
    c.ReferenceWidth = static_cast<int>(camera.TNI_NbPix_X.Value());
    c.ReferenceHeight = static_cast<int>(camera.TNI_NbPix_Y.Value());
    return c;
  };
  h.OnEffectiveFocal = [&optics](double focal) { optics.TNI_Focale_Reelle.SetValue(focal); };
  optics.OpticsChanged = [&mesures] { mesures.OpticsChanged(); };
  camera.CameraChanged = [&mesures] { mesures.CameraSettingsChanged(false); };
  mesures.ComputeEffectiveFocal();
}

}  // namespace orniva
