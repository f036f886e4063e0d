#pragma once

#include <string>

namespace orniva {

// Every per-pixel buffer of the program is dimensioned for frames of at most
// this size; capture formats and image files beyond it are refused.
inline constexpr int kMaxFrameWidth = 1024;
inline constexpr int kMaxFrameHeight = 768;

// The message refusing a frame size, or an empty string when the size fits:
// the size text when a side exceeds the limit, the "cannot set format" text
// when a side is 0 or less.
std::string FrameSizeMessage(int width, int height);

}  // namespace orniva
