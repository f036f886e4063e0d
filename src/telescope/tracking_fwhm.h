#pragma once

#include <cstdint>

#include "telescope/tracking_types.h"

namespace orniva {

// The FWHM of a star from the count of pixels above the focus threshold: the
// diameter of a disc of that area, 2 sqrt(count / pi).
double FwhmFromCount(int64_t focusCount);

// Puts one FWHM sample into the ring of n entries (1..50) and returns the
// value shown: the mean of the last n samples, zeros counting until the
// ring has filled.
double AddFwhmSample(FwhmRing& ring, int n, double sample);

// Empties the ring (the focus aid's "Reset").
void ResetFwhmRing(FwhmRing& ring);
// Clears the samples when the averaging depth changes; the mean restarts
// from zeros.
void ClearFwhmSamples(FwhmRing& ring);

}  // namespace orniva
