#pragma once

#include "core/image.h"
#include "telescope/tracking_types.h"

namespace orniva {

// Copies the rectangle columns x - width div 2 .. x + width div 2, rows
// y - height div 2 .. y + height div 2 of frame, stretched, into a width x
// height reference, then computes its mean and sum of squared deviations of
// B + G + R over the pixels CorrelationScore samples. Pixels outside the
// frame read as black.
void CaptureCorrelationReference(CorrelationReference& reference, const Image& frame, int x, int y,
                                 int precision, int height, int width);

// The sampling step of a reference of that width: Trunc(sqrt(width)) div
// precision + 1 (precision below 1 counts as 1).
int CorrelationSampleStep(int referenceWidth, int precision);

// The normalised cross-correlation of the candidate with the reference over
// rows and columns 0, step, 2 step... (row and column 0 always taken). A
// candidate of another width scores 0. Returns false (an error, no score)
// when either side has no variation, where the quotient is undefined.
bool CorrelationScore(const CorrelationReference& reference, const Image& candidate, int precision,
                      double& score);

// Searches 240 candidate positions on a square spiral of 15 rings around
// (x, y) for the best score; returns the best position, (x, y) when none
// scores above 0. Does not search (returns (x, y)) when the reference is
// fresh, and clears the fresh flag. A candidate that cannot be scored ends
// the current run of moves of the spiral.
IntPoint CorrelationSearch(CorrelationReference& reference, const Image& frame, int x, int y,
                           int zoneWidth, int zoneHeight, int precision);

}  // namespace orniva
