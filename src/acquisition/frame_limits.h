#pragma once

#include <string>

#include "acquisition/camera.h"

namespace orniva {

// The message refusing a frame size, or an empty string when the size fits:
// the size text when a side exceeds the limit, the "cannot set format" text
// when a side is 0 or less.
std::string FrameSizeMessage(int width, int height);

}  // namespace orniva
