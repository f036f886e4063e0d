// Fuzz entry: the bright-star catalogue reader, and the text helpers the chart
// and search apply to what it reads.
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
  std::vector<StarRecord> stars;
  auto error = ReadStars(text, "Catalog.dat", stars);
  if (stars.size() > static_cast<size_t>(kMaxStars)) std::abort();
  if (error && error->Line <= 0) std::abort();
  for (const StarRecord& s : stars) {
    if (s.SaoNumber.size() != 6 || s.StarName.size() != 10) std::abort();
    FormatRa(s.RightAscension);
    FormatDec(s.Declination);
    SplitDms(s.Declination);
    AngularDistance(s.RightAscension, s.Declination, 0, 0);
  }
  return 0;
}
