#pragma once

#include <cstdint>
#include <string>

namespace orniva {

// Largest camera frame; every per-pixel buffer is dimensioned for it.
inline constexpr int kMaxFrameWidth = 1024;
inline constexpr int kMaxFrameHeight = 768;

// What the program knows of one camera's video format.
struct CameraState {
  int32_t width = 0;
  int32_t height = 0;
  int16_t bitDepth = 0;   // 8, 16, 24 or 32; 0 when unknown
  uint8_t streaming = 0;  // 1 while the camera runs in stream mode
};

// The status line refusing a video format larger than the frame buffers, or
// an empty string when width x height fits (a side of 0 is refused elsewhere).
std::string FrameTooLargeMessage(int width, int height);

}  // namespace orniva
