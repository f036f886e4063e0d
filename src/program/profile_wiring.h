#pragma once

#include <functional>
#include <string>

#include "automation/tfrm_message.h"
#include "processing/tfrm_tool_mesures.h"
#include "telescope/tfrm_pref.h"

namespace orniva {

// The optics and camera profile lists of the preferences: choosing a name
// in the list loads its section, "Ajouter" adds the typed name and saves the
// page under it, "Suppr." erases the named section, "Enregistrer" saves the
// page under the typed name. Each works on the settings file settingsPath()
// names (nothing without one). A name that would break the file (empty, or
// holding "]", "=" or a line break) is refused with a message.
void ConnectProfiles(TFRM_Pref& pref, TFRM_Tool_Mesures& mesures, TFRM_Message& message,
                     std::function<std::string()> settingsPath);

}  // namespace orniva
