#pragma once

#include <string>

#include "acquisition/frame_source.h"

namespace orniva {

// A camera's format as the camera record takes it, with the lines the debug
// log gets for it.
struct FormatReading {
  VideoFormat format;
  bool fromFrame = false;  // the device gave no usable format: sized from one frame
  std::string debugText;   // lines for "Debug.log", CR LF after each
};

// Reads the format of a connected source. A device that gives no usable
// format (header size below 1, or a side of 0) is asked for one frame,
// whose size is taken, with bit depth 24 (frames arrive as 24-bit images).
FormatReading ReadVideoFormat(FrameSource& source, Image& scratch, int camera);

// Chooses a format from the format dialog. When the device refuses it,
// false with the device's message. When the device takes it but the frame
// size is refused (beyond 1024 x 768, or a side of 0), the previous format
// is put back so that no frame of the refused size ever arrives, and false
// with the size message.
bool ApplyVideoFormat(FrameSource& source, const VideoFormat& chosen, std::string& message);

// The largest zones a frame width allows: the detection zone at most
// Min(480, width - 50), the display zone the full width.
struct ZoneLimits {
  int detectionMax = 0;
  int displayMax = 0;
  friend bool operator==(const ZoneLimits&, const ZoneLimits&) = default;
};
ZoneLimits ZoneLimitsFor(int width);

}  // namespace orniva
