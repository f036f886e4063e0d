#pragma once

#include "acquisition/display_controller.h"
#include "acquisition/refresh_controls.h"
#include "ui/controls.h"

namespace orniva {

// The display tool window: the reticle ("Reticule"), the focus aid ("Mise au
// point"), the refresh speeds ("Rafraichissement"), the zone sizes and
// centring ("Zones") and the camera roles ("Cameras"). The zone and reticle
// logic is the display controller's.
class TFRM_Tool_Affichage : public Window {
 public:
  explicit TFRM_Tool_Affichage(Application& app);
  // Connects the window to the main window and the rest of the program.
  void Connect(DisplayHost& host) { display_.SetHost(host); }

  DisplayController& Display() { return display_; }
  int ImageCamera() const { return CKB_Src1_Image.Checked() ? 1 : 2; }
  int GuideCamera() const { return CKB_Src1_Autoguidage.Checked() ? 1 : 2; }
  // The roles as the settings keep them ("SrcImage", "SrcAutoguidage").
  void SetImageCamera(int camera) { CKB_Src1_Image.SetChecked(camera != 2); }
  void SetGuideCamera(int camera) { CKB_Src1_Autoguidage.SetChecked(camera != 2); }

  PageControl PGC_Affichage{*this, "PGC_Affichage"};

  TabSheet TBS_Reticule{PGC_Affichage, "TBS_Reticule", "Reticule"};
  CheckBox CKB_Reticule{TBS_Reticule, "CKB_Reticule", "Afficher le Reticule"};
  CheckBox CKB_Cercles{TBS_Reticule, "CKB_Cercles", "Cercles", true};
  CheckBox CKB_Croix{TBS_Reticule, "CKB_Croix", "Croix", true};
  NumEdit TNI_Orient{TBS_Reticule, "TNI_Orient", 0, 2, 0, 360};
  ScrollBar SCB_Orient{TBS_Reticule, "SCB_Orient", 0, 360, 0};
  Button BTN_Centrer_Mire{TBS_Reticule, "BTN_Centrer_Mire", "Centrer sur la Mire"};
  Button BTN_Centrer_Ecran{TBS_Reticule, "BTN_Centrer_Ecran", "Centrer sur l'ecran"};

  TabSheet TBS_MAP{PGC_Affichage, "TBS_MAP", "Mise au point"};
  CheckBox CKB_MAP{TBS_MAP, "CKB_MAP", "Active"};
  Button BTN_Reset_MAP{TBS_MAP, "BTN_Reset_MAP", "Reset"};
  GroupBox GRB_Methode_MAP{TBS_MAP, "GRB_Methode_MAP", "Methode"};
  RadioButton RDB_Methode_FWHM{GRB_Methode_MAP, "RDB_Methode_FWHM", "FWHM", true};
  RadioButton RDB_Methode_DCT{GRB_Methode_MAP, "RDB_Methode_DCT", "Detection de contraste"};
  CheckBox CKB_FWHM_Auto{TBS_MAP, "CKB_FWHM_Auto", "Auto", true};
  SpinEdit SPED_Seuil_MAP{TBS_MAP, "SPED_Seuil_MAP", 500, 0, 1000};
  CheckBox CKB_Gros_Caract{TBS_MAP, "CKB_Gros_Caract", "Gros caract."};

  TabSheet TBS_Rafraichissement{PGC_Affichage, "TBS_Rafraichissement", "Rafraichissement"};
  RefreshControls Rafraichissement{TBS_Rafraichissement};

  TabSheet TBS_Zones{PGC_Affichage, "TBS_Zones", "Zones"};
  GroupBox GRB_Taille{TBS_Zones, "GRB_Taille", "Taille des zones"};
  NumEdit TNI_Taille_ZDetect{GRB_Taille, "TNI_Taille_ZDetect", 40, 0, 3, 480};
  ScrollBar SCB_Taille_ZDetect{GRB_Taille, "SCB_Taille_ZDetect", 3, 480, 40};
  NumEdit TNI_Taille_ZAffich{GRB_Taille, "TNI_Taille_ZAffich", 320, 0, 20, 1600};
  NumEdit TNI_Taille_ZAffichV{GRB_Taille, "TNI_Taille_ZAffichV", 240, 0, 20, 1600};
  ScrollBar SCB_Taille_ZAffich{GRB_Taille, "SCB_Taille_ZAffich", 20, 1600, 320};
  Panel PNL_DivXCompatible{GRB_Taille, "PNL_DivXCompatible", "XVid Ok"};
  CheckBox CKB_Zones_Liees{TBS_Zones, "CKB_Zones_Liees", "Zones liées"};
  GroupBox GRB_Centrer{TBS_Zones, "GRB_Centrer", "Centrer sur..."};
  Button BTN_Centrer_ZDetect_Ecran{GRB_Centrer, "BTN_Centrer_ZDetect_Ecran", "Ecran"};
  Button BTN_Centrer_ZAffich_Ecran{GRB_Centrer, "BTN_Centrer_ZAffich_Ecran", "Ecran"};
  Button BTN_Centrer_ZAffich_Mire{GRB_Centrer, "BTN_Centrer_ZAffich_Mire", "Mire"};

  TabSheet TBS_Cameras{PGC_Affichage, "TBS_Cameras", "Cameras"};
  GroupBox GRB_Src1{TBS_Cameras, "GRB_Src1", "Source 1"};
  CheckBox CKB_Src1_Image{GRB_Src1, "CKB_Src1_Image", "Image", true};
  CheckBox CKB_Src1_Autoguidage{GRB_Src1, "CKB_Src1_Autoguidage", "Autoguidage", true};
  RadioButton RDB_Src1_Camera1{GRB_Src1, "RDB_Src1_Camera1", "Camera 1", true};
  RadioButton RDB_Src1_Camera2{GRB_Src1, "RDB_Src1_Camera2", "Camera 2"};
  GroupBox GRB_Src2{TBS_Cameras, "GRB_Src2", "Source 2"};
  CheckBox CKB_Src2_Image{GRB_Src2, "CKB_Src2_Image", "Image"};
  CheckBox CKB_Src2_Autoguidage{GRB_Src2, "CKB_Src2_Autoguidage", "Autoguidage"};
  RadioButton RDB_Src2_Camera1{GRB_Src2, "RDB_Src2_Camera1", "Camera 1"};
  RadioButton RDB_Src2_Camera2{GRB_Src2, "RDB_Src2_Camera2", "Camera 2", true};

  // Handlers.
  void SCB_Taille_ZAffichChange();
  void SCB_Taille_ZDetectChange();
  void CKB_Src1_ImageClick();
  void CKB_Src2_ImageClick();
  void CKB_Src1_AutoguidageClick();
  void CKB_Src2_AutoguidageClick();
  void SCB_OrientChange();
  // A camera started: the reticle and the focus aid can be switched on, and
  // the reticle is drawn again. The guide camera stopped: the focus aid is
  // switched off, and both wait for a camera.
  void CameraStarted();
  void GuideCameraStopped();

  void CKB_MAPClick();
  void BTN_Reset_MAPClick();
  void RDB_MethodeClick();
  void CKB_FWHM_AutoClick();
  void CKB_Gros_CaractClick();

 private:
  void FocusBestWorst();
  DisplayHost& Host() { return display_.Host(); }
  DisplayController display_{*this};
};

}  // namespace orniva
