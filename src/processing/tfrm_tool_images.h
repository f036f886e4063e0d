#pragma once

#include <array>
#include <functional>
#include <string>

#include "processing/compose.h"
#include "processing/curve.h"
#include "settings/ini_file.h"
#include "ui/controls.h"

namespace orniva {

// What the compositor works on: its cell buffers and counters (kept here),
// the zone image and zone rectangle the pipeline prepares, the render image
// the result page is copied from, the image camera's binning and frame size.
// Without a pipeline the images are the window's own; the program points
// them at the main window's and fills the rest through Sync before each
// compositing step.
struct CompositorImages {
  ComposeState state;
  Image ownZone{1024, 768};
  Image ownRender{1024, 768};
  Image* zoneImage = &ownZone;
  Image* renderImage = &ownRender;
  Rect zoneRect{0, 0, 0, 0};
  int binning = 1;
  int frameWidth = 0, frameHeight = 0;
  int displayZoneSize = 320;  // SCB_Taille_ZAffich position
  std::function<void(CompositorImages&)> Sync;
};

// What the page handlers ask of the rest of the program; every hook may be
// left empty.
struct ToolImagesHooks {
  std::function<void()> ResultRendered;     // copy the render image to the result page
  std::function<void()> ResultBlack;        // paint the result page black
  std::function<void()> ResultToZone;       // copy the result page into the zone image
  std::function<void()> ZonesChanged;       // the pipeline recomputes the zones
  std::function<void()> FullScreenRefresh;  // the full-screen view shows the result again
  std::function<void(int limit, bool enabled)> ZoneSizeControl;       // size limit, control state
  std::function<void(bool centreOnFrame, bool flat)> WholeFrameZone;  // dark/flat zone
  std::function<void(bool enabled)> BinningMenus;
  std::function<void(bool enabled)> TrackingBox;  // "Activé" of tracking (off when disabled)
  std::function<void(bool enabled)> PlayAdd;      // "Ajouter" of the play control
  std::function<void()> OperationsMenu;           // "&Operations" enabled again
  std::function<void()> MemoryStatus;             // refresh the resources window
  std::function<void()> IntegrationEnded;         // a script waiting for the end goes on
  std::function<void(const std::string& kind)> OpenCorrectionFile;  // "Dark" or "Flat" dialog
  std::function<void(double addMs, double darkFlatMs)> Times;       // resources window
};

// The image tool window: pages "Integration", "Seuils", "Dark", "Flat" and
// "Courbes" (the other pages belong to other tools).
class TFRM_Tool_Images : public Window {
 public:
  explicit TFRM_Tool_Images(Application& app);

  PageControl PGC_Images{*this, "PGC_Images"};

  // "Integration"
  TabSheet TBS_Integration{PGC_Images, "TBS_Integration", "Integration"};
  CheckBox CKB_Integration{TBS_Integration, "CKB_Integration", "Active"};
  RadioButton RDB_Unique{TBS_Integration, "RDB_Unique", "Creer image unique", true};
  RadioButton RDB_Boucle{TBS_Integration, "RDB_Boucle", "En boucle infinie"};
  RadioButton RDB_Dark{TBS_Integration, "RDB_Dark", "Creer un Dark"};
  RadioButton RDB_Flat{TBS_Integration, "RDB_Flat", "Creer un Flat"};
  SpinEdit SPED_Nb_Bitmap{TBS_Integration, "SPED_Nb_Bitmap", 1, 0, 999990};
  Button BTN_Demarrer_Add{TBS_Integration, "BTN_Demarrer_Add", "Demarrer"};
  Button BTN_Arreter_Add{TBS_Integration, "BTN_Arreter_Add", "Arreter"};
  Button BTN_Reset_Add{TBS_Integration, "BTN_Reset_Add", "Reset"};
  CheckBox CKB_Visu_Permanente{TBS_Integration, "CKB_Visu_Permanente", "Visualisation permanente",
                               true};
  Label LBL_Decompte{TBS_Integration, "LBL_Decompte", "Decompte :"};
  Edit EDT_Decompte{TBS_Integration, "EDT_Decompte", "0"};

