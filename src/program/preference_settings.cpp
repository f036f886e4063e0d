#include "program/preference_settings.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include "core/paths.h"

#include "core/rounding.h"

namespace orniva {
namespace {

constexpr const char* kPrefs = "Prefs";
constexpr const char* kMire = "Mire";
constexpr const char* kAutoguide = "Autoguide";

}  // namespace

void FillProfileList(ComboBox& list, const IniFile& file, std::string_view prefix,
                     const std::string& current) {
  std::vector<std::string> names = ProfileNames(file, prefix);
  std::sort(names.begin(), names.end());
  list.SetItems(names);
  const int index = list.IndexOf(current);
  if (index >= 0) {
    list.SetItemIndex(index);
  } else {
    list.SetText(current);
  }
}

void ReadOpticsProfile(const IniFile& file, const std::string& optics, PrefOpticsPage& o) {
  o.TNI_Focale.SetValue(file.ReadScaled(optics, "Focale", 20000000, 10000));
  o.CKB_Barlow.SetChecked(file.ReadBool(optics, "BarlowChecked", false));
  o.TNI_Barlow.SetValue(std::max(1.0, file.ReadScaled(optics, "Barlow", 2000)));
  o.CKB_Reducteur.SetChecked(file.ReadBool(optics, "ReducteurChecked", false));
  o.TNI_Reducteur.SetValue(std::max(0.01, file.ReadScaled(optics, "Reducteur", 630)));
}

void WriteOpticsProfile(IniFile& file, const std::string& optics, const PrefOpticsPage& o) {
  file.WriteScaled(optics, "Focale", o.TNI_Focale.Value(), 10000);
  file.WriteBool(optics, "BarlowChecked", o.CKB_Barlow.Checked());
  file.WriteScaled(optics, "Barlow", o.TNI_Barlow.Value());
  file.WriteBool(optics, "ReducteurChecked", o.CKB_Reducteur.Checked());
  file.WriteScaled(optics, "Reducteur", o.TNI_Reducteur.Value());
}

void ReadCameraProfile(const IniFile& file, const std::string& camera, PrefCameraPage& c) {
  c.TNI_Larg_Pix.SetValue(file.ReadScaled(camera, "Larg_Pix", 5600));
  c.TNI_Haut_Pix.SetValue(file.ReadScaled(camera, "Haut_Pix", 5600));
  c.TNI_NbPix_X.SetValue(file.ReadInteger(camera, "NbPix_X", 640));
  c.TNI_NbPix_Y.SetValue(file.ReadInteger(camera, "NbPix_Y", 480));
  c.CKB_VestaMod.SetChecked(file.ReadBool(camera, "VestaModChecked", false));
  c.CKB_Raw.SetChecked(file.ReadBool(camera, "CKB_RAW.Checked", false));
  RadioButton* patterns[] = {&c.RDB_RAWMode_1, &c.RDB_RAWMode_2, &c.RDB_RAWMode_3,
                             &c.RDB_RAWMode_4};
  for (int i = 3; i >= 0; --i) {
    const std::string key = "RDB_RAWMode_" + std::to_string(i + 1) + ".Checked";
    if (file.ReadBool(camera, key, i == 0)) patterns[i]->SetChecked(true);
  }
}

void WriteCameraProfile(IniFile& file, const std::string& camera, const PrefCameraPage& c) {
  file.WriteScaled(camera, "Larg_Pix", c.TNI_Larg_Pix.Value());
  file.WriteScaled(camera, "Haut_Pix", c.TNI_Haut_Pix.Value());
  file.WriteInteger(camera, "NbPix_X", Trunc(c.TNI_NbPix_X.Value()));
  file.WriteInteger(camera, "NbPix_Y", Trunc(c.TNI_NbPix_Y.Value()));
  file.WriteBool(camera, "VestaModChecked", c.CKB_VestaMod.Checked());
  file.WriteBool(camera, "CKB_RAW.Checked", c.CKB_Raw.Checked());
  const RadioButton* patterns[] = {&c.RDB_RAWMode_1, &c.RDB_RAWMode_2, &c.RDB_RAWMode_3,
                                   &c.RDB_RAWMode_4};
  for (int i = 0; i < 4; ++i) {
    file.WriteBool(camera, "RDB_RAWMode_" + std::to_string(i + 1) + ".Checked",
                   patterns[i]->Checked());
  }
}

void ReadPreferenceSettings(const IniFile& file, const std::string& startDirectory, TFRM_Pref& pref,
                            TFRM_Tool_Affichage& display, TFRM_Tool_Images& tools) {
  PrefDirectoriesPage& dirs = pref.Repertoires;
  const std::pair<Edit*, const char*> folders[] = {{&dirs.EDT_Repertoire_Bitmaps, "Bitmaps"},
                                                   {&dirs.EDT_Repertoire_Icones, "Icones"},
                                                   {&dirs.EDT_Repertoire_Scripts, "Scripts"},
                                                   {&dirs.EDT_Repertoire_Sons, "Sons"},
                                                   {&dirs.EDT_Repertoire_Filtres, "Filtres"}};
  const char* defaults[] = {"Bitmaps/", "Icons/", "Scripts/", "Sounds/", "Filters/"};
  for (int i = 0; i < 5; ++i) {
    std::string folder = file.ReadString(kPrefs, std::string("Repertoire_") + folders[i].second,
                                         JoinPath(startDirectory, defaults[i]));
    if (!folder.empty() && folder.back() != '/') folder += '/';
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    folders[i].first->SetText(folder);
  }
  tools.filtersDirectory = dirs.EDT_Repertoire_Filtres.Text();

  pref.MiseAuPoint.CKB_Debug.SetChecked(file.ReadBool(kPrefs, "CKB_Debug.Checked", false));
  pref.MiseAuPoint.SPED_Nb_Mesures.SetValue(file.ReadInteger(kPrefs, "SPED_Nb_Mesures.Value", 10));
  pref.SPED_Neutre.SetValue(file.ReadInteger(kAutoguide, "AG_Neutre", 2));

  PrefMirePage& mire = pref.Mire;
  mire.CKB_Intensite_Max.SetChecked(file.ReadBool(kMire, "CKB_Intensite_Max", false));
  mire.CKB_Intensite_Min.SetChecked(file.ReadBool(kMire, "CKB_Intensite_Min", false));
  mire.CKB_FWHM.SetChecked(file.ReadBool(kMire, "FWHM", false));
  mire.CKB_IPS.SetChecked(file.ReadBool(kMire, "IPS", false));
  // A radio group keeps one boolean per button; the checked one wins.
  if (file.ReadBool(kMire, "RDB_Cercle", false)) mire.RDB_Cercle.SetChecked(true);
  if (file.ReadBool(kMire, "RDB_Carre", true)) mire.RDB_Carre.SetChecked(true);
  if (file.ReadBool(kMire, "RDB_Point", false)) mire.RDB_Point.SetChecked(true);
  if (file.ReadBool(kMire, "RDB_Croix", true)) mire.RDB_Croix.SetChecked(true);
  mire.CKB_DateHeure.SetChecked(file.ReadBool(kMire, "CKB_DateHeure.Checked", false));

  // The profile lists, with the current profiles.
  FillProfileList(pref.Optique.CBX_Optique, file, "Optique.",
                  file.ReadString(kPrefs, "Optique_Courante", "Defaut"));
  ReadOpticsProfile(file, "Optique." + pref.Optique.CBX_Optique.Text(), pref.Optique);
  FillProfileList(pref.Camera.CBX_Camera, file, "Camera.",
                  file.ReadString(kPrefs, "Camera_Courante", "Defaut"));
  ReadCameraProfile(file, "Camera." + pref.Camera.CBX_Camera.Text(), pref.Camera);

  RefreshControls& refresh = display.Rafraichissement;
  refresh.CBX_Cam1_IPS.SetText(file.ReadString(kPrefs, "IPS_Cam1", "5"));
  refresh.CBX_Cam2_IPS.SetText(file.ReadString(kPrefs, "IPS_Cam2", "5"));
  refresh.TNI_Cam1_Tps_Rafraichissement.SetValue(
      file.ReadInteger(kPrefs, "Tps_Rafraichissement_Cam1", 50));
  refresh.TNI_Cam2_Tps_Rafraichissement.SetValue(
      file.ReadInteger(kPrefs, "Tps_Rafraichissement_Cam2", 50));
  display.CKB_Zones_Liees.SetChecked(file.ReadBool(kPrefs, "CKB_Zones_Liees", false));
  display.SCB_Taille_ZAffich.SetPosition(file.ReadInteger(kPrefs, "Taille_Zaffich", 640));
  display.SetImageCamera(file.ReadInteger(kPrefs, "SrcImage", 1));
  display.SetGuideCamera(file.ReadInteger(kPrefs, "SrcAutoguidage", 1));
  tools.SPED_Qualite_Jpeg.SetValue(file.ReadInteger(kPrefs, "Qualité_Compression_Jpeg", 80));
}

void WritePreferenceSettings(IniFile& file, const TFRM_Pref& pref,
                             const TFRM_Tool_Affichage& display, const TFRM_Tool_Images& tools) {
  const PrefDirectoriesPage& dirs = pref.Repertoires;
  file.WriteString(kPrefs, "Repertoire_Bitmaps", dirs.EDT_Repertoire_Bitmaps.Text());
  file.WriteString(kPrefs, "Repertoire_Icones", dirs.EDT_Repertoire_Icones.Text());
  file.WriteString(kPrefs, "Repertoire_Scripts", dirs.EDT_Repertoire_Scripts.Text());
  file.WriteString(kPrefs, "Repertoire_Sons", dirs.EDT_Repertoire_Sons.Text());
  file.WriteString(kPrefs, "Repertoire_Filtres", dirs.EDT_Repertoire_Filtres.Text());
  file.WriteBool(kPrefs, "CKB_Debug.Checked", pref.MiseAuPoint.CKB_Debug.Checked());
  file.WriteInteger(kPrefs, "SPED_Nb_Mesures.Value", pref.MiseAuPoint.SPED_Nb_Mesures.Value());
  file.WriteInteger(kAutoguide, "AG_Neutre", pref.SPED_Neutre.Value());

  const PrefMirePage& mire = pref.Mire;
  file.WriteBool(kMire, "CKB_Intensite_Max", mire.CKB_Intensite_Max.Checked());
  file.WriteBool(kMire, "CKB_Intensite_Min", mire.CKB_Intensite_Min.Checked());
  file.WriteBool(kMire, "FWHM", mire.CKB_FWHM.Checked());
  file.WriteBool(kMire, "IPS", mire.CKB_IPS.Checked());
  file.WriteBool(kMire, "RDB_Carre", mire.RDB_Carre.Checked());
  file.WriteBool(kMire, "RDB_Cercle", mire.RDB_Cercle.Checked());
  file.WriteBool(kMire, "RDB_Croix", mire.RDB_Croix.Checked());
  file.WriteBool(kMire, "RDB_Point", mire.RDB_Point.Checked());
  file.WriteBool(kMire, "CKB_DateHeure.Checked", mire.CKB_DateHeure.Checked());

  const std::string optics = pref.Optique.CBX_Optique.Text();
  if (pref.Optique.CBX_Optique.IndexOf(optics) >= 0) {
    file.WriteString(kPrefs, "Optique_Courante", optics);
    WriteOpticsProfile(file, "Optique." + optics, pref.Optique);
  }
  const std::string camera = pref.Camera.CBX_Camera.Text();
  if (pref.Camera.CBX_Camera.IndexOf(camera) >= 0) {
    file.WriteString(kPrefs, "Camera_Courante", camera);
    WriteCameraProfile(file, "Camera." + camera, pref.Camera);
  }

  const RefreshControls& refresh = display.Rafraichissement;
  file.WriteInteger(kPrefs, "Tps_Rafraichissement_Cam1",
                    Trunc(refresh.TNI_Cam1_Tps_Rafraichissement.Value()));
  file.WriteInteger(kPrefs, "Tps_Rafraichissement_Cam2",
                    Trunc(refresh.TNI_Cam2_Tps_Rafraichissement.Value()));
  file.WriteBool(kPrefs, "CKB_Zones_Liees", display.CKB_Zones_Liees.Checked());
  file.WriteInteger(kPrefs, "Taille_Zaffich", display.SCB_Taille_ZAffich.Position());
  file.WriteString(kPrefs, "IPS_Cam1", refresh.CBX_Cam1_IPS.Text());
  file.WriteString(kPrefs, "IPS_Cam2", refresh.CBX_Cam2_IPS.Text());
  file.WriteInteger(kPrefs, "Qualité_Compression_Jpeg", tools.SPED_Qualite_Jpeg.Value());
}

void ReadTrackingSettings(const IniFile& file, TFRM_Tool_Suivi& suivi, TFRM_Tool_Mesures& mesures) {
  const std::pair<RadioButton*, const char*> methods[] = {
      {&suivi.RDB_Colimacon, "AG_RDB_Colimacon"},
      {&suivi.RDB_Somax, "AG_RDB_Somax"},
      {&suivi.RDB_Cadres, "AG_RDB_Cadres"},
      {&suivi.RDB_Correlation, "AG_RDB_Correlation"}};
  for (const auto& [button, key] : methods) {
    if (file.ReadBool(kAutoguide, key, button == &suivi.RDB_Cadres)) button->SetChecked(true);
  }
  suivi.SPED_Intervalle_Guidage.SetValue(file.ReadInteger(kAutoguide, "AG_Intervalle_Guidage", 10));
  suivi.SPED_Seuil_Detect_Min.SetValue(
      file.ReadInteger(kAutoguide, "AG_SPED_Seuil_Detect_Min", 50));
  mesures.SetLastVideoWidth(file.ReadInteger("Exposure", "LastVideoWidth", 640));
  mesures.SetSavedSampling(file.ReadInteger("Exposure", "LastEchantillonage", 630) / 1000.0);
}

void WriteTrackingSettings(IniFile& file, const TFRM_Tool_Suivi& suivi,
                           const TFRM_Tool_Mesures& mesures) {
  file.WriteBool(kAutoguide, "AG_RDB_Colimacon", suivi.RDB_Colimacon.Checked());
  file.WriteBool(kAutoguide, "AG_RDB_Somax", suivi.RDB_Somax.Checked());
  file.WriteBool(kAutoguide, "AG_RDB_Cadres", suivi.RDB_Cadres.Checked());
  file.WriteBool(kAutoguide, "AG_RDB_Correlation", suivi.RDB_Correlation.Checked());
  file.WriteInteger(kAutoguide, "AG_Intervalle_Guidage", suivi.SPED_Intervalle_Guidage.Value());
  file.WriteInteger(kAutoguide, "AG_SPED_Seuil_Detect_Min", suivi.SPED_Seuil_Detect_Min.Value());
  file.WriteInteger("Exposure", "LastVideoWidth", mesures.LastVideoWidth());
  file.WriteInteger("Exposure", "LastEchantillonage", Trunc(mesures.Sampling() * 1000));
}

}  // namespace orniva
