#pragma once

#include <array>
#include <string>

#include "processing/compose.h"

namespace orniva {

// The nine points of the "Courbes" curve as the page holds them: slider
// positions 0..510 of TRKB_EQ1..TRKB_EQ9 (255 = no offset, 0 = +255) and
// their enable boxes CKB_EQ1..CKB_EQ9 (the first and last always checked).
struct CurvePoints {
  std::array<int, 9> positions{255, 255, 255, 255, 255, 255, 255, 255, 255};
  std::array<bool, 9> enabled{true, true, true, true, true, true, true, true, true};
  friend bool operator==(const CurvePoints&, const CurvePoints&) = default;
};

struct CurveBuild {
  CurveTable table{};
  // The positions with the sliders of unchecked points moved onto the curve.
  std::array<int, 9> positions{};
  bool ok = true;  // false: the Bezier chain had a wrong number of control points
};

// The curve table: a chain of cubic Bezier segments through the checked
// points, sampled in single precision, with spikes removed.
CurveBuild BuildCurve(const CurvePoints& points);

// Integer square root by 12 Newton steps from (d2 + 1) div 2.
int CurveSqrt(int d2);

// Curve files (".crv"): "CRV", nine little-endian 32-bit positions, nine
// bytes for the boxes. Reading fails (false) when the file cannot be read or
// does not start with "CRV"; points is then untouched.
bool ReadCurveFile(const std::string& path, CurvePoints& points);
bool WriteCurveFile(const std::string& path, const CurvePoints& points);

}  // namespace orniva