  // "Seuils"
  TabSheet TBS_Seuils{PGC_Images, "TBS_Seuils", "Seuils"};
  ScrollBar SCB_Minimum{TBS_Seuils, "SCB_Minimum", 0, 65535, 0};
  ScrollBar SCB_Maximum{TBS_Seuils, "SCB_Maximum", 0, 65535, 2500};
  Label LBL_Bas{TBS_Seuils, "LBL_Bas", "Bas"};
  NumEdit TNI_Seuil_Min{TBS_Seuils, "TNI_Seuil_Min", 0, 0, 0, 65535};
  Label LBL_Haut{TBS_Seuils, "LBL_Haut", "Haut"};
  NumEdit TNI_Seuil_Max{TBS_Seuils, "TNI_Seuil_Max", 2500, 0, 0, 65535};
  Label LBL_ColMin{TBS_Seuils, "LBL_ColMin", "Min"};
  Label LBL_ColMax{TBS_Seuils, "LBL_ColMax", "Max"};
  NumEdit TNI_Seuil_MinMin{TBS_Seuils, "TNI_Seuil_MinMin", 0, 0, 0, 65535};
  NumEdit TNI_Seuil_MinMax{TBS_Seuils, "TNI_Seuil_MinMax", 65535, 0, 0, 65535};
  NumEdit TNI_Seuil_MaxMin{TBS_Seuils, "TNI_Seuil_MaxMin", 0, 0, 0, 65535};
  NumEdit TNI_Seuil_MaxMax{TBS_Seuils, "TNI_Seuil_MaxMax", 65535, 0, 0, 65535};
  NumEdit TNI_Min{TBS_Seuils, "TNI_Min", 0};
  NumEdit TNI_Max{TBS_Seuils, "TNI_Max", 0};
  Label LBL_NBCaps{TBS_Seuils, "LBL_NBCaps", "Nb. Images :"};
  Edit EDT_NBCaps{TBS_Seuils, "EDT_NBCaps", "0"};
  CheckBox CKB_Seuils_Evol{TBS_Seuils, "CKB_Seuils_Evol", "Seuils Auto"};
  RadioButton RDB_NB{TBS_Seuils, "RDB_NB", "N/B"};
  RadioButton RDB_Couleur{TBS_Seuils, "RDB_Couleur", "Couleur", true};
  CheckBox CKB_Red{TBS_Seuils, "CKB_Red", "", true};
  CheckBox CKB_Green{TBS_Seuils, "CKB_Green", "", true};
  CheckBox CKB_Blue{TBS_Seuils, "CKB_Blue", "", true};
  CheckBox CKB_utiliser_seuils{TBS_Seuils, "CKB_utiliser_seuils", "Forcer"};
  CheckBox CKB_Inverse{TBS_Seuils, "CKB_Inverse", "Inverse"};

  // "Dark"
  TabSheet TBS_Dark{PGC_Images, "TBS_Dark", "Dark"};
  Label LBL_Seuil_dark{TBS_Dark, "LBL_Seuil_dark", "Seuil (%)"};
  ScrollBar SCB_Seuil_dark{TBS_Dark, "SCB_Seuil_dark", 0, 100, 100};
  NumEdit TNI_MaxDark{TBS_Dark, "TNI_MaxDark", 0};
  RadioButton RDB_Dark_Sub{TBS_Dark, "RDB_Dark_Sub", "Soustraction", true};
  RadioButton RDB_Dark_Smart{TBS_Dark, "RDB_Dark_Smart", "Moyenne pixels environnants"};
  Label LBL_RDark{TBS_Dark, "LBL_RDark", "Rayon d'action (pixels)"};
  SpinEdit SPED_RDark{TBS_Dark, "SPED_RDark", 1, 1, 9};
  Label LBL_Fichier_Dark{TBS_Dark, "LBL_Fichier_Dark", "Fichier :"};
  Edit EDT_Fichier_Dark{TBS_Dark, "EDT_Fichier_Dark"};
  SpeedButton SPDB_Ouvrir_Dark{TBS_Dark, "SPDB_Ouvrir_Dark"};

  // "Flat"
  TabSheet TBS_Flat{PGC_Images, "TBS_Flat", "Flat"};
  Label LBL_MaxFlat{TBS_Flat, "LBL_MaxFlat", "Max"};
  NumEdit TNI_MaxFlat{TBS_Flat, "TNI_MaxFlat", 0};
  CheckBox CKB_Active_Flat{TBS_Flat, "CKB_Active_Flat", "Actif"};
  Label LBL_Fichier_Flat{TBS_Flat, "LBL_Fichier_Flat", "Fichier :"};
  Edit EDT_Fichier_Flat{TBS_Flat, "EDT_Fichier_Flat"};
  SpeedButton SPDB_Ouvrir_Flat{TBS_Flat, "SPDB_Ouvrir_Flat"};

