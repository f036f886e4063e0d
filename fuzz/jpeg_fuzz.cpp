// libFuzzer entry for the JPEG loading path: the input is taken as the
// content of a ".jpg" file and decoded into a frame; a success must stay
// within the frame limit, a failure must leave the frame as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "acquisition/frame_limits.h"
#include "acquisition/image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orniva::Image frame(4, 4);
  const orniva::ImageFileResult r = orniva::DecodeImageFile("fuzz.jpg", {data, size}, frame);
  if (r.Ok() &&
      (frame.Width() > orniva::kMaxFrameWidth || frame.Height() > orniva::kMaxFrameHeight)) {
    std::abort();
  }
  if (!r.Ok() && (frame.Width() != 4 || frame.Height() != 4)) std::abort();
  return 0;
}
