#pragma once

#include <string>

#include "acquisition/tfrm_tool_affichage.h"
#include "processing/tfrm_tool_images.h"
#include "processing/tfrm_tool_mesures.h"
#include "settings/ini_file.h"
#include "telescope/tfrm_pref.h"
#include "telescope/tfrm_tool_suivi.h"

namespace orniva {

// The settings of the preference pages and of the display tool window that
// the settings file keeps: "Debug actif", the FWHM average, the dead band,
// the marker and labels ("Mire"), the current optics and camera profiles,
// the refresh periods, the zone link, the display-zone size and the JPEG
// quality.
// The working folders default to the start directory's "Bitmaps/", "Icons/",
// "Scripts/", "Sounds/" and "Filters/"; each is created when missing.
void ReadPreferenceSettings(const IniFile& file, const std::string& startDirectory, TFRM_Pref& pref,
                            TFRM_Tool_Affichage& display, TFRM_Tool_Images& tools);
void WritePreferenceSettings(IniFile& file, const TFRM_Pref& pref,
                             const TFRM_Tool_Affichage& display, const TFRM_Tool_Images& tools);

// The profile list of a kind: the sections of prefix, sorted, the current
// one selected (or typed when it has no section).
void FillProfileList(ComboBox& list, const IniFile& file, std::string_view prefix,
                     const std::string& current);
// An optics or camera profile: its section's keys into the page, or the
// page's values into the section.
void ReadOpticsProfile(const IniFile& file, const std::string& section, PrefOpticsPage& page);
void WriteOpticsProfile(IniFile& file, const std::string& section, const PrefOpticsPage& page);
void ReadCameraProfile(const IniFile& file, const std::string& section, PrefCameraPage& page);
void WriteCameraProfile(IniFile& file, const std::string& section, const PrefCameraPage& page);

// The tracking method and its guiding interval and detection threshold
// ([Autoguide]), and the last frame width and sampling the measurement
// window works with before a camera starts ([Exposure]).
void ReadTrackingSettings(const IniFile& file, TFRM_Tool_Suivi& suivi, TFRM_Tool_Mesures& mesures);
void WriteTrackingSettings(IniFile& file, const TFRM_Tool_Suivi& suivi,
                           const TFRM_Tool_Mesures& mesures);

}  // namespace orniva