  // "Courbes"
  TabSheet TBS_Courbes{PGC_Images, "TBS_Courbes", "Courbes"};
  CheckBox CKB_Equal{TBS_Courbes, "CKB_Equal", "Courbes"};
  Panel PNL_Courbes{TBS_Courbes, "PNL_Courbes"};
  // The nine points side by side, each with its level, slider, box and reset.
  Panel PNL_Points{PNL_Courbes, "PNL_Points"};
  Panel PNL_EQ1{PNL_Points, "PNL_EQ1"};
  Label LBL_EQ1{PNL_EQ1, "LBL_EQ1", "0"};
  TrackBar TRKB_EQ1{PNL_EQ1, "TRKB_EQ1", 0, 510, 255};
  CheckBox CKB_EQ1{PNL_EQ1, "CKB_EQ1", "", true};
  Button BTN_Reset_EQU1{PNL_EQ1, "BTN_Reset_EQU1", "R"};
  Panel PNL_EQ2{PNL_Points, "PNL_EQ2"};
  Label LBL_EQ2{PNL_EQ2, "LBL_EQ2", "31"};
  TrackBar TRKB_EQ2{PNL_EQ2, "TRKB_EQ2", 0, 510, 255};
  CheckBox CKB_EQ2{PNL_EQ2, "CKB_EQ2", "", true};
  Button BTN_Reset_EQU2{PNL_EQ2, "BTN_Reset_EQU2", "R"};
  Panel PNL_EQ3{PNL_Points, "PNL_EQ3"};
  Label LBL_EQ3{PNL_EQ3, "LBL_EQ3", "63"};
  TrackBar TRKB_EQ3{PNL_EQ3, "TRKB_EQ3", 0, 510, 255};
  CheckBox CKB_EQ3{PNL_EQ3, "CKB_EQ3", "", true};
  Button BTN_Reset_EQU3{PNL_EQ3, "BTN_Reset_EQU3", "R"};
  Panel PNL_EQ4{PNL_Points, "PNL_EQ4"};
  Label LBL_EQ4{PNL_EQ4, "LBL_EQ4", "95"};
  TrackBar TRKB_EQ4{PNL_EQ4, "TRKB_EQ4", 0, 510, 255};
  CheckBox CKB_EQ4{PNL_EQ4, "CKB_EQ4", "", true};
  Button BTN_Reset_EQU4{PNL_EQ4, "BTN_Reset_EQU4", "R"};
  Panel PNL_EQ5{PNL_Points, "PNL_EQ5"};
  Label LBL_EQ5{PNL_EQ5, "LBL_EQ5", "127"};
  TrackBar TRKB_EQ5{PNL_EQ5, "TRKB_EQ5", 0, 510, 255};
  CheckBox CKB_EQ5{PNL_EQ5, "CKB_EQ5", "", true};
  Button BTN_Reset_EQU5{PNL_EQ5, "BTN_Reset_EQU5", "R"};
  Panel PNL_EQ6{PNL_Points, "PNL_EQ6"};
  Label LBL_EQ6{PNL_EQ6, "LBL_EQ6", "159"};
  TrackBar TRKB_EQ6{PNL_EQ6, "TRKB_EQ6", 0, 510, 255};
  CheckBox CKB_EQ6{PNL_EQ6, "CKB_EQ6", "", true};
  Button BTN_Reset_EQU6{PNL_EQ6, "BTN_Reset_EQU6", "R"};
  Panel PNL_EQ7{PNL_Points, "PNL_EQ7"};
  Label LBL_EQ7{PNL_EQ7, "LBL_EQ7", "191"};
  TrackBar TRKB_EQ7{PNL_EQ7, "TRKB_EQ7", 0, 510, 255};
  CheckBox CKB_EQ7{PNL_EQ7, "CKB_EQ7", "", true};
  Button BTN_Reset_EQU7{PNL_EQ7, "BTN_Reset_EQU7", "R"};
  Panel PNL_EQ8{PNL_Points, "PNL_EQ8"};
  Label LBL_EQ8{PNL_EQ8, "LBL_EQ8", "223"};
  TrackBar TRKB_EQ8{PNL_EQ8, "TRKB_EQ8", 0, 510, 255};
  CheckBox CKB_EQ8{PNL_EQ8, "CKB_EQ8", "", true};
  Button BTN_Reset_EQU8{PNL_EQ8, "BTN_Reset_EQU8", "R"};
  Panel PNL_EQ9{PNL_Points, "PNL_EQ9"};
  Label LBL_EQ9{PNL_EQ9, "LBL_EQ9", "255"};
  TrackBar TRKB_EQ9{PNL_EQ9, "TRKB_EQ9", 0, 510, 255};
  CheckBox CKB_EQ9{PNL_EQ9, "CKB_EQ9", "", true};
  Button BTN_Reset_EQU9{PNL_EQ9, "BTN_Reset_EQU9", "R"};
  Button BTN_Reset_equal{PNL_Courbes, "BTN_Reset_equal", "Reset"};
  Button BTN_Lire_Courbe{PNL_Courbes, "BTN_Lire_Courbe", "Lire..."};
  Button BTN_Ecrire_Courbe{PNL_Courbes, "BTN_Ecrire_Courbe", "Ecrire..."};

