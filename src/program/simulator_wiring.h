#pragma once

#include "acquisition/tfrm_alv.h"
#include "sim/simulated_observatory.h"
#include "telescope/mount.h"
#include "telescope/tfrm_pref.h"

namespace orniva {

// Feeds camera `camera` of the main window straight from the simulated
// observatory's camera: the format is taken, the camera is online,
// processing is switched on and every frame goes through the pipeline up to
// the result page. False when the window refuses the format.
bool StreamSimulatorToCamera(SimulatedObservatory& observatory, TFRM_Alv& main, int camera);

// Points the preferences' COM1 at the simulated mount's port, chooses the
// interface of `link` (the simulated mount then speaks it) and connects the
// program's mount layer. False (with the program's own message) when the
// link could not be opened.
bool ConnectSimulatedMount(SimulatedObservatory& observatory, TFRM_Pref& pref, Mount& mount,
                           SimMountLink link = SimMountLink::Lx200);

// The wiring the mount preferences describe for the simulated relay boxes:
// the relay port, the pins and active values, the UART of the serial item.
RelayWiring RelayWiringFromPreferences(const TFRM_Pref& pref);

}  // namespace orniva
