// Image files and frame conversion at webcam sizes.
#include <benchmark/benchmark.h>
#include <linux/videodev2.h>

#include <cerrno>

#include "acquisition/bmp_file.h"
#include "acquisition/jpeg_file.h"
#include "acquisition/test_pattern.h"
#include "platform/v4l2_convert.h"

namespace orniva {
namespace {

Image Frame640() {
  Image img(640, 480);
  RenderTestPattern(7, {}, false, img);
  return img;
}

void BM_EncodeBmp640x480(benchmark::State& state) {
  const Image img = Frame640();
  for (auto _ : state) benchmark::DoNotOptimize(EncodeBmp(img));
}
BENCHMARK(BM_EncodeBmp640x480);

void BM_DecodeBmp640x480(benchmark::State& state) {
  const std::vector<uint8_t> file = EncodeBmp(Frame640());
  Image out;
  for (auto _ : state) benchmark::DoNotOptimize(DecodeBmp(file, out));
}
BENCHMARK(BM_DecodeBmp640x480);

void BM_EncodeJpeg640x480Q80(benchmark::State& state) {
  const Image img = Frame640();
  std::vector<uint8_t> out;
  for (auto _ : state) benchmark::DoNotOptimize(EncodeJpeg(img, 80, out));
}
BENCHMARK(BM_EncodeJpeg640x480Q80);

void BM_DecodeJpeg640x480(benchmark::State& state) {
  std::vector<uint8_t> file;
  EncodeJpeg(Frame640(), 80, file);
  Image out;
  for (auto _ : state) benchmark::DoNotOptimize(DecodeJpeg(file, out));
}
BENCHMARK(BM_DecodeJpeg640x480);

void BM_RenderTestPattern640x480(benchmark::State& state) {
  Image img(640, 480);
  int64_t n = 0;
  for (auto _ : state) RenderTestPattern(n++, {}, false, img);
}
BENCHMARK(BM_RenderTestPattern640x480);

// libv4lconvert asks the device which formats it has; one that has YUYV.
class YuyvDevice : public V4l2Io {
 public:
  int Fd() const override { return 999; }
  int Ioctl(unsigned long request, void* arg) override {
    if (request == VIDIOC_ENUM_FMT && static_cast<v4l2_fmtdesc*>(arg)->index == 0) {
      static_cast<v4l2_fmtdesc*>(arg)->pixelformat = V4L2_PIX_FMT_YUYV;
      return 0;
    }
    errno = request == VIDIOC_ENUM_FMT ? EINVAL : ENOTTY;
    return -1;
  }
  void* Map(size_t, off_t) override { return nullptr; }
  void Unmap(void*, size_t) override {}
  Wait WaitFrame(int) override { return Wait::Timeout; }
  void Wake() override {}
};

void BM_ConvertYuyv640x480(benchmark::State& state) {
  YuyvDevice dev;
  V4l2Converter conv(dev);
  v4l2_format f{};
  f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  f.fmt.pix = {640, 480, V4L2_PIX_FMT_YUYV, V4L2_FIELD_NONE, 1280, 640 * 480 * 2, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> frame(640 * 480 * 2, 128);
  Image out;
  if (!conv.Convert(f, frame.data(), frame.size(), out)) state.SkipWithError(conv.Error().c_str());
  for (auto _ : state) benchmark::DoNotOptimize(conv.Convert(f, frame.data(), frame.size(), out));
}
BENCHMARK(BM_ConvertYuyv640x480);

}  // namespace
}  // namespace orniva