  // "Enregistrement": the size of one saved page and the JPEG quality (the
  // sequence itself comes with the sequencer).
  TabSheet TBS_Enregistrement{PGC_Images, "TBS_Enregistrement", "Enregistrement"};
  Label LBL_Taille_Fichier{TBS_Enregistrement, "LBL_Taille_Fichier", "Taille (Octets)"};
  Edit EDT_Taille_Fichier{TBS_Enregistrement, "EDT_Taille_Fichier"};
  Label LBL_Qualite_Jpeg{TBS_Enregistrement, "LBL_Qualite_Jpeg", "Qualité Jpeg"};
  SpinEdit SPED_Qualite_Jpeg{TBS_Enregistrement, "SPED_Qualite_Jpeg", 80, 1, 100};
  // "Selection d'images": the lamp of the last frame's verdict, green when it
  // passed, red when it was refused.
  TabSheet TBS_Select_Images{PGC_Images, "TBS_Select_Images", "Selection d'images"};
  Panel PNL_Image_Selected{TBS_Select_Images, "PNL_Image_Selected"};
  void ShowSelectionVerdict(bool accepted) {
    PNL_Image_Selected.SetColor(accepted ? Rgb(0, 255, 0) : Rgb(255, 0, 0));
  }

  CompositorImages Images;
  ToolImagesHooks Hooks;
  // Times the passes for the resources window, in milliseconds; empty: a
  // steady clock.
  ComposeClock PassClock = nullptr;
  // Folder the curve dialogs open in (the preferences' filters folder).
  std::string filtersDirectory;

  // State asked by the pipeline and the scripts.
  bool IntegrationRunning() const;
  int TargetBuffer() const;
  int DarkPower() const { return 100 - SCB_Seuil_dark.Position(); }
  bool LevelControlsUsable() const;
  // The image camera's conditions that keep the level controls usable.
  void SetCameraConditions(bool bins2x2, bool longExposure);

  // The pipeline's step for an accepted frame of the image camera whose zone
  // is in the zone image. Returns false when the frame is not for the
  // integer path (the pipeline then copies the zone plainly).
  bool ComposeAcceptedFrame(bool updateResult);
  // ComposeResult with the settings of the pages: shows the counters and
  // extremes, moves automatic levels, stops at the frame limit.
  void Compose(int target, bool addFrame, bool singleFrame, bool render);
  // A dark or flat file's first image is in the zone image: record it.
  void CorrectionFileLoaded(int target, const std::string& fileName);

  // The "Seuils" section of the settings file: level bounds, then levels.
  void ReadSettings(const IniFile& file);
  void WriteSettings(IniFile& file) const;

  // Handlers.
  // A camera started: integration can be switched on. The image camera
  // stopped: a running integration ends, is switched off and waits for a
  // camera.
  void CameraStarted();
  void ImageCameraStopped();

  void CKB_IntegrationClick();
  void RDB_UniqueClick();
  void RDB_BoucleClick();
  void RDB_DarkClick();
  void RDB_FlatClick();
  void BTN_Demarrer_AddClick();
  void BTN_Arreter_AddClick();
  void BTN_Reset_AddClick();
  void SCB_MinimumChange();
  void SCB_MaximumChange();
  void TNI_Seuil_MinExit();
  void TNI_Seuil_MaxExit();
  void BoundsChange();
  void CKB_Seuils_EvolClick();
  void CKB_utiliser_seuilsClick();
  void DarkChange();
  void CKB_Active_FlatClick();
  void CurveChange();
  void CKB_EqualClick();
  void BTN_Reset_equalClick();
  void BTN_Lire_CourbeClick();
  void BTN_Ecrire_CourbeClick();

  const CurveTable& Curve() const { return curve_; }
  double KLow() const { return kLow_; }
  double KHigh() const { return kHigh_; }
  double LastAddMs() const { return lastAddMs_; }
  double LastDarkFlatMs() const { return lastDarkFlatMs_; }

 private:
  ComposeSettings Settings() const;
  void Rerender();
  void ShowCounters(int target);
  void EnableLevelControls();
  void SetModeControlsEnabled(bool enabled);
  CurvePoints CurveFromControls() const;
  void CurveToControls(const CurvePoints& points);
  void FreeRing();

  std::array<TrackBar*, 9> eqSliders_;
  std::array<CheckBox*, 9> eqBoxes_;
  CurveTable curve_{};
  double kLow_ = 1.0, kHigh_ = 1.0;
  int previousDarkPower_ = 0;
  bool cameraBins2x2_ = false, cameraLongExposure_ = false;
  int updating_ = 0;  // > 0 while the handlers themselves move controls
  double lastAddMs_ = 0, lastDarkFlatMs_ = 0;
};

}  // namespace orniva
