#include "sky/sky_angles.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace orniva {

namespace {

double Sign(double v) {
  return v < 0 ? -1.0 : 1.0;
}

// A whole number held in a double, as a 64-bit integer; values beyond the
// range of any sky angle saturate instead of overflowing.
int64_t WholeOf(double v) {
  constexpr double kLimit = 9.0e15;
  if (!(v == v)) return 0;
  if (v > kLimit) return static_cast<int64_t>(kLimit);
  if (v < -kLimit) return -static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(v);
}

// Splits seconds (of arc or of time) into whole units, minutes and seconds;
// integer parts truncate toward zero, and for a negative value only the first
// non-zero part keeps the sign.
Sexagesimal Split(double seconds) {
  double minutes = std::trunc(seconds / 60);
  double rest = seconds - minutes * 60;
  double whole = std::trunc(minutes / 60);
  minutes -= whole * 60;
  if (whole != 0) {
    minutes = std::fabs(minutes);
    rest = std::fabs(rest);
  } else if (minutes != 0) {
    rest = std::fabs(rest);
  }
  return {WholeOf(whole), WholeOf(minutes), rest};
}

// Rounds to hundredths first so that the text never shows "60.00" seconds:
// 59.999 seconds carry into the next minute (and hour or degree).
double RoundToHundredths(double v) {
  return std::nearbyint(v * 100) / 100;
}

// Fixed notation with "." as separator whatever the C locale (the desktop
// view sets the user's), right-aligned in width.
std::string Fixed(double v, int decimals, size_t width) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
  if (s.size() < width) s.insert(0, width - s.size(), ' ');
  return s;
}

std::string Format(double seconds, const char* unit1, const char* unit2, const char* unit3) {
  double v = RoundToHundredths(seconds);
  Sexagesimal p = Split(v);
  char whole[32];
  if (v < 0 && p.Whole == 0) {
    std::snprintf(whole, sizeof whole, "%3s", "-0");
  } else {
    std::snprintf(whole, sizeof whole, "%3lld", static_cast<long long>(p.Whole));
  }
  char minutes[32];
  std::snprintf(minutes, sizeof minutes, "%2lld", static_cast<long long>(std::llabs(p.Minutes)));
  return std::string(whole) + unit1 + minutes + unit2 + Fixed(std::fabs(p.Seconds), 2, 5) + unit3;
}

}  // namespace

double HmsToArcsec(double h, double m, double s) {
  return Sign(h) * (std::fabs(h) * 3600 + m * 60 + s) * 15;
}

double DmsToArcsec(double d, double m, double s) {
  return Sign(d) * (std::fabs(d) * 3600 + m * 60 + s);
}

Sexagesimal SplitDms(double arcsec) {
  return Split(arcsec);
}

Sexagesimal SplitDmsRadians(double radians) {
  return Split(radians * kArcsecPerRadian);
}

Sexagesimal SplitHms(double arcsec) {
  return Split(arcsec / 15);
}

Sexagesimal SplitHmsRadians(double radians) {
  return Split(radians * kArcsecPerRadian / 15);
}

std::string FormatRa(double arcsec) {
  return Format(arcsec / 15, "h ", "m ", "s");
}

std::string FormatDec(double arcsec) {
  return Format(arcsec, "° ", "' ", "\"");
}

double AngularDistance(double ra1, double dec1, double ra2, double dec2) {
  double dRa = std::fmod(ra2 - ra1, kArcsecFullTurn);
  if (dRa > kArcsecHalfTurn) dRa -= kArcsecFullTurn;
  if (dRa < -kArcsecHalfTurn) dRa += kArcsecFullTurn;
  if (dRa == 0 && dec1 == dec2) return 0;
  double t1 = (324000 - dec1) * kRadianPerArcsec;
  double t2 = (324000 - dec2) * kRadianPerArcsec;
  double c =
      std::cos(t1) * std::cos(t2) + std::sin(t1) * std::sin(t2) * std::cos(dRa * kRadianPerArcsec);
  // Rounding may push the cosine just past ±1 for nearly equal or opposite points.
  if (c > 1) c = 1;
  if (c < -1) c = -1;
  return std::acos(c) * kArcsecPerRadian;
}

}  // namespace orniva
