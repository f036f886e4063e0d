#include "acquisition/tfrm_tool_affichage.h"

#include "core/rounding.h"

namespace orniva {

TFRM_Tool_Affichage::TFRM_Tool_Affichage(Application& app)
    : Window(app, "TFRM_Tool_Affichage", "Affichage") {
  SetBounds({600, 100, 300, 380});
  SetStayOnTop(true);

  TNI_Taille_ZDetect.SetCaption("Detection");
  TNI_Taille_ZDetect.SetHint(
      "Taille de la zone de detection pour le suivi ou stabilisation d'image");
  TNI_Taille_ZAffich.SetCaption("Affichage");
  TNI_Taille_ZAffich.SetHint("Taille de la zone d'affichage selectionnée");
  TNI_Taille_ZAffichV.SetCaption("x");
  for (NumEdit* e : {&TNI_Taille_ZDetect, &TNI_Taille_ZAffich, &TNI_Taille_ZAffichV}) {
    e->SetReadOnly(true);
  }
  // Nothing to size before a source has started.
  for (Control* c : std::initializer_list<Control*>{&TNI_Taille_ZDetect, &SCB_Taille_ZDetect,
                                                    &TNI_Taille_ZAffich, &TNI_Taille_ZAffichV,
                                                    &SCB_Taille_ZAffich}) {
    c->SetEnabled(false);
  }
  PNL_DivXCompatible.SetColor(kBlack);

  RDB_Src1_Camera1.SetVisible(false);
  RDB_Src1_Camera2.SetVisible(false);
  RDB_Src2_Camera1.SetVisible(false);
  RDB_Src2_Camera2.SetVisible(false);

  TBS_Reticule.SetHint("Ctrl-Clic sur la fenêtre video");
  CKB_Cercles.SetHint("Affiche les cercles concentriques");
  CKB_Croix.SetHint("Affiche la croix graduée");
  TNI_Orient.SetHint("Orientation du réticule");
  SCB_Orient.SetHint("Orientation manuelle du réticule");

  SCB_Taille_ZAffich.OnChange = [this] { SCB_Taille_ZAffichChange(); };
  SCB_Taille_ZDetect.OnChange = [this] { SCB_Taille_ZDetectChange(); };
  BTN_Centrer_ZDetect_Ecran.OnClick = [this] { display_.CentreDetectionOnScreen(); };
  BTN_Centrer_ZAffich_Ecran.OnClick = [this] { display_.CentreDisplayOnScreen(); };
  BTN_Centrer_ZAffich_Mire.OnClick = [this] { display_.CentreDisplayOnZone(); };

  CKB_Src1_Image.OnClick = [this] { CKB_Src1_ImageClick(); };
  CKB_Src2_Image.OnClick = [this] { CKB_Src2_ImageClick(); };
  CKB_Src1_Autoguidage.OnClick = [this] { CKB_Src1_AutoguidageClick(); };
  CKB_Src2_Autoguidage.OnClick = [this] { CKB_Src2_AutoguidageClick(); };

  CKB_Reticule.OnClick = [this] { display_.RedrawReticle(); };
  CKB_Cercles.OnClick = [this] { display_.RedrawReticle(); };
  CKB_Croix.OnClick = [this] { display_.RedrawReticle(); };
  TNI_Orient.OnChange = [this] { display_.RedrawReticle(); };
  SCB_Orient.OnChange = [this] { SCB_OrientChange(); };
  BTN_Centrer_Mire.OnClick = [this] { display_.CentreReticleOnZone(); };
  BTN_Centrer_Ecran.OnClick = [this] { display_.CentreReticleOnScreen(); };

  CKB_MAP.OnClick = [this] { CKB_MAPClick(); };
  BTN_Reset_MAP.OnClick = [this] { BTN_Reset_MAPClick(); };
  RDB_Methode_FWHM.OnClick = [this] { RDB_MethodeClick(); };
  RDB_Methode_DCT.OnClick = [this] { RDB_MethodeClick(); };
  CKB_FWHM_Auto.OnClick = [this] { CKB_FWHM_AutoClick(); };
  CKB_FWHM_AutoClick();
  CKB_Gros_Caract.OnClick = [this] { CKB_Gros_CaractClick(); };
}

void TFRM_Tool_Affichage::SCB_Taille_ZAffichChange() {
  TNI_Taille_ZAffich.SetValue(SCB_Taille_ZAffich.Position());
  const int camera = ImageCamera();
  const ResultPageSize page =
      ZoneScrollPageSize(TNI_Taille_ZAffich.Value(), Host().ZoneAspect(),
                         Host().FrameHeight(camera), Host().Binning2x2(camera));
  Host().ResizeResultPage(page.width, page.height);
  TNI_Taille_ZAffichV.SetValue(page.shownHeight);
  display_.ComputeAndRedraw(camera);
  Host().RefreshResources();
  Host().ProcessFrame(true, camera);
  PNL_DivXCompatible.SetColor(XVidCompatible(page.width, page.height) ? Rgb(0, 255, 0) : kBlack);
}

void TFRM_Tool_Affichage::SCB_Taille_ZDetectChange() {
  const int size = SCB_Taille_ZDetect.Position();
  TNI_Taille_ZDetect.SetValue(size);
  Host().DetectionSizeChanged(size);
  if (Host().TrackingOn() && Host().CorrelationSelected()) Host().NewCorrelationReference();
  Host().ProcessFrame(true, ImageCamera());
}

// Each role is held by exactly one camera: the two boxes of a role stay
// opposite (the second call finds nothing to change and stops).
void TFRM_Tool_Affichage::CKB_Src1_ImageClick() {
  CKB_Src2_Image.SetChecked(!CKB_Src1_Image.Checked());
  Host().RolesChanged(ImageCamera(), GuideCamera());
}

void TFRM_Tool_Affichage::CKB_Src2_ImageClick() {
  CKB_Src1_Image.SetChecked(!CKB_Src2_Image.Checked());
  Host().RolesChanged(ImageCamera(), GuideCamera());
}

void TFRM_Tool_Affichage::CKB_Src1_AutoguidageClick() {
  CKB_Src2_Autoguidage.SetChecked(!CKB_Src1_Autoguidage.Checked());
  Host().RolesChanged(ImageCamera(), GuideCamera());
}

void TFRM_Tool_Affichage::CKB_Src2_AutoguidageClick() {
  CKB_Src1_Autoguidage.SetChecked(!CKB_Src2_Autoguidage.Checked());
  Host().RolesChanged(ImageCamera(), GuideCamera());
}

void TFRM_Tool_Affichage::SCB_OrientChange() {
  TNI_Orient.SetValue(SCB_Orient.Position());
  Host().RedrawSkyChart();
}

void TFRM_Tool_Affichage::FocusBestWorst() {
  if (RDB_Methode_FWHM.Checked()) {
    Host().FocusAidReset(99999, 0);
  } else {
    Host().FocusAidReset(0, 99999);
  }
}

void TFRM_Tool_Affichage::CKB_MAPClick() {
  if (CKB_MAP.Checked()) {
    FocusBestWorst();
    if (RDB_Methode_FWHM.Checked()) Host().FocusAidFwhmStarted();
    Host().SetSelectionBoxEnabled(false);
  } else {
    Host().SetSelectionBoxEnabled(true);
  }
}

void TFRM_Tool_Affichage::BTN_Reset_MAPClick() {
  if (CKB_MAP.Checked()) FocusBestWorst();
}

void TFRM_Tool_Affichage::RDB_MethodeClick() {
  if (RDB_Methode_FWHM.Checked()) {
    Host().FocusAidSetBestWorst(99999, 0);
  } else {
    Host().FocusAidSetBestWorst(0, 99999);
  }
}

void TFRM_Tool_Affichage::CKB_FWHM_AutoClick() {
  SPED_Seuil_MAP.SetEnabled(!CKB_FWHM_Auto.Checked());
}

void TFRM_Tool_Affichage::CKB_Gros_CaractClick() {
  Host().ShowLargeFocusWindow(CKB_Gros_Caract.Checked());
}

void TFRM_Tool_Affichage::CameraStarted() {
  CKB_Reticule.SetEnabled(true);
  CKB_MAP.SetEnabled(true);
  display_.RedrawReticle();
}

void TFRM_Tool_Affichage::GuideCameraStopped() {
  CKB_Reticule.SetEnabled(false);
  CKB_MAP.SetChecked(false);
  CKB_MAP.SetEnabled(false);
}

}  // namespace orniva
