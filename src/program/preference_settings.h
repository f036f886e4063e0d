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

// The tracking method and its guiding interval and detection threshold
// ([Autoguide]), and the last frame width and sampling the measurement
// window works with before a camera starts ([Exposure]).
void ReadTrackingSettings(const IniFile& file, TFRM_Tool_Suivi& suivi, TFRM_Tool_Mesures& mesures);
void WriteTrackingSettings(IniFile& file, const TFRM_Tool_Suivi& suivi,
                           const TFRM_Tool_Mesures& mesures);

}  // namespace orniva
