#pragma once

#include "settings/ini_file.h"
#include "telescope/tfrm_pref.h"

namespace orniva {

// The mount's keys of the settings file: the mount link of [Autoguide]
// (interface, serial line, relay pins, pulse length, inversions), the
// focuser link of [Focus], the end-of-GOTO actions of [GOTOManagement], and
// the current motor-speed set: its name in [Prefs] and its section
// "Vitesse_Moteur." + name (speeds, backlash, inertia, sidereal correction).
void ReadMountSettings(const IniFile& file, TFRM_Pref& pref);
void WriteMountSettings(IniFile& file, const TFRM_Pref& pref);

}  // namespace orniva
