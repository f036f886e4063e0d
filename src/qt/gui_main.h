#pragma once

namespace orniva {

// Runs the desktop program; returns its exit code. With simulate, camera 1
// starts on the simulated observatory in stream mode and the mount is
// connected to the simulated LX200 mount.
int RunGui(int argc, char** argv, bool simulate = false);

}  // namespace orniva
