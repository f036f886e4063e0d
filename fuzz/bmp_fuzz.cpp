// libFuzzer entry for the bitmap reader: any input is decoded into a frame;
// a success must stay within the frame limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "acquisition/bmp_file.h"
#include "acquisition/frame_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orniva::Image frame(4, 4);
  const orniva::ImageFileResult r = orniva::DecodeBmp({data, size}, frame);
  if (r.Ok() &&
      (frame.Width() > orniva::kMaxFrameWidth || frame.Height() > orniva::kMaxFrameHeight)) {
    std::abort();
  }
  if (!r.Ok() && (frame.Width() != 4 || frame.Height() != 4)) std::abort();
  return 0;
}
