// The simulated observatory's section of the settings file.
#include "sim/simulator_settings.h"

#include <gtest/gtest.h>

#include "core/virtual_event_loop.h"
#include "sim_rig.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

IniFile Parsed(const std::string& text) {
  IniFile f;
  f.Parse(text);
  return f;
}

// Every setting, as the section shows it.
std::string Section(const SimulatorSettings& s) {
  IniFile f;
  WriteSimulatorSettings(f, s);
  return f.Text();
}

TEST(SimulatorSettingsFile, KeysOverTheDefaultsAndBadValuesKeepThem) {
  const SimulatorSettings defaults;
  EXPECT_EQ(Section(ReadSimulatorSettings(IniFile())), Section(defaults));
  // Another section's keys are not the simulator's.
  EXPECT_EQ(Section(ReadSimulatorSettings(Parsed("[Prefs]\nSeeing=1000\n"))), Section(defaults));

  const SimulatorSettings s =
      ReadSimulatorSettings(Parsed("[simulateur]\n"
                                   "etoile_depart=Alp Boo\n"
                                   "Seeing=1500\n"
                                   "Erreur_Periodique_Periode=60000\n"
                                   "Latitude=-33500\n"
                                   "Largeur_Image=320\n"
                                   "Matrice_Couleur=1\n"
                                   "Graine=7\n"
                                   "Flux_Magnitude_Zero=1000000\n"
                                   // Values the simulation cannot work with keep the default.
                                   "Periode_Images=0\n"
                                   "Focale=0\n"
                                   "Erreur_Periodique_Amplitude=-5\n"
                                   "Hauteur_Image=5000\n"
                                   "Pose=abc\n"));
  EXPECT_EQ(s.startStar, "Alp Boo");
  EXPECT_DOUBLE_EQ(s.sky.seeingFwhm, 1.5);
  EXPECT_DOUBLE_EQ(s.mount.periodicPeriod, 60);
  EXPECT_DOUBLE_EQ(s.mount.latitude, -33.5 * 3600);
  EXPECT_EQ(s.format.width, 320);
  EXPECT_TRUE(s.format.rawBayer);
  EXPECT_EQ(s.sky.seed, 7u);
  EXPECT_DOUBLE_EQ(s.sky.zeroMagnitudeFlux, 1e6);
  EXPECT_EQ(s.framePeriodMs, defaults.framePeriodMs);
  EXPECT_EQ(s.optics.focal, defaults.optics.focal);
  EXPECT_EQ(s.mount.periodicAmplitude, defaults.mount.periodicAmplitude);
  EXPECT_EQ(s.format.height, defaults.format.height);
  EXPECT_EQ(s.exposure.seconds, defaults.exposure.seconds);
}

TEST(SimulatorSettingsFile, WrittenSettingsReadBackAndTheFileKeepsTheRest) {
  SimulatorSettings s;
  s.startStar = "Alp Cyg";
  s.sky.seeingFwhm = 2.25;
  s.sky.deepSky = false;
  s.sky.vignetting = 0.8;
  s.optics.barlowUsed = true;
  s.optics.barlow = 2.5;
  s.mount.rates[3] = 360;
  s.mount.periodicPeriod = 600;
  s.mount.longitude = -71.25 * 3600;
  s.format = {800, 600, false};
  s.exposure = {0.25, 2.0};
  s.framePeriodMs = 250;
  IniFile file = Parsed("[Seuils]\nSeuil_Max=2500\n[Simulateur]\n; mes essais\nSeeing=1000\n");
  WriteSimulatorSettings(file, s);
  const std::string text = file.Text();
  EXPECT_EQ(text.rfind("[Seuils]\nSeuil_Max=2500\n[Simulateur]\n; mes essais\nSeeing=2250\n", 0),
            0u)
      << text;
  EXPECT_NE(text.find("Vignetage=800\n"), std::string::npos);
  EXPECT_NE(text.find("Longitude=-71250\n"), std::string::npos);
  IniFile reread = Parsed(text);
  EXPECT_EQ(Section(ReadSimulatorSettings(reread)), Section(s));
  EXPECT_EQ(ReadSimulatorSettings(reread).mount.longitude, -71.25 * 3600);
  EXPECT_EQ(ReadSimulatorSettings(reread).format, s.format);
}

TEST(SimulatorSettingsFile, TheObservatoryStartsOnTheStarAndPeriodOfTheFile) {
  VirtualEventLoop loop;
  const SimulatorSettings s = ReadSimulatorSettings(
      Parsed("[Simulateur]\nEtoile_Depart=Alp Boo\nErreur_Periodique_Periode=60000\n"
             "Erreur_Periodique_Amplitude=5000\nHarmonique_Amplitude=0\n"));
  SimulatedObservatory observatory(loop, std::string(ORNIVA_SHARED_DATA_DIR) + "/catalogs/", s);
  const StarRecord* arcturus = FindStar("Alp Boo");
  ASSERT_NE(arcturus, nullptr);
  const int64_t t0 = loop.NowMs();
  const SimPointing at = observatory.Mount().Pointing(t0);
  EXPECT_LT(AngularDistance(at.ra, at.dec, arcturus->RightAscension, arcturus->Declination), 10);
  // A sinusoid of 5" with a 60 s period: at its top a quarter period on.
  EXPECT_NEAR(observatory.Mount().PeriodicError(t0 + 15000), 5, 1e-6);
  EXPECT_NEAR(observatory.Mount().PeriodicError(t0 + 60000), 0, 1e-6);
  EXPECT_EQ(observatory.Settings().startStar, "Alp Boo");
}

}  // namespace
}  // namespace orniva
