#pragma once

#include <functional>

#include "ui/controls.h"

namespace orniva {

// The "Repertoires" page: where images, icons, scripts, sounds and curve
// files are kept (each ends with a path separator).
struct PrefDirectoriesPage {
  explicit PrefDirectoriesPage(PageControl& pages);
  TabSheet TBS_Repertoires;
  Label LBL_BitmapDir;
  Edit EDT_Repertoire_Bitmaps;
  Label LBL_IconDir;
  Edit EDT_Repertoire_Icones;
  Label LBL_ScriptDir;
  Edit EDT_Repertoire_Scripts;
  Label LBL_SoundDir;
  Edit EDT_Repertoire_Sons;
  Label LBL_FilterDir;
  Edit EDT_Repertoire_Filtres;
};

// The "Langue" page: the language files found beside the program.
struct PrefLanguagePage {
  explicit PrefLanguagePage(PageControl& pages);
  TabSheet TBS_Langue;
  ComboBox CBX_Langue;
};

// The "Optique" page of the preferences: the telescope's focal length with
// its Barlow and reducer, each factor field usable only while its box is
// ticked, and the resulting total focal length (read only).
struct PrefOpticsPage {
  explicit PrefOpticsPage(PageControl& pages);
  // A factor was changed or ticked: what depends on the focal length is
  // recomputed.
  std::function<void()> OpticsChanged;
  TabSheet TBS_Optique;
  // The optics profiles: the sections "Optique." + name of the settings.
  ComboBox CBX_Optique;
  Button BTN_Nouveau_Optique;
  Button BTN_Sup_Optique;
  Button BTN_Enregistrer_Optique;
  Label LBL_Focale;
  NumEdit TNI_Focale;
  CheckBox CKB_Barlow;
  NumEdit TNI_Barlow;
  CheckBox CKB_Reducteur;
  NumEdit TNI_Reducteur;
  Label LBL_Focale_Reelle;
  NumEdit TNI_Focale_Reelle;
};

// The "Camera" page: the pixel size and the frame size at which it holds,
// the long-exposure modification of the camera, and the raw colour mode with
// its Bayer pattern (1..4).
struct PrefCameraPage {
  explicit PrefCameraPage(PageControl& pages);
  // The pixel size or its reference resolution changed.
  std::function<void()> CameraChanged;
  // "Calculer automatiquement": the guided pixel-size determination.
  std::function<void()> ComputePixelSize;
  // The chosen Bayer pattern, 1..4 (0 when none is checked).
  int RawPattern() const;

  TabSheet TBS_Camera;
  // The camera profiles: the sections "Camera." + name of the settings.
  ComboBox CBX_Camera;
  Button BTN_Nouveau_Camera;
  Button BTN_Sup_Camera;
  Button BTN_Enregistrer_Camera;
  Label LBL_TaillePixel;
  NumEdit TNI_Larg_Pix;
  NumEdit TNI_Haut_Pix;
  Label LBL_Determine_resolution;
  NumEdit TNI_NbPix_X;
  NumEdit TNI_NbPix_Y;
  Button BTN_Calculer_TaillePix;
  CheckBox CKB_VestaMod;
  CheckBox CKB_Raw;
  GroupBox GRB_RawMode;
  RadioButton RDB_RAWMode_1;
  RadioButton RDB_RAWMode_2;
  RadioButton RDB_RAWMode_3;
  RadioButton RDB_RAWMode_4;
};

// The "Mise au point" page: the depth of the FWHM average, and "Debug
// actif", which writes capture formats and tracking details to Debug.log.
struct PrefFocusPage {
  explicit PrefFocusPage(PageControl& pages);
  TabSheet TBS_MAP;
  Label LBL_Nb_Mesures;
  SpinEdit SPED_Nb_Mesures;
  Label LBL_Mesures;
  CheckBox CKB_Debug;
};

// The "Mire" page: what is written beside the detection zone, the marker
// drawn at its centre (square or circle, cross or point) and the time text
// on the pages.
struct PrefMirePage {
  explicit PrefMirePage(PageControl& pages);
  TabSheet TBS_Mire;
  Label LBL_Informations_Mire;
  CheckBox CKB_Intensite_Max;
  CheckBox CKB_Intensite_Min;
  CheckBox CKB_FWHM;
  CheckBox CKB_IPS;
  GroupBox GRB_Aspect_Mire;
  RadioButton RDB_Carre;
  RadioButton RDB_Cercle;
  GroupBox GRB_Centre_Mire;
  RadioButton RDB_Croix;
  RadioButton RDB_Point;
  CheckBox CKB_DateHeure;
};

}  // namespace orniva
