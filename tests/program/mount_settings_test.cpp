// The mount's preferences in the program's settings file "Orniva.ini".
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "start_directory.h"
#include "telescope/tfrm_pref.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;

using MountSettings = StartDirectoryFixture;

// Everything the settings file keeps of the mount, as "name=value" lines.
std::vector<std::string> Snapshot(const TFRM_Pref& p) {
  std::vector<std::string> out;
  auto add = [&out](const Control& c, const std::string& value) {
    out.push_back(c.Name() + "=" + value);
  };
  for (const ComboBox* c :
       {&p.CBX_AG_PortSerie, &p.CBX_AG_PortParallele, &p.CBX_AG_Vitesse, &p.CBX_AG_Parite,
        &p.CBX_AG_Databits, &p.CBX_AG_StopBits, &p.CBX_AG_Focus_PortSerie,
        &p.CBX_AG_Focus_PortParallele, &p.CBX_AG_Focus_Vitesse, &p.CBX_AG_Focus_Parite,
        &p.CBX_AG_Focus_Databits, &p.CBX_AG_Focus_StopBits, &p.CBX_Vitesse_Moteur})
    add(*c, c->Text());
  for (const NumEdit* n :
       {&p.TNI_Bit_Est, &p.TNI_Bit_Ouest, &p.TNI_Bit_Nord, &p.TNI_Bit_Sud, &p.TNI_Est_ActiveValue,
        &p.TNI_Ouest_ActiveValue, &p.TNI_Nord_ActiveValue, &p.TNI_Sud_ActiveValue,
        &p.TNI_Tps_Inertie_AD, &p.TNI_Tps_Inertie_Dec, &p.TNI_Jeu_AD, &p.TNI_Jeu_Dec,
        &p.TNI_Vitesse_Est, &p.TNI_Vitesse_Ouest, &p.TNI_Vitesse_Nord, &p.TNI_Vitesse_Sud})
    add(*n, std::to_string(n->Value()));
  for (const SpinEdit* s :
       {&p.SPED_Duree_impulsions, &p.SPED_Pourcent_Inertie_AD, &p.SPED_Pourcent_Inertie_Dec})
    add(*s, std::to_string(s->Value()));
  for (const CheckBox* c :
       {&p.CKB_GOTO_InverseAD, &p.CKB_GOTO_InverseDEC, &p.CKB_GUIDE_InverseAD,
        &p.CKB_GUIDE_InverseDEC, &p.CKB_InverseAD_Carte, &p.CKB_InverseDEC_Carte,
        &p.CKB_Fin_GOTO_Afficher_Message, &p.CKB_Fin_Goto_Jouer_un_son,
        &p.CKB_Fin_GOTO_ExecuteScript, &p.CKB_Correct_Sid})
    add(*c, c->Checked() ? "1" : "0");
  for (const RadioButton* r :
       {&p.RDB_Aucun, &p.RDB_LX200, &p.RDB_ASCOM, &p.RDB_Ruvena, &p.RDB_Marvane, &p.RDB_Telkor,
        &p.RDB_Focus_Aucun, &p.RDB_Focus_LX200, &p.RDB_Focus_Marvane, &p.RDB_Focus_Telkor,
        &p.RDB_Temps_Inertie_AD, &p.RDB_Pourcent_Inertie_AD, &p.RDB_Temps_Inertie_Dec,
        &p.RDB_Pourcent_Inertie_Dec})
    add(*r, r->Checked() ? "1" : "0");
  for (const Edit* e :
       {&p.EDT_ASCOM_Telescope, &p.EDT_Fin_GOTO_Son_a_jouer, &p.EDT_Fin_GOTO_Script})
    add(*e, e->Text());
  return out;
}

