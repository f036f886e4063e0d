#pragma once

#include "settings/ini_file.h"
#include "ui/application.h"

namespace orniva {

// The [Windows] section: where the main window and the tool windows were,
// and which of them were open. Read after the main window is shown: a
// window saved open is shown again through ShowOnScreen, so one left on a
// screen that is gone comes back on this one.
void ReadWindowPlacements(const IniFile& file, Application& app);
void WriteWindowPlacements(IniFile& file, const Application& app);

}  // namespace orniva
