#pragma once

#include <string>

#include "core/number_format.h"

namespace orniva {

// Image scale, field of view, angular and linear distances: what the
// measurement window computes from the optics and camera settings.

// Effective focal length in millimetres: the focal length times the Barlow
// factor and the reducer factor of those that are in use.
double EffectiveFocal(double focal, bool barlowUsed, double barlow, bool reducerUsed,
                      double reducer);

// Sampling in arcseconds per pixel of a frame frameWidth pixels wide, for a
// sensor whose pixels are pixelWidth micrometres wide at referenceWidth pixels
// across (a narrower frame, as with binning, has proportionally larger
// pixels).
double SamplingArcsecPerPixel(double pixelWidth, double referenceWidth, double frameWidth,
                              double effectiveFocal);

enum class FieldUnit { Seconds, Minutes, Degrees };

// The field of a width × height frame at a sampling, in the unit chosen from
// the width alone: arcseconds up to 120, arcminutes up to 7200 arcseconds,
// degrees beyond.
struct FieldOfView {
  double X = 0;
  double Y = 0;
  FieldUnit Unit = FieldUnit::Seconds;
};
FieldOfView FieldOfFrame(double width, double height, double sampling);
// "(Secondes)", "(Minutes)" or "(Degrés)".
const char* FieldUnitCaption(FieldUnit unit);

// Angle in arcseconds between two points dx, dy pixels apart.
double MeasuredAngle(double dx, double dy, double sampling);
// Linear distance between two points seen angleArcsec apart at range (in the
// unit of the range).
double DistanceAtRange(double range, double angleArcsec);

// Declination in arcseconds of a star drifting at speed arcseconds per
// second with the mount stopped: arccos(speed / sidereal rate), 0 at or above
// the sidereal rate.
double DeclinationFromDrift(double speed);

}  // namespace orniva
