#include "telescope/tracking_fwhm.h"

#include <algorithm>
#include <cmath>

namespace orniva {

double FwhmFromCount(int64_t focusCount) {
  return 2.0 * std::sqrt(static_cast<double>(focusCount) * 0.31830988618379067154);
}

double AddFwhmSample(FwhmRing& ring, int n, double sample) {
  n = std::clamp(n, 1, FwhmRing::kCapacity);
  ring.index = ring.index % n + 1;
  // The running sum drops the sample this one overwrites (the one taken n
  // passes ago), so it always holds exactly the last n samples.
  const long double replaced = ring.samples[ring.index];
  ring.samples[ring.index] = sample;
  ring.runningSum = std::max<long double>(0, ring.runningSum - replaced + sample);
  if (ring.index == n) ring.full = true;
  return static_cast<double>(ring.runningSum / n);
}

void ResetFwhmRing(FwhmRing& ring) {
  ring = FwhmRing{};
}

void ClearFwhmSamples(FwhmRing& ring) {
  ring.samples.fill(0);
  ring.runningSum = 0;
}

}  // namespace orniva
