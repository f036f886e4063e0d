#include "acquisition/capture_format.h"

#include <algorithm>

#include "acquisition/frame_limits.h"

namespace orniva {

namespace {

void Line(std::string& text, const char* label, int64_t value) {
  text += label;
  text += std::to_string(value);
  text += "\r\n";
}

}  // namespace

FormatReading ReadVideoFormat(FrameSource& source, Image& scratch, int camera) {
  FormatReading r;
  VideoFormat f = source.GetVideoFormat();
  std::string& t = r.debugText;
  Line(t, "bisize          = ", f.headerSize);
  Line(t, "biWidth         = ", f.width);
  Line(t, "biHeight        = ", f.height);
  Line(t, "biPlanes        = ", f.headerSize > 0 ? 1 : 0);
  Line(t, "biBitCount      = ", f.bitCount);
  Line(t, "biCompression   = ", f.compression);
  Line(t, "biSizeImage     = ", f.imageSize);
  Line(t, "biXPelsPerMeter = ", 0);
  Line(t, "biYPelsPerMeter = ", 0);
  Line(t, "biClrUsed       = ", 0);
  Line(t, "biClrImportant  = ", 0);
  if (f.headerSize >= 1) {
    const std::string cap = "VideoCap" + std::to_string(camera);
    Line(t, (cap + ".CapWidth   = ").c_str(), f.width);
    Line(t, (cap + ".CapHeight  = ").c_str(), f.height);
    Line(t, "bmiHeader.biBitCount = ", f.bitCount);
  }
  if (f.headerSize < 1 || f.width <= 0 || f.height <= 0) {
    r.fromFrame = true;
    if (source.GrabFrame(scratch)) {
      f.width = scratch.Width();
      f.height = scratch.Height();
      f.bitCount = 24;
    } else {
      f.width = f.height = 0;
      f.bitCount = 0;
    }
    Line(t, "FrIma.Width       = ", f.width);
    Line(t, "FrIma.Height      = ", f.height);
    Line(t, "FrIma.PixelFormat = ", f.bitCount);
  }
  r.format = f;
  return r;
}

bool ApplyVideoFormat(FrameSource& source, const VideoFormat& chosen, std::string& message) {
  const VideoFormat previous = source.GetVideoFormat();
  if (!source.SetVideoFormat(chosen)) {
    message = source.LastError();
    return false;
  }
  const VideoFormat now = source.GetVideoFormat();
  message = FrameSizeMessage(now.width, now.height);
  if (message.empty()) return true;
  source.SetVideoFormat(previous);
  return false;
}

ZoneLimits ZoneLimitsFor(int width) {
  return {std::min(480, width - 50), width};
}

}  // namespace orniva
