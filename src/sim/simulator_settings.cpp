#include "sim/simulator_settings.h"

#include "core/rounding.h"

namespace orniva {
namespace {

using S = SimulatorSettings;

// A decimal setting: stored as field / unit × scale; values read outside
// [min, max] (in the field's unit divided by unit) keep the default.
struct DecimalKey {
  const char* key;
  double& (*field)(S&);
  double min, max;
  int scale = 1000;
  double unit = 1;
};

const DecimalKey kDecimals[] = {
    // The sky (arcseconds, electrons).
    {"Seeing", [](S& s) -> double& { return s.sky.seeingFwhm; }, 0, 30},
    {"Agitation", [](S& s) -> double& { return s.sky.seeingJitter; }, 0, 30},
    {"Diffraction_Pixels", [](S& s) -> double& { return s.sky.diffractionFwhmPixels; }, 0.1, 20},
    {"Flux_Magnitude_Zero", [](S& s) -> double& { return s.sky.zeroMagnitudeFlux; }, 0, 2e9, 1},
    {"Magnitude_Limite", [](S& s) -> double& { return s.sky.limitingMagnitude; }, -30, 30},
    {"Fond_Ciel", [](S& s) -> double& { return s.sky.skyBackground; }, 0, 1e6},
    {"Bruit_Lecture", [](S& s) -> double& { return s.sky.readNoise; }, 0, 1000},
    {"Courant_Obscurite", [](S& s) -> double& { return s.sky.darkCurrent; }, 0, 1e6},
    {"Facteur_Pixels_Chauds", [](S& s) -> double& { return s.sky.hotPixelFactor; }, 0, 1e6},
    {"Vignetage", [](S& s) -> double& { return s.sky.vignetting; }, 0, 1},
    {"Profondeur_Poussieres", [](S& s) -> double& { return s.sky.dustDepth; }, 0, 1},
    // The optics (millimetres, factors, micrometres, pixels).
    {"Focale", [](S& s) -> double& { return s.optics.focal; }, 1, 100000},
    {"Barlow", [](S& s) -> double& { return s.optics.barlow; }, 0.1, 10},
    {"Reducteur", [](S& s) -> double& { return s.optics.reducer; }, 0.1, 10},
    {"Largeur_Pixel", [](S& s) -> double& { return s.optics.pixelWidth; }, 0.1, 100},
    {"Largeur_Reference", [](S& s) -> double& { return s.optics.referenceWidth; }, 16, 10000, 1},
    // The mount (rates 0 to 3, seconds, arcseconds, radians, degrees).
    {"Vitesse_Guidage", [](S& s) -> double& { return s.mount.rates[0]; }, 0, 10000},
    {"Vitesse_Centrage", [](S& s) -> double& { return s.mount.rates[1]; }, 0, 10000},
    {"Vitesse_Recherche", [](S& s) -> double& { return s.mount.rates[2]; }, 0, 10000},
    {"Vitesse_Pointage", [](S& s) -> double& { return s.mount.rates[3]; }, 0, 10000},
    {"Erreur_Periodique_Periode", [](S& s) -> double& { return s.mount.periodicPeriod; }, 1,
     100000},
    {"Erreur_Periodique_Amplitude", [](S& s) -> double& { return s.mount.periodicAmplitude; }, 0,
     3600},
    {"Harmonique_Amplitude", [](S& s) -> double& { return s.mount.harmonicAmplitude; }, 0, 3600},
    {"Harmonique_Phase", [](S& s) -> double& { return s.mount.harmonicPhase; }, -10, 10},
    {"Erreur_Polaire_Altitude", [](S& s) -> double& { return s.mount.polarAltitudeError; }, -36000,
     36000},
    {"Erreur_Polaire_Azimut", [](S& s) -> double& { return s.mount.polarAzimuthError; }, -36000,
     36000},
    {"Latitude", [](S& s) -> double& { return s.mount.latitude; }, -90, 90, 1000, 3600},
    {"Longitude", [](S& s) -> double& { return s.mount.longitude; }, -180, 360, 1000, 3600},
    {"Jeu_Declinaison", [](S& s) -> double& { return s.mount.decBacklash; }, 0, 3600},
    // The exposure (seconds, frame units per electron).
    {"Pose", [](S& s) -> double& { return s.exposure.seconds; }, 0.001, 3600},
    {"Gain", [](S& s) -> double& { return s.exposure.gain; }, 0, 1000},
};

struct IntegerKey {
  const char* key;
  int& (*field)(S&);
  int min, max;
};

const IntegerKey kIntegers[] = {
    {"Pixels_Chauds", [](S& s) -> int& { return s.sky.hotPixels; }, 0, 100000},
    {"Poussieres", [](S& s) -> int& { return s.sky.dustShadows; }, 0, 100},
    {"Largeur_Image", [](S& s) -> int& { return s.format.width; }, 16, 1024},
    {"Hauteur_Image", [](S& s) -> int& { return s.format.height; }, 16, 768},
    {"Periode_Images", [](S& s) -> int& { return s.framePeriodMs; }, 10, 60000},
};

struct SwitchKey {
  const char* key;
  bool& (*field)(S&);
};

const SwitchKey kSwitches[] = {
    {"Ciel_Profond", [](S& s) -> bool& { return s.sky.deepSky; }},
    {"Bruit_Photons", [](S& s) -> bool& { return s.sky.photonNoise; }},
    {"Barlow_Active", [](S& s) -> bool& { return s.optics.barlowUsed; }},
    {"Reducteur_Actif", [](S& s) -> bool& { return s.optics.reducerUsed; }},
    {"Matrice_Couleur", [](S& s) -> bool& { return s.format.rawBayer; }},
};

constexpr const char* kSeed = "Graine";
constexpr const char* kStartStar = "Etoile_Depart";

}  // namespace

SimulatorSettings ReadSimulatorSettings(const IniFile& file, const SimulatorSettings& defaults) {
  SimulatorSettings s = defaults;
  const char* section = kSimulatorSection;
  for (const DecimalKey& d : kDecimals) {
    const std::optional<int> stored = ParseProfileInteger(file.ReadString(section, d.key, ""));
    if (!stored) continue;
    const double v = static_cast<double>(*stored) / d.scale;
    if (v >= d.min && v <= d.max) d.field(s) = v * d.unit;
  }
  for (const IntegerKey& k : kIntegers) {
    int& field = k.field(s);
    const int v = file.ReadInteger(section, k.key, field);
    if (v >= k.min && v <= k.max) field = v;
  }
  for (const SwitchKey& k : kSwitches) k.field(s) = file.ReadBool(section, k.key, k.field(s));
  const int seed = file.ReadInteger(section, kSeed, -1);
  if (seed >= 0) s.sky.seed = static_cast<uint64_t>(seed);
  const std::string star = file.ReadString(section, kStartStar, "");
  if (!star.empty()) s.startStar = star;
  return s;
}

void WriteSimulatorSettings(IniFile& file, const SimulatorSettings& settings) {
  SimulatorSettings s = settings;
  const char* section = kSimulatorSection;
  file.WriteString(section, kStartStar, s.startStar);
  file.WriteInteger(section, kSeed, static_cast<long long>(s.sky.seed & 0x7fffffff));
  for (const DecimalKey& d : kDecimals)
    file.WriteScaled(section, d.key, d.field(s) / d.unit, d.scale);
  for (const IntegerKey& k : kIntegers) file.WriteInteger(section, k.key, k.field(s));
  for (const SwitchKey& k : kSwitches) file.WriteBool(section, k.key, k.field(s));
}

}  // namespace orniva
