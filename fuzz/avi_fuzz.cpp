// libFuzzer entry for the AVI reader: any input is opened and every frame it
// lists decoded; what opens must stay within the frame limit, and a frame
// that fails to decode must leave the target image as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "acquisition/avi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orniva::AviReader reader;
  if (!reader.OpenMemory("fuzz.avi", {data, size})) {
    if (reader.FrameCount() != 0 || reader.Error().empty()) std::abort();
    return 0;
  }
  const orniva::AviFormat& f = reader.Format();
  if (f.width < 1 || f.height < 1 || f.width > orniva::kMaxAviWidth ||
      f.height > orniva::kMaxAviHeight) {
    std::abort();
  }
  orniva::Image frame(4, 4);
  const int frames = reader.FrameCount() < 16 ? reader.FrameCount() : 16;
  for (int i = 0; i < frames; ++i) {
    const int w = frame.Width(), h = frame.Height();
    if (!reader.ReadFrame(i, frame) && (frame.Width() != w || frame.Height() != h)) std::abort();
    if (frame.Width() > orniva::kMaxAviWidth || frame.Height() > orniva::kMaxAviHeight) {
      std::abort();
    }
  }
  return 0;
}
