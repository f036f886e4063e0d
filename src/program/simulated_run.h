#pragma once

#include <string>

#include "program/program.h"
#include "ui/dialogs.h"

namespace orniva {

// Starts camera `camera` of the program on its "Simulateur" driver the way
// an operator does: the camera's start menu, the driver dialog answered
// from dialogs, then, with stream, the stream-mode button. False (nothing
// started) when the driver is missing or the camera did not come online.
bool StartSimulatedCamera(Program& program, HeadlessDialogs& dialogs, int camera, bool stream);

// Saves the main window's result page as a 24-bit bitmap file; returns the
// line to show: "result page saved: <path>" or the error naming the file.
std::string SaveResultPage(Program& program, const std::string& path);

}  // namespace orniva
