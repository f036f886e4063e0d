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

std::string FormatGeneral(double value, int significantDigits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  const int digits = std::clamp(significantDigits, 1, 17);
  // Written with "." whatever the C locale (the desktop view sets the user's).
  // The exponent is the one after rounding to the significant digits (999.6
  // is 1.00E3).
  char sci[64];
  auto r = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1);
  std::string_view text(sci, static_cast<size_t>(r.ptr - sci));
  size_t e = text.find('e');
  int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  auto stripZeros = [](std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
  };
  if (std::fabs(value) >= 0.00001 && exponent < digits) {
    char fixed[400];
    auto f = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed,
                           std::max(0, digits - 1 - exponent));
    return stripZeros(std::string(fixed, f.ptr));
  }
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return stripZeros(std::string(text.substr(0, e))) + exp;
}

}  // namespace orniva
