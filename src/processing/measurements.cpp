#include "processing/measurements.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "sky/sky_angles.h"

namespace orniva {

double EffectiveFocal(double focal, bool barlowUsed, double barlow, bool reducerUsed,
                      double reducer) {
  return focal * (barlowUsed ? barlow : 1.0) * (reducerUsed ? reducer : 1.0);
}

double SamplingArcsecPerPixel(double pixelWidth, double referenceWidth, double frameWidth,
                              double effectiveFocal) {
  double pixel = pixelWidth * referenceWidth / frameWidth;  // micrometres
  return std::atan(pixel * 0.001 / effectiveFocal) * kArcsecPerRadian;
}

FieldOfView FieldOfFrame(double width, double height, double sampling) {
  FieldOfView f{width * sampling, height * sampling, FieldUnit::Seconds};
  if (f.X > 7200) {
    f.X /= 3600;
    f.Y /= 3600;
    f.Unit = FieldUnit::Degrees;
  } else if (f.X > 120) {
    f.X /= 60;
    f.Y /= 60;
    f.Unit = FieldUnit::Minutes;
  }
  return f;
}

const char* FieldUnitCaption(FieldUnit unit) {
  switch (unit) {
    case FieldUnit::Minutes:
      return "(Minutes)";
    case FieldUnit::Degrees:
      return "(Degrés)";
    case FieldUnit::Seconds:
      break;
  }
  return "(Secondes)";
}

double MeasuredAngle(double dx, double dy, double sampling) {
  return std::sqrt(dx * dx + dy * dy) * sampling;
}

double DistanceAtRange(double range, double angleArcsec) {
  return range * std::sin(angleArcsec * kRadianPerArcsec);
}

double DeclinationFromDrift(double speed) {
  return std::acos(std::min(1.0, speed / kSiderealRate)) * kArcsecPerRadian;
}

}  // namespace orniva