TEST_F(MountSettings, KeysOfTheFileSetTheMountPreferences) {
  std::ofstream(dir / "Orniva.ini")
      << "[Prefs]\nVitesse_Moteur_Courante=Rapide\n"
         "[Autoguide]\nAG_PortSerie=2\nAG_PortParallele=1\nAG_Vitesse=8\nAG_Parite=0\n"
         "AG_Databits=0\nAG_StopBits=2\nTNI_Bit_Est=2\nTNI_Est_Activevalue=0\nTNI_Bit_Ouest=3\n"
         "TNI_Bit_Nord=4\nTNI_Bit_Sud=5\nTNI_Sud_Activevalue=0\nASCOM_Telescope=EQMod Mount\n"
         "Aucun=0\nGuide_Telkor=1\nAG_Duree_impulsions=300\nGOTO_InverseAD=1\n"
         "GUIDE_InverseDEC=1\nInverseDEC_Carte=1\n"
         "[Focus]\nAG_Focus_PortSerie=1\nAG_Focus_Vitesse=4\nAucun=0\nFocus_Marvane=1\n"
         "[GOTOManagement]\nCKB_Fin_GOTO_Afficher_Message.Checked=1\n"
         "EDT_Fin_GOTO_Son_a_jouer=gong.wav\nCKB_Fin_GOTO_ExecuteScript.Checked=1\n"
         "EDT_Fin_GOTO_Script=arrivee.txt\n"
         "[Vitesse_Moteur.Lent]\nAG_Vitesse_Est=1000\n"
         "[Vitesse_Moteur.Rapide]\nAG_Tps_Inertie_AD=40\nAG_Prc_Inertie_Dec=35\nAG_Jeu_AD=70\n"
         "AG_Jeu_Dec=0\nAG_Vitesse_Est=16500\nAG_Vitesse_Ouest=14250\nAG_Vitesse_Nord=7500\n"
         "CKB_Correct_SID=0\nAG_Choix_Tps_Inertie_Dec=0\nAG_Choix_Prc_Inertie_Dec=1\n";
  auto program = Start();
  const TFRM_Pref& p = program->Get<TFRM_Pref>();
  EXPECT_EQ(p.CBX_AG_PortSerie.Text(), "       COM3");
  EXPECT_EQ(p.CBX_AG_PortParallele.Text(), "$278 (LPT2)");
  EXPECT_EQ(p.CBX_AG_Vitesse.Text(), "19200");
  EXPECT_EQ(p.CBX_AG_Parite.Text(), "Paire");
  EXPECT_EQ(p.CBX_AG_Databits.Text(), "7");
  EXPECT_EQ(p.CBX_AG_StopBits.Text(), "2");
  EXPECT_EQ(p.Pin(kEast), 2);
  EXPECT_EQ(p.ActiveValue(kEast), 0);
  EXPECT_EQ(p.Pin(kWest), 3);
  EXPECT_EQ(p.ActiveValue(kWest), 1);
  EXPECT_EQ(p.Pin(kSouth), 5);
  EXPECT_EQ(p.ActiveValue(kSouth), 0);
  EXPECT_EQ(p.EDT_ASCOM_Telescope.Text(), "EQMod Mount");
  EXPECT_TRUE(p.RDB_Telkor.Checked());
  EXPECT_EQ(p.SPED_Duree_impulsions.Value(), 300);
  EXPECT_TRUE(p.CKB_GOTO_InverseAD.Checked());
  EXPECT_FALSE(p.CKB_GOTO_InverseDEC.Checked());
  EXPECT_TRUE(p.CKB_GUIDE_InverseDEC.Checked());
  EXPECT_TRUE(p.CKB_InverseDEC_Carte.Checked());
  EXPECT_EQ(p.CBX_AG_Focus_PortSerie.Text(), "$02F8 (COM2)");
  EXPECT_EQ(p.CBX_AG_Focus_Vitesse.Text(), "2400");
  EXPECT_TRUE(p.RDB_Focus_Marvane.Checked());
  EXPECT_TRUE(p.CKB_Fin_GOTO_Afficher_Message.Checked());
  EXPECT_FALSE(p.CKB_Fin_Goto_Jouer_un_son.Checked());
  EXPECT_EQ(p.EDT_Fin_GOTO_Son_a_jouer.Text(), "gong.wav");
  EXPECT_TRUE(p.CKB_Fin_GOTO_ExecuteScript.Checked());
  EXPECT_EQ(p.EDT_Fin_GOTO_Script.Text(), "arrivee.txt");
  // The current speed set, among the sets of the file.
  EXPECT_EQ(p.CBX_Vitesse_Moteur.Items(), (std::vector<std::string>{"Lent", "Rapide"}));
  EXPECT_EQ(p.CBX_Vitesse_Moteur.Text(), "Rapide");
  EXPECT_EQ(p.TNI_Tps_Inertie_AD.Value(), 40);
  EXPECT_EQ(p.TNI_Tps_Inertie_Dec.Value(), 100);
  EXPECT_EQ(p.SPED_Pourcent_Inertie_Dec.Value(), 35);
  EXPECT_EQ(p.SPED_Pourcent_Inertie_AD.Value(), 20);
  EXPECT_EQ(p.TNI_Jeu_AD.Value(), 70);
  EXPECT_EQ(p.TNI_Jeu_Dec.Value(), 0);
  EXPECT_TRUE(p.RDB_Pourcent_Inertie_Dec.Checked());
  EXPECT_TRUE(p.RDB_Temps_Inertie_AD.Checked());
  // Speeds are kept ×1000; without the sidereal correction they are the
  // effective speeds.
  EXPECT_FALSE(p.CKB_Correct_Sid.Checked());
  EXPECT_DOUBLE_EQ(p.EffectiveSpeed(kEast), 16.5);
  EXPECT_DOUBLE_EQ(p.EffectiveSpeed(kWest), 14.25);
  EXPECT_DOUBLE_EQ(p.EffectiveSpeed(kNorth), 7.5);
  EXPECT_DOUBLE_EQ(p.EffectiveSpeed(kSouth), 5);
  // The interface read enables what it needs.
  EXPECT_TRUE(p.BTN_Connecter.Enabled());
  EXPECT_TRUE(program->Main().MNU_Telescope.Enabled());
  program->Shutdown();
}

