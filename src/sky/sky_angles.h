#pragma once

#include <cstdint>
#include <numbers>
#include <string>

namespace orniva {

// Sky angles are held in arcseconds as 64-bit floats; a right ascension is an
// angle too (1 hour = 54000 arcseconds, a full turn 1296000). The chart and
// the constellation lines work in radians.
inline constexpr double kArcsecPerRadian = 648000.0 / std::numbers::pi;
inline constexpr double kRadianPerArcsec = std::numbers::pi / 648000.0;
inline constexpr double kRadianPerArcmin = std::numbers::pi / 10800.0;
inline constexpr double kRadianPerDegree = std::numbers::pi / 180.0;
inline constexpr double kArcsecPerHour = 54000.0;
inline constexpr double kArcsecFullTurn = 1296000.0;
inline constexpr double kArcsecHalfTurn = 648000.0;
// Sidereal rate at the equator, arcseconds per second.
inline constexpr double kSiderealRate = 15.041017;

// Right ascension from hours, minutes and seconds: the sign of h (+ when h is
// 0) applies to the whole, |h| × 3600 + m × 60 + s seconds of time × 15.
double HmsToArcsec(double h, double m, double s);
// Declination from degrees, minutes and seconds, signed by d (+ when d is 0).
double DmsToArcsec(double d, double m, double s);

// An angle split into a whole part (degrees or hours), minutes and seconds.
// For a negative angle the sign shows on the first non-zero part only:
// -1815 arcseconds split as degrees give (0, -30, 15).
struct Sexagesimal {
  int64_t Whole = 0;
  int64_t Minutes = 0;
  double Seconds = 0;
  bool operator==(const Sexagesimal&) const = default;
};

Sexagesimal SplitDms(double arcsec);
Sexagesimal SplitDmsRadians(double radians);
// The same split applied to seconds of time (arcsec / 15).
Sexagesimal SplitHms(double arcsec);
Sexagesimal SplitHmsRadians(double radians);

// " 12h 30m 45.50s": hours in 3 places, minutes in 2, seconds in 5 with two
// decimals. A negative angle under one hour is written with "-0" hours so the
// sign is not lost.
std::string FormatRa(double arcsec);
// " 45°  0'  0.00\"": degrees in 3 places, minutes and seconds absolute. A
// negative angle under one degree is written with "-0" degrees.
std::string FormatDec(double arcsec);

// Great-circle distance between two sky positions, arcseconds in and out.
double AngularDistance(double ra1, double dec1, double ra2, double dec2);

}  // namespace orniva
