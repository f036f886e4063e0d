#pragma once

#include <functional>

#include "telescope/mount_kernels.h"
#include "telescope/pref_pages.h"
#include "ui/controls.h"

namespace orniva {

// The preferences window: the optics, camera, focus-aid and marker pages,
// and the mount pages: "Controle du
// Telescope" (interface, serial links, test buttons), "Autoguidage/GOTO"
// (pulses, backlash, inertia, inversions, pins, end-of-GOTO actions) and
// the motor speeds. The mount layer reads its settings here.
class TFRM_Pref : public Window {
 public:
  explicit TFRM_Pref(Application& app);

  PageControl PGC_Pref{*this, "PGC_Pref"};
  TabSheet TBS_Telescope{PGC_Pref, "TBS_Telescope", "Controle du Telescope"};
  TabSheet TBS_Guidage{PGC_Pref, "TBS_Guidage", "Autoguidage/GOTO"};
  TabSheet TBS_Vitesses{PGC_Pref, "TBS_Vitesses", "Vitesse des moteurs (Sec.Arc/seconde)"};

  // Interface of the mount.
  GroupBox GRB_Interface{TBS_Telescope, "GRB_Interface", "Interface"};
  RadioButton RDB_Aucun{GRB_Interface, "RDB_Aucun", "Aucune", true};
  RadioButton RDB_LX200{GRB_Interface, "RDB_LX200", "LX200"};
  RadioButton RDB_ASCOM{GRB_Interface, "RDB_ASCOM", "ASCOM"};
  RadioButton RDB_Ruvena{GRB_Interface, "RDB_Ruvena", "Ruvena"};
  RadioButton RDB_Marvane{GRB_Interface, "RDB_Marvane", "Marvane(//)"};
  RadioButton RDB_Telkor{GRB_Interface, "RDB_Telkor", "Telkor"};
  // The INDI device, optionally followed by "@host:port" of its server
  // (localhost:7624 when not given).
  Edit EDT_ASCOM_Telescope{TBS_Telescope, "EDT_ASCOM_Telescope", "Telescope Simulator"};
  Panel PNL_ASCOM_Etat{TBS_Telescope, "PNL_ASCOM_Etat"};

  ComboBox CBX_AG_PortSerie{TBS_Telescope, "CBX_AG_PortSerie", SerialPortItems(), 0};
  ComboBox CBX_AG_Vitesse{TBS_Telescope, "CBX_AG_Vitesse", BaudItems(), 6};
  ComboBox CBX_AG_Parite{
      TBS_Telescope, "CBX_AG_Parite", {"Paire", "Impaire", "Marque", "Aucune"}, 3};
  ComboBox CBX_AG_Databits{TBS_Telescope, "CBX_AG_Databits", {"7", "8"}, 1};
  ComboBox CBX_AG_StopBits{TBS_Telescope, "CBX_AG_StopBits", {"1", "1.5", "2"}, 0};
  ComboBox CBX_AG_PortParallele{TBS_Telescope, "CBX_AG_PortParallele", ParallelPortItems(), 0};
  CheckBox CKB_CR{TBS_Telescope, "CKB_CR", "CR"};
  CheckBox CKB_LF{TBS_Telescope, "CKB_LF", "LF"};
  CheckBox CKB_Historique_Comm{TBS_Telescope, "CKB_Historique_Comm", "Historique de communication"};
  // Where COM1 … COM20 lead on this system, one "COMn=/dev/…" per line.
  Memo MEMO_Ports_Serie{TBS_Telescope, "MEMO_Ports_Serie"};

  // Focuser.
  GroupBox GRB_Focus{TBS_Telescope, "GRB_Focus", "Focuser"};
  RadioButton RDB_Focus_Aucun{GRB_Focus, "RDB_Focus_Aucun", "Aucune", true};
  RadioButton RDB_Focus_LX200{GRB_Focus, "RDB_Focus_LX200", "LX200"};
  RadioButton RDB_Focus_Marvane{GRB_Focus, "RDB_Focus_Marvane", "Marvane(//)"};
  RadioButton RDB_Focus_Telkor{GRB_Focus, "RDB_Focus_Telkor", "Telkor"};
  ComboBox CBX_AG_Focus_PortSerie{GRB_Focus, "CBX_AG_Focus_PortSerie", SerialPortItems(), 0};
  ComboBox CBX_AG_Focus_Vitesse{GRB_Focus, "CBX_AG_Focus_Vitesse", BaudItems(), 6};
  ComboBox CBX_AG_Focus_Parite{
      GRB_Focus, "CBX_AG_Focus_Parite", {"Paire", "Impaire", "Marque", "Aucune"}, 3};
  ComboBox CBX_AG_Focus_Databits{GRB_Focus, "CBX_AG_Focus_Databits", {"7", "8"}, 1};
  ComboBox CBX_AG_Focus_StopBits{GRB_Focus, "CBX_AG_Focus_StopBits", {"1", "1.5", "2"}, 0};
  ComboBox CBX_AG_Focus_PortParallele{GRB_Focus, "CBX_AG_Focus_PortParallele", ParallelPortItems(),
                                      0};
  Button BTN_Focus_In{GRB_Focus, "BTN_Focus_In", "In"};
  Button BTN_Focus_Out{GRB_Focus, "BTN_Focus_Out", "Out"};

