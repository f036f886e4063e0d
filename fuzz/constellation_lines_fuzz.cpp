// Fuzz entry: the constellation line reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "sky/catalogues.h"
#include "sky/sky_angles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orniva;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ConstellationLine> lines;
  auto error = ReadConstellationLines(text, "Conlines.dat", lines);
  if (lines.size() > static_cast<size_t>(kMaxConstellationLines)) std::abort();
  if (error && error->Line <= 0) std::abort();
  for (const ConstellationLine& l : lines) {
    SplitHmsRadians(l.RightAscension1);
    SplitDmsRadians(l.Declination2);
  }
  return 0;
}
