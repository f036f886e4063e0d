#include "telescope/pref_pages.h"

namespace orniva {

PrefDirectoriesPage::PrefDirectoriesPage(PageControl& pages)
    : TBS_Repertoires(pages, "TBS_Repertoires", "Repertoires"),
      LBL_BitmapDir(TBS_Repertoires, "LBL_BitmapDir", "Images :"),
      EDT_Repertoire_Bitmaps(TBS_Repertoires, "EDT_Repertoire_Bitmaps"),
      LBL_IconDir(TBS_Repertoires, "LBL_IconDir", "Icones :"),
      EDT_Repertoire_Icones(TBS_Repertoires, "EDT_Repertoire_Icones"),
      LBL_ScriptDir(TBS_Repertoires, "LBL_ScriptDir", "Scripts :"),
      EDT_Repertoire_Scripts(TBS_Repertoires, "EDT_Repertoire_Scripts"),
      LBL_SoundDir(TBS_Repertoires, "LBL_SoundDir", "Sons :"),
      EDT_Repertoire_Sons(TBS_Repertoires, "EDT_Repertoire_Sons"),
      LBL_FilterDir(TBS_Repertoires, "LBL_FilterDir", "Filtres :"),
      EDT_Repertoire_Filtres(TBS_Repertoires, "EDT_Repertoire_Filtres") {}

PrefLanguagePage::PrefLanguagePage(PageControl& pages)
    : TBS_Langue(pages, "TBS_Langue", "Langue"), CBX_Langue(TBS_Langue, "CBX_Langue") {}

PrefOpticsPage::PrefOpticsPage(PageControl& pages)
    : TBS_Optique(pages, "TBS_Optique", "Optique"),
      CBX_Optique(TBS_Optique, "CBX_Optique", {"Defaut"}, 0, true),
      BTN_Nouveau_Optique(TBS_Optique, "BTN_Nouveau_Optique", "Ajouter"),
      BTN_Sup_Optique(TBS_Optique, "BTN_Sup_Optique", "Suppr."),
      BTN_Enregistrer_Optique(TBS_Optique, "BTN_Enregistrer_Optique", "Enregistrer"),
      LBL_Focale(TBS_Optique, "LBL_Focale", "Focale primaire (mm) :"),
      TNI_Focale(TBS_Optique, "TNI_Focale", 2000, 0, 1, 99999),
      CKB_Barlow(TBS_Optique, "CKB_Barlow", "Barlow :"),
      TNI_Barlow(TBS_Optique, "TNI_Barlow", 2.0, 2, 1, 10),
      CKB_Reducteur(TBS_Optique, "CKB_Reducteur", "Reducteur :"),
      TNI_Reducteur(TBS_Optique, "TNI_Reducteur", 0.63, 2, 0.01, 1),
      LBL_Focale_Reelle(TBS_Optique, "LBL_Focale_Reelle", "Focale totale (mm) :"),
      TNI_Focale_Reelle(TBS_Optique, "TNI_Focale_Reelle", 2000, 0) {
  TNI_Barlow.SetEnabled(false);
  TNI_Reducteur.SetEnabled(false);
  TNI_Focale_Reelle.SetReadOnly(true);
  auto changed = [this] {
    if (OpticsChanged) OpticsChanged();
  };
  CKB_Barlow.OnClick = [this, changed] {
    TNI_Barlow.SetEnabled(CKB_Barlow.Checked());
    changed();
  };
  CKB_Reducteur.OnClick = [this, changed] {
    TNI_Reducteur.SetEnabled(CKB_Reducteur.Checked());
    changed();
  };
  for (NumEdit* e : {&TNI_Focale, &TNI_Barlow, &TNI_Reducteur}) e->OnChange = changed;
}

PrefCameraPage::PrefCameraPage(PageControl& pages)
    : TBS_Camera(pages, "TBS_Camera", "Camera"),
      CBX_Camera(TBS_Camera, "CBX_Camera", {"Defaut"}, 0, true),
      BTN_Nouveau_Camera(TBS_Camera, "BTN_Nouveau_Camera", "Ajouter"),
      BTN_Sup_Camera(TBS_Camera, "BTN_Sup_Camera", "Suppr."),
      BTN_Enregistrer_Camera(TBS_Camera, "BTN_Enregistrer_Camera", "Enregistrer"),
      LBL_TaillePixel(TBS_Camera, "LBL_TaillePixel", "Taille d'un pixel (Lxl) : "),
      TNI_Larg_Pix(TBS_Camera, "TNI_Larg_Pix", 5.6, 2, 0, 10000000),
      TNI_Haut_Pix(TBS_Camera, "TNI_Haut_Pix", 5.6, 2, 0, 10000000),
      LBL_Determine_resolution(TBS_Camera, "LBL_Determine_resolution",
                               "Determinée à la resolution de :"),
      TNI_NbPix_X(TBS_Camera, "TNI_NbPix_X", 640, 0, 20, 2048),
      TNI_NbPix_Y(TBS_Camera, "TNI_NbPix_Y", 480, 0, 20, 2048),
      BTN_Calculer_TaillePix(TBS_Camera, "BTN_Calculer_TaillePix", "Calculer automatiquement"),
      CKB_VestaMod(TBS_Camera, "CKB_VestaMod", "Camera modifiée Vorta"),
      CKB_Raw(TBS_Camera, "CKB_Raw", "Mode RAW Couleur"),
      GRB_RawMode(TBS_Camera, "GRB_RawMode"),
      RDB_RAWMode_1(GRB_RawMode, "RDB_RAWMode_1", "Mode 1 (GR)", true),
      RDB_RAWMode_2(GRB_RawMode, "RDB_RAWMode_2", "Mode 2 (RG)"),
      RDB_RAWMode_3(GRB_RawMode, "RDB_RAWMode_3", "Mode 3 (BG)"),
      RDB_RAWMode_4(GRB_RawMode, "RDB_RAWMode_4", "Mode 4 (GB)") {
  for (NumEdit* e : {&TNI_Larg_Pix, &TNI_Haut_Pix, &TNI_NbPix_X, &TNI_NbPix_Y}) {
    e->OnChange = [this] {
      if (CameraChanged) CameraChanged();
    };
  }
  BTN_Calculer_TaillePix.OnClick = [this] {
    if (ComputePixelSize) ComputePixelSize();
  };
}

int PrefCameraPage::RawPattern() const {
  const RadioButton* patterns[] = {&RDB_RAWMode_1, &RDB_RAWMode_2, &RDB_RAWMode_3, &RDB_RAWMode_4};
  for (int i = 0; i < 4; ++i) {
    if (patterns[i]->Checked()) return i + 1;
  }
  return 0;
}

PrefFocusPage::PrefFocusPage(PageControl& pages)
    : TBS_MAP(pages, "TBS_MAP", "Mise au point"),
      LBL_Nb_Mesures(TBS_MAP, "LBL_Nb_Mesures", "Moyenne sur "),
      SPED_Nb_Mesures(TBS_MAP, "SPED_Nb_Mesures", 10, 2, 50),
      LBL_Mesures(TBS_MAP, "LBL_Mesures", "mesures"),
      CKB_Debug(TBS_MAP, "CKB_Debug", "Debug actif") {}

PrefMirePage::PrefMirePage(PageControl& pages)
    : TBS_Mire(pages, "TBS_Mire", "Mire"),
      LBL_Informations_Mire(TBS_Mire, "LBL_Informations_Mire", "Informations"),
      CKB_Intensite_Max(TBS_Mire, "CKB_Intensite_Max", "Intensité Maximale"),
      CKB_Intensite_Min(TBS_Mire, "CKB_Intensite_Min", "Intensité Minimale"),
      CKB_FWHM(TBS_Mire, "CKB_FWHM", "FWHM"),
      CKB_IPS(TBS_Mire, "CKB_IPS", "IPS"),
      GRB_Aspect_Mire(TBS_Mire, "GRB_Aspect_Mire", "Aspect"),
      RDB_Carre(GRB_Aspect_Mire, "RDB_Carre", "Carré", true),
      RDB_Cercle(GRB_Aspect_Mire, "RDB_Cercle", "Cercle"),
      GRB_Centre_Mire(TBS_Mire, "GRB_Centre_Mire", "Centre"),
      RDB_Croix(GRB_Centre_Mire, "RDB_Croix", "Croix", true),
      RDB_Point(GRB_Centre_Mire, "RDB_Point", "Point"),
      CKB_DateHeure(TBS_Mire, "CKB_DateHeure", "Date/Heure") {
  // The intensity boxes are kept in the settings but not shown.
  CKB_Intensite_Max.SetVisible(false);
  CKB_Intensite_Min.SetVisible(false);
}

}  // namespace orniva
