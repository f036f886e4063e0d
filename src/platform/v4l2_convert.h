#pragma once

#include <linux/videodev2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/image.h"
#include "platform/v4l2_io.h"

struct v4lconvert_data;

namespace orniva {

// Turns the frames of a capture device, whatever its pixel format (YUYV,
// MJPEG, raw Bayer, RGB…), into 24-bit BGR images through libv4lconvert.
// The library asks the device about itself through io, so a fake device
// works as well as a real one.
class V4l2Converter {
 public:
  explicit V4l2Converter(V4l2Io& io);
  ~V4l2Converter();
  V4l2Converter(const V4l2Converter&) = delete;
  V4l2Converter& operator=(const V4l2Converter&) = delete;

  bool Valid() const { return data_ != nullptr; }
  // Whether frames in this device format can be converted.
  static bool Convertible(uint32_t pixelFormat);
  // Converts one frame in format src into image (resized to the frame's
  // size). False, image untouched, when the data cannot be decoded.
  bool Convert(const v4l2_format& src, const uint8_t* data, size_t size, Image& image);
  const std::string& Error() const { return error_; }

 private:
  v4lconvert_data* data_ = nullptr;
  std::vector<uint8_t> packed_;  // the converted frame, rows without padding
  std::string error_;
};

// Bits per pixel of a device format as a bitmap header gives them (8, 12,
// 16, 24 or 32); 0 when unknown.
int BitsPerPixel(uint32_t pixelFormat);

}  // namespace orniva