TEST_F(MountSettings, WithoutKeysTheSpeedSetHasTheFilesDefaults) {
  auto program = Start();
  const TFRM_Pref& p = program->Get<TFRM_Pref>();
  EXPECT_EQ(p.CBX_Vitesse_Moteur.Text(), "Defaut");
  EXPECT_EQ(p.TNI_Jeu_AD.Value(), 20);
  EXPECT_EQ(p.SPED_Pourcent_Inertie_AD.Value(), 20);
  EXPECT_EQ(p.TNI_Vitesse_Nord.Value(), 5);
  EXPECT_TRUE(p.CKB_Correct_Sid.Checked());
  EXPECT_DOUBLE_EQ(p.EffectiveSpeed(kEast), 5 + kSiderealRate);
  EXPECT_EQ(p.SPED_Duree_impulsions.Value(), 200);
  EXPECT_TRUE(p.RDB_Aucun.Checked());
  EXPECT_TRUE(p.RDB_Focus_Aucun.Checked());
  program->Shutdown();
}

TEST_F(MountSettings, WhatIsChangedIsWrittenAtTheCloseAndReadAtTheNextStart) {
  auto program = Start();
  TFRM_Pref& p = program->Get<TFRM_Pref>();
  p.CBX_AG_PortSerie.SetItemIndex(4);
  p.CBX_AG_Focus_StopBits.SetItemIndex(1);
  p.TNI_Bit_Nord.SetValue(3);
  p.TNI_Nord_ActiveValue.SetValue(0);
  p.EDT_ASCOM_Telescope.SetText("LX200 Basic@observatoire:7624");
  p.RDB_Ruvena.Click();
  p.RDB_Focus_LX200.Click();
  p.SPED_Duree_impulsions.SetValue(450);
  p.CKB_GUIDE_InverseAD.SetChecked(true);
  p.CKB_InverseAD_Carte.SetChecked(true);
  p.CKB_Fin_Goto_Jouer_un_son.SetChecked(true);
  p.EDT_Fin_GOTO_Son_a_jouer.SetText("arrive.wav");
  p.CBX_Vitesse_Moteur.SetText("Guidage");
  p.TNI_Vitesse_Ouest.SetValue(7.521);
  p.TNI_Tps_Inertie_Dec.SetValue(60);
  p.SPED_Pourcent_Inertie_AD.SetValue(45);
  p.RDB_Pourcent_Inertie_AD.Click();
  p.CKB_Correct_Sid.SetChecked(false);
  const std::vector<std::string> before = Snapshot(p);
  program->Shutdown();
  const std::string ini = Ini();
  for (const char* line :
       {"[Prefs]", "Vitesse_Moteur_Courante=Guidage", "[Autoguide]", "AG_PortSerie=4",
        "TNI_Nord_Activevalue=0", "Guide_Ruvena=1", "Aucun=0", "Guide_TemmaPC=0", "[Focus]",
        "AG_Focus_StopBits=1", "Focus_LX200=1", "[GOTOManagement]",
        "CKB_Fin_GOTO_Jouer_un_Son.Checked=1", "[Vitesse_Moteur.Guidage]", "AG_Vitesse_Ouest=7521",
        "AG_Choix_Prc_Inertie_AD=1", "CKB_Correct_SID=0"})
    EXPECT_NE(ini.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << ini;

  program.reset();
  program = Start();
  EXPECT_EQ(Snapshot(program->Get<TFRM_Pref>()), before);
  program->Shutdown();
}

}  // namespace
}  // namespace orniva
