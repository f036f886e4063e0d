#pragma once

#include "settings/ini_file.h"
#include "sim/simulated_observatory.h"

namespace orniva {

// The simulated observatory's own section of the settings file.
inline constexpr const char* kSimulatorSection = "Simulateur";

// The settings of the "Simulateur" section over defaults: decimals are
// stored ×1000 (the latitude and longitude in degrees ×1000), counts,
// sizes and the frame period as plain integers, switches as 0 or 1. A
// missing key, or a value outside what the simulation can work with, keeps
// the default.
SimulatorSettings ReadSimulatorSettings(const IniFile& file,
                                        const SimulatorSettings& defaults = {});
// Writes every key of the section, so that all of them can be edited.
void WriteSimulatorSettings(IniFile& file, const SimulatorSettings& settings);

}  // namespace orniva
