#pragma once

namespace orniva {

// Runs the desktop program; returns its exit code.
int RunGui(int argc, char** argv);

}  // namespace orniva