  Button BTN_Connecter{TBS_Telescope, "BTN_Connecter", "Connecter"};
  Button BTN_Deconnecter{TBS_Telescope, "BTN_Deconnecter", "Deconnecter"};
  Button BTN_N{TBS_Telescope, "BTN_N", "N"};
  Button BTN_S{TBS_Telescope, "BTN_S", "S"};
  Button BTN_E{TBS_Telescope, "BTN_E", "E"};
  Button BTN_O{TBS_Telescope, "BTN_O", "O"};
  Button BTN_Stop{TBS_Telescope, "BTN_Stop", "Stop"};
  Edit EDT_TestValue{TBS_Telescope, "EDT_TestValue", "00000000"};

  // Pulses, backlash, inertia.
  SpinEdit SPED_Duree_impulsions{TBS_Guidage, "SPED_Duree_impulsions", 195, 15, 945};
  SpinEdit SPED_Impulsions_Maxi{TBS_Guidage, "SPED_Impulsions_Maxi", 945, 15, 99000};
  // Dead band of tracking and guiding, in pixels.
  SpinEdit SPED_Neutre{TBS_Guidage, "SPED_Neutre", 2, 0, 200};
  NumEdit TNI_Jeu_AD{TBS_Guidage, "TNI_Jeu_AD", 0};
  NumEdit TNI_Jeu_Dec{TBS_Guidage, "TNI_Jeu_Dec", 0};
  GroupBox GRB_Inertie_AD{TBS_Guidage, "GRB_Inertie_AD", "Tps. Inertie"};
  RadioButton RDB_Temps_Inertie_AD{GRB_Inertie_AD, "RDB_Temps_Inertie_AD", "ms", true};
  RadioButton RDB_Pourcent_Inertie_AD{GRB_Inertie_AD, "RDB_Pourcent_Inertie_AD", "%"};
  NumEdit TNI_Tps_Inertie_AD{GRB_Inertie_AD, "TNI_Tps_Inertie_AD", 100};
  SpinEdit SPED_Pourcent_Inertie_AD{GRB_Inertie_AD, "SPED_Pourcent_Inertie_AD", 0, 0, 100};
  GroupBox GRB_Inertie_Dec{TBS_Guidage, "GRB_Inertie_Dec", "Tps. Inertie"};
  RadioButton RDB_Temps_Inertie_Dec{GRB_Inertie_Dec, "RDB_Temps_Inertie_Dec", "ms", true};
  RadioButton RDB_Pourcent_Inertie_Dec{GRB_Inertie_Dec, "RDB_Pourcent_Inertie_Dec", "%"};
  NumEdit TNI_Tps_Inertie_Dec{GRB_Inertie_Dec, "TNI_Tps_Inertie_Dec", 100};
  SpinEdit SPED_Pourcent_Inertie_Dec{GRB_Inertie_Dec, "SPED_Pourcent_Inertie_Dec", 0, 0, 100};
  CheckBox CKB_Axes_Separes{TBS_Guidage, "CKB_Axes_Separes", "2 axes separes"};

  // Inversions.
  GroupBox GRB_Moteurs_GOTO{TBS_Guidage, "GRB_Moteurs_GOTO", "Moteurs (GOTO)"};
  CheckBox CKB_GOTO_InverseAD{GRB_Moteurs_GOTO, "CKB_GOTO_InverseAD", "Inverser en A/D"};
  CheckBox CKB_GOTO_InverseDEC{GRB_Moteurs_GOTO, "CKB_GOTO_InverseDEC", "Inverser en Dec."};
  GroupBox GRB_Moteurs_Guide{TBS_Guidage, "GRB_Moteurs_Guide", "Moteurs (Guide/Raquette)"};
  CheckBox CKB_GUIDE_InverseAD{GRB_Moteurs_Guide, "CKB_GUIDE_InverseAD", "Inverser en A/D"};
  CheckBox CKB_GUIDE_InverseDEC{GRB_Moteurs_Guide, "CKB_GUIDE_InverseDEC", "Inverser en Dec."};
  GroupBox GRB_Carte{TBS_Guidage, "GRB_Carte", "Carte"};
  CheckBox CKB_InverseAD_Carte{GRB_Carte, "CKB_InverseAD_Carte", "Inverser en A/D"};
  CheckBox CKB_InverseDEC_Carte{GRB_Carte, "CKB_InverseDEC_Carte", "Inverser en Dec."};

