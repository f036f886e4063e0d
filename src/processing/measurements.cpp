#include "processing/measurements.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

std::string FormatGeneral(double value, int significantDigits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  const int digits = std::clamp(significantDigits, 1, 17);
  // The exponent after rounding to the significant digits (999.6 is 1.00E3).
  char sci[64];
  std::snprintf(sci, sizeof sci, "%.*e", digits - 1, value);
  const char* e = std::strchr(sci, 'e');
  int exponent = std::atoi(e + 1);
  auto stripZeros = [](std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
  };
  if (std::fabs(value) >= 0.00001 && exponent < digits) {
    char fixed[400];
    std::snprintf(fixed, sizeof fixed, "%.*f", std::max(0, digits - 1 - exponent), value);
    return stripZeros(fixed);
  }
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return stripZeros(std::string(sci, static_cast<size_t>(e - sci))) + exp;
}

}  // namespace orniva
