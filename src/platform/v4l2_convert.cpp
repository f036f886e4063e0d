#include "platform/v4l2_convert.h"

#include <libv4l-plugin.h>
#include <libv4lconvert.h>

#include <cerrno>
#include <cstring>

namespace orniva {

namespace {

// libv4lconvert reaches the device through these; dev_ops_priv is the io.
void* OpsInit(int) {
  return nullptr;
}
void OpsClose(void*) {}
int OpsIoctl(void* priv, int, unsigned long request, void* arg) {
  return static_cast<V4l2Io*>(priv)->Ioctl(request, arg);
}
ssize_t OpsRead(void*, int, void*, size_t) {
  errno = EINVAL;
  return -1;
}
ssize_t OpsWrite(void*, int, const void*, size_t) {
  errno = EINVAL;
  return -1;
}

const libv4l_dev_ops kOps = {OpsInit, OpsClose, OpsIoctl, OpsRead, OpsWrite, nullptr,
                             nullptr, nullptr,  nullptr,  nullptr, nullptr,  nullptr};

}  // namespace

V4l2Converter::V4l2Converter(V4l2Io& io) {
  data_ = v4lconvert_create_with_dev_ops(io.Fd(), &io, &kOps);
  if (!data_) error_ = "libv4lconvert indisponible";
}

V4l2Converter::~V4l2Converter() {
  if (data_) v4lconvert_destroy(data_);
}

bool V4l2Converter::Convertible(uint32_t f) {
  switch (f) {
    case V4L2_PIX_FMT_YUYV:
    case V4L2_PIX_FMT_UYVY:
    case V4L2_PIX_FMT_YVYU:
    case V4L2_PIX_FMT_MJPEG:
    case V4L2_PIX_FMT_JPEG:
    case V4L2_PIX_FMT_RGB24:
    case V4L2_PIX_FMT_BGR24:
    case V4L2_PIX_FMT_GREY:
    case V4L2_PIX_FMT_SBGGR8:
    case V4L2_PIX_FMT_SGBRG8:
    case V4L2_PIX_FMT_SGRBG8:
    case V4L2_PIX_FMT_SRGGB8:
    case V4L2_PIX_FMT_YUV420:
    case V4L2_PIX_FMT_YVU420:
    case V4L2_PIX_FMT_NV12:
      return true;
    default:
      return false;
  }
}

int BitsPerPixel(uint32_t f) {
  switch (f) {
    case V4L2_PIX_FMT_GREY:
    case V4L2_PIX_FMT_SBGGR8:
    case V4L2_PIX_FMT_SGBRG8:
    case V4L2_PIX_FMT_SGRBG8:
    case V4L2_PIX_FMT_SRGGB8:
      return 8;
    case V4L2_PIX_FMT_YUV420:
    case V4L2_PIX_FMT_YVU420:
    case V4L2_PIX_FMT_NV12:
      return 12;
    case V4L2_PIX_FMT_YUYV:
    case V4L2_PIX_FMT_UYVY:
    case V4L2_PIX_FMT_YVYU:
      return 16;
    case V4L2_PIX_FMT_MJPEG:
    case V4L2_PIX_FMT_JPEG:
    case V4L2_PIX_FMT_RGB24:
    case V4L2_PIX_FMT_BGR24:
      return 24;
    case V4L2_PIX_FMT_RGB32:
    case V4L2_PIX_FMT_BGR32:
      return 32;
    default:
      return 0;
  }
}

bool V4l2Converter::Convert(const v4l2_format& src, const uint8_t* data, size_t size,
                            Image& image) {
  if (!data_) return false;
  const int w = static_cast<int>(src.fmt.pix.width), h = static_cast<int>(src.fmt.pix.height);
  if (w <= 0 || h <= 0) {
    error_ = "format sans dimensions";
    return false;
  }
  v4l2_format dst = src;
  dst.fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
  dst.fmt.pix.bytesperline = 3 * w;
  dst.fmt.pix.sizeimage = 3 * w * h;
  dst.fmt.pix.field = V4L2_FIELD_NONE;
  const size_t packedBytes = static_cast<size_t>(3) * w * h;
  packed_.resize(packedBytes);
  // libv4lconvert takes the source as non-const but does not write to it.
  const int n =
      v4lconvert_convert(data_, &src, &dst, const_cast<uint8_t*>(data), static_cast<int>(size),
                         packed_.data(), static_cast<int>(packedBytes));
  if (n < 0) {
    error_ = v4lconvert_get_error_message(data_);
    return false;
  }
  // The image's rows are padded to 4 bytes; the converter's are not.
  image.Resize(w, h);
  for (int y = 0; y < h; ++y) {
    std::memcpy(image.ScanLine(y), packed_.data() + static_cast<size_t>(y) * 3 * w, 3 * w);
  }
  return true;
}

}  // namespace orniva