  // Relay pins and active levels.
  NumEdit TNI_Bit_Est{TBS_Guidage, "TNI_Bit_Est", 6, 0, 2, 9};
  NumEdit TNI_Bit_Ouest{TBS_Guidage, "TNI_Bit_Ouest", 7, 0, 2, 9};
  NumEdit TNI_Bit_Nord{TBS_Guidage, "TNI_Bit_Nord", 8, 0, 2, 9};
  NumEdit TNI_Bit_Sud{TBS_Guidage, "TNI_Bit_Sud", 9, 0, 2, 9};
  NumEdit TNI_Est_ActiveValue{TBS_Guidage, "TNI_Est_ActiveValue", 1, 0, 0, 1};
  NumEdit TNI_Ouest_ActiveValue{TBS_Guidage, "TNI_Ouest_ActiveValue", 1, 0, 0, 1};
  NumEdit TNI_Nord_ActiveValue{TBS_Guidage, "TNI_Nord_ActiveValue", 1, 0, 0, 1};
  NumEdit TNI_Sud_ActiveValue{TBS_Guidage, "TNI_Sud_ActiveValue", 1, 0, 0, 1};
  NumEdit TNI_Focus_In_Activevalue{TBS_Guidage, "TNI_Focus_In_Activevalue", 1, 0, 0, 1};
  NumEdit TNI_Focus_Out_Activevalue{TBS_Guidage, "TNI_Focus_Out_Activevalue", 1, 0, 0, 1};

  // End of a GOTO.
  CheckBox CKB_Fin_GOTO_Afficher_Message{TBS_Guidage, "CKB_Fin_GOTO_Afficher_Message",
                                         "Afficher message"};
  CheckBox CKB_Fin_Goto_Jouer_un_son{TBS_Guidage, "CKB_Fin_Goto_Jouer_un_son",
                                     "Jouer un fichier son"};
  Edit EDT_Fin_GOTO_Son_a_jouer{TBS_Guidage, "EDT_Fin_GOTO_Son_a_jouer"};
  CheckBox CKB_Fin_GOTO_ExecuteScript{TBS_Guidage, "CKB_Fin_GOTO_ExecuteScript",
                                      "Executer un script"};
  Edit EDT_Fin_GOTO_Script{TBS_Guidage, "EDT_Fin_GOTO_Script"};

  // Motor speeds, kept in named speed sets: the current one's name (each set
  // is a section "Vitesse_Moteur." + name of the settings file).
  ComboBox CBX_Vitesse_Moteur{TBS_Vitesses, "CBX_Vitesse_Moteur", {"Defaut"}, 0, true};
  NumEdit TNI_Vitesse_Est{TBS_Vitesses, "TNI_Vitesse_Est", 15, 3};
  NumEdit TNI_Vitesse_Ouest{TBS_Vitesses, "TNI_Vitesse_Ouest", 15, 3};
  NumEdit TNI_Vitesse_Nord{TBS_Vitesses, "TNI_Vitesse_Nord", 15, 3};
  NumEdit TNI_Vitesse_Sud{TBS_Vitesses, "TNI_Vitesse_Sud", 15, 3};
  CheckBox CKB_Correct_Sid{TBS_Vitesses, "CKB_Correct_Sid",
                           "Correct. Vit Siderale (E=-15secarc/s,O=+15secarc/s)"};

  // The folders, optics, camera, focus-aid and marker pages.
  PrefDirectoriesPage Repertoires{PGC_Pref};
  PrefLanguagePage Langue{PGC_Pref};
  PrefOpticsPage Optique{PGC_Pref};
  PrefCameraPage Camera{PGC_Pref};
  PrefFocusPage MiseAuPoint{PGC_Pref};
  PrefMirePage Mire{PGC_Pref};

  // The effective speed of a direction, arcsec/s (recomputed by
  // ComputeSpeeds when a speed field is left or the check box clicked).
  double EffectiveSpeed(int direction) const { return speeds_[direction & 3]; }
  void ComputeSpeeds();
  // The settings of the axis of a direction.
  MotionSettings AxisSettings(int direction) const;
  // The pin (2..9) and active value (0/1) of a direction.
  int Pin(int direction) const;
  int ActiveValue(int direction) const;

  // Mouse down and up on the test buttons, "In" and "Out" (the view calls
  // them; the mount layer installs the handlers).
  std::function<void(int direction, bool down)> OnTestButton;
  std::function<void(int focusDir, bool down)> OnFocusButton;
  void TestButtonMouse(int direction, bool down) {
    if (OnTestButton) OnTestButton(direction, down);
  }
  void FocusButtonMouse(int focusDir, bool down) {
    if (OnFocusButton) OnFocusButton(focusDir, down);
  }

 private:
  double speeds_[4] = {15, 15, 15, 15};  // indexed by direction & 3
};

}  // namespace orniva
