#pragma once

#include <cmath>
#include <cstdint>

namespace orniva {

// The program's arithmetic: Round rounds half to even, Trunc rounds toward
// zero, integer division and remainder truncate toward zero (as C++ does).

inline int64_t Round(double x) {
  double whole = std::floor(x);
  double frac = x - whole;
  if (frac > 0.5) return static_cast<int64_t>(whole) + 1;
  if (frac < 0.5) return static_cast<int64_t>(whole);
  int64_t w = static_cast<int64_t>(whole);
  return (w % 2 == 0) ? w : w + 1;
}

inline int64_t Trunc(double x) {
  return static_cast<int64_t>(x);
}

inline int64_t Div(int64_t a, int64_t b) {
  return a / b;
}
inline int64_t Mod(int64_t a, int64_t b) {
  return a % b;
}

// Clamps v to [lo, hi].
template <typename T>
constexpr T Clamp(T v, T lo, T hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace orniva
