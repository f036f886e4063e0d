#include "program/mount_settings.h"

#include <span>
#include <string>

namespace orniva {
namespace {

using P = TFRM_Pref;

constexpr const char* kPrefs = "Prefs";
constexpr const char* kAutoguide = "Autoguide";
constexpr const char* kFocus = "Focus";
constexpr const char* kGoto = "GOTOManagement";
constexpr const char* kSpeedPrefix = "Vitesse_Moteur.";
constexpr const char* kCurrentSpeedSet = "Vitesse_Moteur_Courante";

// The serial line and parallel port of the mount ("AG_" + key) and of the
// focuser ("AG_Focus_" + key), kept as the indices of their lists.
struct LineKey {
  const char* key;
  int defaultIndex;
  ComboBox P::*mount;
  ComboBox P::*focus;
};
constexpr LineKey kLines[] = {
    {"PortSerie", 0, &P::CBX_AG_PortSerie, &P::CBX_AG_Focus_PortSerie},
    {"PortParallele", 0, &P::CBX_AG_PortParallele, &P::CBX_AG_Focus_PortParallele},
    {"Vitesse", 6, &P::CBX_AG_Vitesse, &P::CBX_AG_Focus_Vitesse},
    {"Parite", 3, &P::CBX_AG_Parite, &P::CBX_AG_Focus_Parite},
    {"Databits", 1, &P::CBX_AG_Databits, &P::CBX_AG_Focus_Databits},
    {"StopBits", 0, &P::CBX_AG_StopBits, &P::CBX_AG_Focus_StopBits},
};

// A radio group keeps one boolean per button; the last one read as checked
// wins. The first button ("Aucun") is the one checked when the file says
// nothing.
struct RadioKey {
  const char* key;
  RadioButton P::*button;
};
constexpr RadioKey kInterfaces[] = {
    {"Aucun", &P::RDB_Aucun},         {"Guide_ASCOM", &P::RDB_ASCOM},
    {"Guide_LX200", &P::RDB_LX200},   {"Guide_Ruvena", &P::RDB_Ruvena},
    {"Guide_Telkor", &P::RDB_Telkor}, {"Guide_Marvane", &P::RDB_Marvane},
};
constexpr RadioKey kFocusers[] = {
    {"Aucun", &P::RDB_Focus_Aucun},
    {"Focus_LX200", &P::RDB_Focus_LX200},
    {"Focus_Telkor", &P::RDB_Focus_Telkor},
    {"Focus_Marvane", &P::RDB_Focus_Marvane},
};
constexpr RadioKey kInertiaDec[] = {
    {"AG_Choix_Tps_Inertie_Dec", &P::RDB_Temps_Inertie_Dec},
    {"AG_Choix_Prc_Inertie_Dec", &P::RDB_Pourcent_Inertie_Dec},
};
constexpr RadioKey kInertiaRa[] = {
    {"AG_Choix_Tps_Inertie_AD", &P::RDB_Temps_Inertie_AD},
    {"AG_Choix_Prc_Inertie_AD", &P::RDB_Pourcent_Inertie_AD},
};

// Numbers: the key, the default as stored, the scale (1: a plain integer).
struct NumberKey {
  const char* key;
  int defaultStored;
  int scale;
  NumEdit P::*edit;
};
// The relay pins and their active levels.
constexpr NumberKey kPins[] = {
    {"TNI_Bit_Est", 6, 1, &P::TNI_Bit_Est},
    {"TNI_Est_Activevalue", 1, 1, &P::TNI_Est_ActiveValue},
    {"TNI_Bit_Ouest", 7, 1, &P::TNI_Bit_Ouest},
    {"TNI_Ouest_Activevalue", 1, 1, &P::TNI_Ouest_ActiveValue},
    {"TNI_Bit_Nord", 8, 1, &P::TNI_Bit_Nord},
    {"TNI_Nord_Activevalue", 1, 1, &P::TNI_Nord_ActiveValue},
    {"TNI_Bit_Sud", 9, 1, &P::TNI_Bit_Sud},
    {"TNI_Sud_Activevalue", 1, 1, &P::TNI_Sud_ActiveValue},
};
// The speed set: inertia times, backlash, speeds (arcsec/s × 1000).
constexpr NumberKey kSpeedSet[] = {
    {"AG_Tps_Inertie_Dec", 100, 1, &P::TNI_Tps_Inertie_Dec},
    {"AG_Tps_Inertie_AD", 100, 1, &P::TNI_Tps_Inertie_AD},
    {"AG_Jeu_AD", 20, 1, &P::TNI_Jeu_AD},
    {"AG_Jeu_Dec", 20, 1, &P::TNI_Jeu_Dec},
    {"AG_Vitesse_Nord", 5000, 1000, &P::TNI_Vitesse_Nord},
    {"AG_Vitesse_Ouest", 5000, 1000, &P::TNI_Vitesse_Ouest},
    {"AG_Vitesse_Est", 5000, 1000, &P::TNI_Vitesse_Est},
    {"AG_Vitesse_Sud", 5000, 1000, &P::TNI_Vitesse_Sud},
};
struct PercentKey {
  const char* key;
  int defaultValue;
  SpinEdit P::*edit;
};
constexpr PercentKey kSpeedSetPercents[] = {
    {"AG_Prc_Inertie_Dec", 20, &P::SPED_Pourcent_Inertie_Dec},
    {"AG_Prc_Inertie_AD", 20, &P::SPED_Pourcent_Inertie_AD},
};

struct CheckKey {
  const char* key;
  CheckBox P::*box;
};
constexpr CheckKey kInversions[] = {
    {"GOTO_InverseAD", &P::CKB_GOTO_InverseAD},   {"GOTO_InverseDEC", &P::CKB_GOTO_InverseDEC},
    {"GUIDE_InverseAD", &P::CKB_GUIDE_InverseAD}, {"GUIDE_InverseDEC", &P::CKB_GUIDE_InverseDEC},
    {"InverseAD_Carte", &P::CKB_InverseAD_Carte}, {"InverseDEC_Carte", &P::CKB_InverseDEC_Carte},
};
constexpr CheckKey kGotoChecks[] = {
    {"CKB_Fin_GOTO_Afficher_Message.Checked", &P::CKB_Fin_GOTO_Afficher_Message},
    {"CKB_Fin_GOTO_Jouer_un_Son.Checked", &P::CKB_Fin_Goto_Jouer_un_son},
    {"CKB_Fin_GOTO_ExecuteScript.Checked", &P::CKB_Fin_GOTO_ExecuteScript},
};
struct TextKey {
  const char* key;
  Edit P::*edit;
};
constexpr TextKey kGotoTexts[] = {
    {"EDT_Fin_GOTO_Son_a_jouer", &P::EDT_Fin_GOTO_Son_a_jouer},
    {"EDT_Fin_GOTO_Script", &P::EDT_Fin_GOTO_Script},
};

void ReadRadios(const IniFile& file, const std::string& section, P& pref,
                std::span<const RadioKey> group) {
  for (size_t i = 0; i < group.size(); ++i)
    if (file.ReadBool(section, group[i].key, i == 0)) (pref.*group[i].button).SetChecked(true);
}
void WriteRadios(IniFile& file, const std::string& section, const P& pref,
                 std::span<const RadioKey> group) {
  for (const RadioKey& r : group) file.WriteBool(section, r.key, (pref.*r.button).Checked());
}
void ReadNumbers(const IniFile& file, const std::string& section, P& pref,
                 std::span<const NumberKey> keys) {
  for (const NumberKey& k : keys) {
    (pref.*k.edit)
        .SetValue(k.scale == 1 ? file.ReadInteger(section, k.key, k.defaultStored)
                               : file.ReadScaled(section, k.key, k.defaultStored, k.scale));
  }
}
void WriteNumbers(IniFile& file, const std::string& section, const P& pref,
                  std::span<const NumberKey> keys) {
  for (const NumberKey& k : keys) {
    const double value = (pref.*k.edit).Value();
    if (k.scale == 1)
      file.WriteInteger(section, k.key, static_cast<long long>(value));
    else
      file.WriteScaled(section, k.key, value, k.scale);
  }
}

std::string SpeedSetName(const P& pref) {
  const std::string& name = pref.CBX_Vitesse_Moteur.Text();
  return name.empty() ? "Defaut" : name;
}

}  // namespace

void ReadMountSettings(const IniFile& file, TFRM_Pref& pref) {
  for (const LineKey& k : kLines) {
    (pref.*k.mount)
        .SetItemIndex(file.ReadInteger(kAutoguide, std::string("AG_") + k.key, k.defaultIndex));
    (pref.*k.focus)
        .SetItemIndex(file.ReadInteger(kFocus, std::string("AG_Focus_") + k.key, k.defaultIndex));
  }
  ReadNumbers(file, kAutoguide, pref, kPins);
  pref.EDT_ASCOM_Telescope.SetText(
      file.ReadString(kAutoguide, "ASCOM_Telescope", pref.EDT_ASCOM_Telescope.Text()));
  pref.SPED_Duree_impulsions.SetValue(file.ReadInteger(kAutoguide, "AG_Duree_impulsions", 200));
  for (const CheckKey& k : kInversions)
    (pref.*k.box).SetChecked(file.ReadBool(kAutoguide, k.key, false));
  ReadRadios(file, kFocus, pref, kFocusers);
  // The interface last: choosing it acts on the settings above.
  ReadRadios(file, kAutoguide, pref, kInterfaces);

  for (const CheckKey& k : kGotoChecks)
    (pref.*k.box).SetChecked(file.ReadBool(kGoto, k.key, false));
  for (const TextKey& k : kGotoTexts) (pref.*k.edit).SetText(file.ReadString(kGoto, k.key, ""));

  ComboBox& sets = pref.CBX_Vitesse_Moteur;
  sets.SetItems(ProfileNames(file, kSpeedPrefix));
  sets.SetText(file.ReadString(kPrefs, kCurrentSpeedSet, "Defaut"));
  const std::string section = kSpeedPrefix + SpeedSetName(pref);
  ReadNumbers(file, section, pref, kSpeedSet);
  for (const PercentKey& k : kSpeedSetPercents)
    (pref.*k.edit).SetValue(file.ReadInteger(section, k.key, k.defaultValue));
  ReadRadios(file, section, pref, kInertiaDec);
  ReadRadios(file, section, pref, kInertiaRa);
  pref.CKB_Correct_Sid.SetChecked(file.ReadBool(section, "CKB_Correct_SID", true));
  pref.ComputeSpeeds();
}

void WriteMountSettings(IniFile& file, const TFRM_Pref& pref) {
  for (const LineKey& k : kLines) {
    file.WriteInteger(kAutoguide, std::string("AG_") + k.key, (pref.*k.mount).ItemIndex());
    file.WriteInteger(kFocus, std::string("AG_Focus_") + k.key, (pref.*k.focus).ItemIndex());
  }
  WriteNumbers(file, kAutoguide, pref, kPins);
  file.WriteString(kAutoguide, "ASCOM_Telescope", pref.EDT_ASCOM_Telescope.Text());
  file.WriteInteger(kAutoguide, "AG_Duree_impulsions", pref.SPED_Duree_impulsions.Value());
  for (const CheckKey& k : kInversions) file.WriteBool(kAutoguide, k.key, (pref.*k.box).Checked());
  WriteRadios(file, kAutoguide, pref, kInterfaces);
  file.WriteBool(kAutoguide, "Guide_TemmaPC", false);  // an interface not offered here
  WriteRadios(file, kFocus, pref, kFocusers);

  for (const CheckKey& k : kGotoChecks) file.WriteBool(kGoto, k.key, (pref.*k.box).Checked());
  for (const TextKey& k : kGotoTexts) file.WriteString(kGoto, k.key, (pref.*k.edit).Text());

  const std::string name = SpeedSetName(pref);
  file.WriteString(kPrefs, kCurrentSpeedSet, name);
  const std::string section = kSpeedPrefix + name;
  WriteNumbers(file, section, pref, kSpeedSet);
  for (const PercentKey& k : kSpeedSetPercents)
    file.WriteInteger(section, k.key, (pref.*k.edit).Value());
  WriteRadios(file, section, pref, kInertiaDec);
  WriteRadios(file, section, pref, kInertiaRa);
  file.WriteBool(section, "CKB_Correct_SID", pref.CKB_Correct_Sid.Checked());
}

}  // namespace orniva
