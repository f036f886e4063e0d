// Fuzz entry: the readers of the mount's position replies (":GR#", ":GD#"),
// on the characters the position polling keeps (7 for RA, 8 for Dec) and on
// the whole reply.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "telescope/mount_kernels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orniva;
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const std::optional<double> ra = ParseLx200Ra(reply.substr(0, 7));
  const std::optional<double> dec = ParseLx200Dec(reply.substr(0, 8));
  // Only the leading characters count: the kept part reads like the whole.
  if (ra != ParseLx200Ra(reply) || dec != ParseLx200Dec(reply)) std::abort();
  // Whole minutes of time within one turn; whole arcminutes within the poles.
  if (ra && (*ra < 0 || *ra >= 1296000 || std::fmod(*ra, 900) != 0)) std::abort();
  if (dec && (std::fabs(*dec) > 324000 || std::fmod(*dec, 60) != 0)) std::abort();
  return 0;
}
